#include "ui/platform/pick_window.h"

#include "ui/platform/qt_text.h"

#include <QColor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QLabel>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tavir::ui {

namespace {

Qt::Alignment alignment(platform::Align align) {
    switch (align) {
        case platform::Align::Center: return Qt::AlignHCenter | Qt::AlignVCenter;
        case platform::Align::Right: return Qt::AlignRight | Qt::AlignVCenter;
        case platform::Align::Left: break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

}  // namespace

PickWindow::PickWindow(const platform::PickRequest& request, WindowPositions positions, QWidget* parent)
    : QDialog(parent), list_(new QTreeWidget(this)), positions_(std::move(positions)) {
    setObjectName(toQString(request.name));
    setWindowTitle(toQString(request.caption));

    list_->setObjectName("?BROWSE:1");
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setColumnCount(static_cast<int>(request.columns.size()));
    list_->header()->setSectionResizeMode(QHeaderView::Interactive);
    list_->header()->setSectionsMovable(false);

    auto* header = new QTreeWidgetItem;
    const int charWidth = list_->fontMetrics().averageCharWidth();
    int totalWidth = 0;
    for (size_t c = 0; c < request.columns.size(); ++c) {
        const platform::PickColumn& column = request.columns[c];
        const int col = static_cast<int>(c);
        header->setText(col, toQString(column.title));
        header->setTextAlignment(col, alignment(column.align));
        const int width = std::max(column.width, 1) * charWidth + 12;
        list_->setColumnWidth(col, width);
        totalWidth += width;
    }
    list_->setHeaderItem(header);

    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(request.lines.size()));
    for (const auto& line : request.lines) {
        auto* item = new QTreeWidgetItem;
        for (size_t c = 0; c < request.columns.size() && c < line.size(); ++c) {
            const int col = static_cast<int>(c);
            item->setText(col, toQString(line[c]));
            item->setTextAlignment(col, alignment(request.columns[c].align));
            if (request.columns[c].grey) item->setForeground(col, QColor(128, 128, 128));
        }
        items.append(item);
    }
    list_->addTopLevelItems(items);
    if (!items.isEmpty()) {
        const int start = request.startLine >= 0 && request.startLine < items.size() ? request.startLine : 0;
        list_->setCurrentItem(items[start]);
        list_->scrollToItem(items[start], QAbstractItemView::PositionAtCenter);
    }
    list_->installEventFilter(this);
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { takeCurrent(); });

    auto* status = new QLabel(toQString(request.status), this);
    status->setObjectName("?STATUS");
    status->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    status->setVisible(!request.status.empty());

    auto* heading = new QLabel(toQString(request.heading), this);
    heading->setObjectName("?HEADING");
    heading->setVisible(!request.heading.empty());

    auto* body = new QHBoxLayout;
    body->addWidget(list_, 1);
    if (!request.extraButton.empty()) {
        auto* extra = new QPushButton(toQString(request.extraButton), this);
        extra->setObjectName("?EXTRA");
        extra->setAutoDefault(false);
        connect(extra, &QPushButton::clicked, this, [this] {
            chosen_ = platform::kPickExtraButton;
            accept();
        });
        auto* side = new QVBoxLayout;
        side->addWidget(extra);
        side->addStretch();
        body->addLayout(side);
        totalWidth += extra->sizeHint().width() + 8;
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(2);
    layout->addWidget(heading);
    layout->addLayout(body, 1);
    layout->addWidget(status);

    int maxWidth = 1000, maxHeight = 700;
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        maxWidth = screen->availableGeometry().width() * 9 / 10;
        maxHeight = screen->availableGeometry().height() * 8 / 10;
    }
    resize(std::min(totalWidth + 40, maxWidth), std::min(list_->fontMetrics().height() * 24, maxHeight));
    positions_.restore(*this, objectName());
    // The kept size stays; the chooser opens centred over its caller.
    if (parent) setAttribute(Qt::WA_Moved, false);
    list_->setFocus();
}

void PickWindow::takeCurrent() {
    QTreeWidgetItem* item = list_->currentItem();
    if (!item) return;
    chosen_ = list_->indexOfTopLevelItem(item);
    accept();
}

bool PickWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            takeCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void PickWindow::done(int result) {
    positions_.save(*this, objectName());
    QDialog::done(result);
}

}  // namespace tavir::ui
