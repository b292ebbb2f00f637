#include "ui/app/help_window.h"

#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPixmap>
#include <QVBoxLayout>

namespace tavir::ui {

HelpWindow::HelpWindow(const data::Installation& installation, const InteractionFactory& interactions, int topic,
                       bool first, const QString& contacts, QWidget* parent)
    : QWidget(parent), model_(installation), list_(new QListWidget(this)), picture_(new QLabel(this)) {
    setObjectName("Help");
    setWindowTitle("Справка");
    if (platform::Status st = model_.open(topic, first); !st) interactions(this)->message(st.message());

    list_->setObjectName("?LIST");
    for (const auto& t : model_.topics()) list_->addItem(toQString(t.title));
    list_->setMinimumWidth(list_->fontMetrics().averageCharWidth() * 52);
    list_->viewport()->installEventFilter(this);

    picture_->setObjectName("?IMAGE");
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setMinimumSize(420, 320);
    picture_->setFrameShape(QFrame::StyledPanel);

    auto* support = new QLabel(contacts, this);
    support->setObjectName("?CONTACTS");
    support->setWordWrap(true);

    auto* right = new QVBoxLayout;
    right->addWidget(picture_, 1);
    right->addWidget(support);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_);
    layout->addLayout(right, 1);

    if (model_.current()) list_->setCurrentRow(*model_.current());
    showTopic();
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const QListWidgetItem* item = list_->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        if (item) {
            model_.click(list_->row(item));
        } else {
            list_->setCurrentRow(-1);
            model_.click(std::nullopt);
        }
        showTopic();
    }
    return QWidget::eventFilter(watched, event);
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        closeWithFrame(this);
        return;
    }
    QWidget::keyPressEvent(event);
}

void HelpWindow::showTopic() {
    picture_->clear();
    if (!model_.current()) {
        picture_->setText(toQString(app::kNoTopicText));
        return;
    }
    if (auto file = model_.picture()) {
        QPixmap pixmap(QString::fromStdString(file->string()));
        if (!pixmap.isNull()) {
            picture_->setPixmap(pixmap.scaled(picture_->size().expandedTo(picture_->minimumSize()), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        }
    }
}

}  // namespace tavir::ui
