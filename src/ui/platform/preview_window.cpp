#include "ui/platform/preview_window.h"

#include "ui/platform/page_renderer.h"
#include "ui/platform/printer_setup.h"
#include "ui/platform/qt_interaction.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tavir::ui {

PreviewWindow::PreviewWindow(platform::Document document, QWidget* parent, WindowPositions positions)
    : QDialog(parent),
      document_(std::move(document)),
      positions_(std::move(positions)),
      page_(new QLabel(this)),
      previous_(new QPushButton("Предыдущая", this)),
      next_(new QPushButton("Следующая", this)) {
    setObjectName("Preview");
    setWindowTitle("Просмотр");

    auto* count = new QLabel(QString::number(pageCount()) + "страниц", this);
    count->setObjectName("?PAGES");
    previous_->setObjectName("?PREV");
    next_->setObjectName("?NEXT");
    auto* printButton = new QPushButton("Print", this);
    printButton->setObjectName("?PRINT");
    for (QPushButton* button : {previous_, next_, printButton}) button->setAutoDefault(false);
    previous_->setVisible(pageCount() > 1);
    next_->setVisible(pageCount() > 1);
    connect(previous_, &QPushButton::clicked, this, [this] { showPage(current_ - 1); });
    connect(next_, &QPushButton::clicked, this, [this] { showPage(current_ + 1); });
    connect(printButton, &QPushButton::clicked, this, &PreviewWindow::print);

    page_->setObjectName("?PAGE");
    page_->setAlignment(Qt::AlignCenter);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(page_);
    scroll->setWidgetResizable(true);
    scroll->setBackgroundRole(QPalette::Dark);

    auto* bar = new QHBoxLayout;
    bar->addWidget(count);
    bar->addSpacing(12);
    bar->addWidget(previous_);
    bar->addWidget(next_);
    bar->addWidget(printButton);
    bar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(scroll, 1);

    const int paperWidth = document_.setup.paperWidth() * logicalDpiX() / platform::kUnitsPerInch;
    QSize size(paperWidth + 60, paperWidth * 3 / 2);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    }
    resize(size);
    positions_.restore(*this, objectName());
    showPage(0);
}

void PreviewWindow::showPage(int index) {
    if (index < 0 || index >= pageCount()) return;
    current_ = index;
    const double ratio = devicePixelRatioF();
    QImage image = pageImage(document_, index, logicalDpiX() * ratio);
    image.setDevicePixelRatio(ratio);
    page_->setPixmap(QPixmap::fromImage(image));
    previous_->setEnabled(index > 0);
    next_->setEnabled(index + 1 < pageCount());
}

void PreviewWindow::print() {
    const platform::Status status = printDocument(document_, currentPrinter());
    if (!status) {
        showMessageBox(this, status.message());
        return;
    }
    accept();
}

void PreviewWindow::done(int result) {
    positions_.save(*this, objectName());
    QDialog::done(result);
}

void showPreview(platform::Document document, QWidget* parent) {
    PreviewWindow window(std::move(document), parent);
    window.exec();
}

}  // namespace tavir::ui
