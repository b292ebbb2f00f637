#include "ui/maintenance/blank_forms_window.h"

#include "ui/platform/qt_text.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavir::ui {

BlankFormsView::BlankFormsView(const data::Installation& installation, const InteractionFactory& interactions,
                               std::unique_ptr<platform::DesktopOpener> opener, QWidget* parent)
    : QWidget(parent), ui_(interactions(this)), opener_(std::move(opener)), server_(*opener_) {
    model_ = std::make_unique<maintenance::BlankFormsWindow>(server_, *ui_, installation);
    setObjectName("BlankForms");
    const platform::PickRequest request = model_->list();
    setWindowTitle(toQString(request.caption));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(toQString(request.heading)));
    list_ = new QTreeWidget;
    list_->setObjectName("?LIST");
    list_->setRootIsDecorated(false);
    list_->setColumnCount(static_cast<int>(request.columns.size()));
    QStringList headings;
    for (const auto& column : request.columns) headings << toQString(column.title);
    list_->setHeaderLabels(headings);
    const int charWidth = list_->fontMetrics().averageCharWidth();
    for (size_t i = 0; i < request.columns.size(); ++i)
        list_->setColumnWidth(static_cast<int>(i), request.columns[i].width * charWidth);
    for (const auto& line : request.lines) {
        QStringList cells;
        for (const auto& cell : line) cells << toQString(cell);
        list_->addTopLevelItem(new QTreeWidgetItem(cells));
    }
    if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { activateCurrent(); });
    layout->addWidget(list_);
    resize(90 * charWidth, 30 * list_->fontMetrics().height());
}

void BlankFormsView::activateCurrent() {
    const int index = list_->indexOfTopLevelItem(list_->currentItem());
    if (index >= 0) model_->activate(static_cast<size_t>(index));
}

bool BlankFormsView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            activateCurrent();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavir::ui
