#include "ui/platform/page_renderer.h"

#include "ui/platform/qt_text.h"

#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextOption>

#include <mutex>

namespace tavir::ui {

namespace {

constexpr int kBorderWidth = 10;  // report units, about a quarter of a millimetre

Qt::Alignment alignment(const platform::TextItem& item) {
    Qt::Alignment flags;
    switch (item.align) {
        case platform::Align::Left: flags = Qt::AlignLeft; break;
        case platform::Align::Center: flags = Qt::AlignHCenter; break;
        case platform::Align::Right: flags = Qt::AlignRight; break;
    }
    switch (item.valign) {
        case platform::VAlign::Top: flags |= Qt::AlignTop; break;
        case platform::VAlign::Center: flags |= Qt::AlignVCenter; break;
        case platform::VAlign::Bottom: flags |= Qt::AlignBottom; break;
    }
    return flags;
}

QPageLayout pageLayout(const platform::PageSetup& setup) {
    return QPageLayout(
        QPageSize(QPageSize::A4),
        setup.orientation == platform::Orientation::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(0, 0, 0, 0));
}

bool haveGuiApplication() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }

// Paints the pages on a device that is already set up for the document.
platform::Status paintPages(const platform::Document& document, QPagedPaintDevice& device, const QString& what) {
    QPainter painter;
    if (!painter.begin(&device)) {
        return platform::Status::fail(platform::ErrorKind::Io, "Не удалось начать " + what.toStdString());
    }
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    for (size_t i = 0; i < document.pages.size(); ++i) {
        if (i > 0 && !device.newPage()) {
            return platform::Status::fail(platform::ErrorKind::Io, "Не удалось начать новую страницу");
        }
        renderPage(painter, document.pages[i]);
    }
    if (!painter.end()) {
        return platform::Status::fail(platform::ErrorKind::Io, "Не удалось завершить " + what.toStdString());
    }
    return platform::Status::ok();
}

}  // namespace

void installPrintFonts() {
    static std::once_flag once;
    std::call_once(once, [] {
        QFont::insertSubstitutions("Arial Cyr", {"Liberation Sans", "Arimo", "Arial", "DejaVu Sans"});
    });
}

QFont printFont(const platform::Font& font) {
    installPrintFonts();
    QFont out(toQString(font.family));
    out.setPointSizeF(font.size > 0 ? font.size : 10);
    out.setBold(font.bold);
    out.setItalic(font.italic);
    // Unhinted glyphs keep their widths at every resolution, so a text wraps
    // on the screen as on paper.
    out.setHintingPreference(QFont::PreferNoHinting);
    return out;
}

QTextOption textOption(const platform::TextItem& item) {
    QTextOption option(alignment(item));
    option.setWrapMode(item.wordWrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::NoWrap);
    return option;
}

void renderPage(QPainter& painter, const platform::Page& page) {
    const QPaintDevice* device = painter.device();
    const double sx = device->logicalDpiX() / double(platform::kUnitsPerInch);
    const double sy = device->logicalDpiY() / double(platform::kUnitsPerInch);
    painter.save();
    for (const platform::PageItem& item : page.items) {
        if (const auto* text = std::get_if<platform::TextItem>(&item)) {
            const QRectF box(text->x * sx, text->y * sy, text->w * sx, text->h * sy);
            painter.setPen(QPen(Qt::black));
            painter.setFont(printFont(text->font));
            painter.drawText(box.adjusted(text->padding * sx, 0, -text->padding * sx, 0), toQString(text->text),
                             textOption(*text));
            if (text->border) {
                painter.setPen(QPen(Qt::black, kBorderWidth * sx));
                painter.drawRect(box);
            }
        } else if (const auto* line = std::get_if<platform::LineItem>(&item)) {
            painter.setPen(QPen(Qt::black, line->width * sx));  // 0: a cosmetic hairline
            painter.drawLine(QPointF(line->x1 * sx, line->y1 * sy), QPointF(line->x2 * sx, line->y2 * sy));
        }
    }
    painter.restore();
}

QImage pageImage(const platform::Document& document, int pageIndex, double dpi) {
    const platform::PageSetup& setup = document.setup;
    QImage image(static_cast<int>(setup.paperWidth() * dpi / platform::kUnitsPerInch),
                 static_cast<int>(setup.paperHeight() * dpi / platform::kUnitsPerInch), QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(dpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    if (pageIndex >= 0 && pageIndex < static_cast<int>(document.pages.size())) {
        QPainter painter(&image);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        renderPage(painter, document.pages[static_cast<size_t>(pageIndex)]);
    }
    return image;
}

platform::Status printDocument(const platform::Document& document, QPrinter& printer) {
    const bool toFile = printer.outputFormat() == QPrinter::PdfFormat;
    if (toFile ? printer.outputFileName().isEmpty() : printer.printerName().isEmpty()) {
        return platform::Status::fail(platform::ErrorKind::Invalid,
                                      "Принтер не выбран: выберите его в меню \"СЕРВИС\", \"Выбор принтера\"");
    }
    printer.setFullPage(true);
    printer.setPageLayout(pageLayout(document.setup));
    return paintPages(
        document, printer,
        toFile ? "печать в файл " + printer.outputFileName() : "печать на принтере " + printer.printerName());
}

platform::Status renderToPdf(const platform::Document& document, const std::filesystem::path& path) {
    if (!haveGuiApplication()) {
        return platform::Status::fail(
            platform::ErrorKind::Invalid,
            "Файл PDF " + path.string() + " не записан: шрифты недоступны без QGuiApplication");
    }
    QFile file(QString::fromStdU16String(path.u16string()));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        return platform::Status::fail(platform::ErrorKind::Io, "Не удалось записать файл " + path.string() + ": " +
                                                                   file.errorString().toStdString());
    }
    {
        QPdfWriter writer(&file);
        writer.setCreator("tavir");
        writer.setPageLayout(pageLayout(document.setup));
        platform::Status status = paintPages(document, writer, "запись файла " + file.fileName());
        if (!status) {
            file.remove();  // a half-written PDF would pass for a printout
            return status;
        }
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        file.remove();
        return platform::Status::fail(platform::ErrorKind::Io, "Не удалось записать файл " + path.string() + ": " +
                                                                   file.errorString().toStdString());
    }
    return platform::Status::ok();
}

}  // namespace tavir::ui
