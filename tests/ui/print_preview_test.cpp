#include "pdf_text.h"
#include "platform/print_pages.h"
#include "ui/platform/page_renderer.h"
#include "ui/platform/preview_window.h"
#include "ui/platform/printer_setup.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTextLayout>
#include <QTemporaryDir>
#include <QtTest>

using namespace tavir;
using tavir::ui::test::pdfPageTexts;
using tavir::ui::test::popplerOutput;

namespace {

platform::Document document(int pages) {
    platform::PageBuilder builder;
    builder.setFooter(300, [](int page) { return platform::textBand("Лист " + std::to_string(page), 3000); });
    const char* texts[] = {"Первая страница: Тарвинская область", "Вторая страница: ЦРБ Ольмов"};
    for (int i = 0; i < pages; ++i) {
        builder.newPage();
        platform::Band title = platform::textBand(texts[i % 2], 6000, {"Arial Cyr", 14, true});
        title.line(0, title.height, 6000, title.height);
        builder.add(title);
        platform::Band cell;
        cell.height = 300;
        cell.text(0, 2000, "Итого", {}, platform::Align::Center, true);
        builder.add(cell);
    }
    return builder.finish();
}

}  // namespace

class PrintPreviewTest : public QObject {
    Q_OBJECT
private slots:
    void printFontFallsBackToLiberationSans();
    void estimatedLinesHoldTheDrawnText();
    void pdfHoldsEveryPageWithItsCyrillicText();
    void pdfToAFolderThatDoesNotExistFails();
    void previewCountsAndTurnsPages();
    void previewOfOnePageHasNoPageButtons();
    void printSendsEveryPageAndClosesThePreview();

private:
    QTemporaryDir dir_;
};

void PrintPreviewTest::printFontFallsBackToLiberationSans() {
    QVERIFY2(QFontDatabase::hasFamily("Liberation Sans"), "fonts-liberation is not installed");
    QCOMPARE(QFontInfo(ui::printFont({})).family(), QString("Liberation Sans"));
}

// The layout's estimate must leave room for the text as Qt wraps it, on
// paper and in the preview, or the last lines of a box are cut off.
void PrintPreviewTest::estimatedLinesHoldTheDrawnText() {
    const std::string texts[] = {
        "Центральная районная больница Тарвинского района",
        "ЦЕНТРАЛЬНАЯ РАЙОННАЯ БОЛЬНИЦА ШИЛОВСКОГО РАЙОНА",
        "Число посещений врачей, включая профилактические, всего (сумма строк 2-14)",
        "жжжжжжжжжж шшшшшшшш щщщщщщ мммммм ЖЖЖЖ ШШШ ЮЮЮ",
        "1234567890 12345.678 №12 100%",
        "Worldwide MMM www Mammography",
        // A control's formula is one long word: it breaks between characters.
        ">=т1100с2г3+т1100с3г3+т1100с4г3+т1100с5г3+т1100с6г3+т1100с7г3+т1100с8г3",
    };
    const platform::Font fonts[] = {{"Arial Cyr", 8}, {"Arial Cyr", 10, true}, {"Arial Cyr", 12, false, true}};
    for (double dpi : {96.0, 1200.0}) {
        QImage device(10, 10, QImage::Format_RGB32);
        device.setDotsPerMeterX(static_cast<int>(dpi / 0.0254 + 0.5));
        device.setDotsPerMeterY(static_cast<int>(dpi / 0.0254 + 0.5));
        for (const platform::Font& font : fonts) {
            const QFontMetricsF metrics(ui::printFont(font), &device);
            for (const std::string& text : texts) {
                for (int width : {900, 1500, 2500, 4000}) {
                    // Laid out as the renderer draws a wrapped text.
                    QTextLayout layout(QString::fromStdString(text), ui::printFont(font), &device);
                    layout.setTextOption(ui::textOption(platform::TextItem{.align = platform::Align::Left,
                                                                           .wordWrap = true}));
                    layout.beginLayout();
                    double height = 0;
                    int lines = 0;
                    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
                        line.setLineWidth(width * dpi / 1000);
                        QVERIFY2(line.naturalTextWidth() <= width * dpi / 1000 + 0.5, text.c_str());
                        height += (lines++ > 0 ? metrics.leading() : 0) + line.height();
                    }
                    layout.endLayout();
                    const double drawn = height * 1000 / dpi;
                    const int estimated = platform::estimateLines(text, width, font);
                    QVERIFY2(drawn <= estimated * platform::lineHeight(font),
                             qPrintable(QString("%1 at %2 dpi, %3 pt, width %4: %5 units drawn, %6 lines estimated")
                                            .arg(QString::fromStdString(text))
                                            .arg(dpi)
                                            .arg(font.size)
                                            .arg(width)
                                            .arg(drawn)
                                            .arg(estimated)));
                }
            }
        }
    }
}

void PrintPreviewTest::pdfHoldsEveryPageWithItsCyrillicText() {
    const QString file = dir_.filePath("отчет.pdf");
    const platform::Status status = ui::renderToPdf(document(2), file.toStdString());
    QVERIFY2(status.isOk(), status.message().c_str());

    QVERIFY2(popplerOutput("pdfinfo", {file}).contains(QRegularExpression("Pages:\\s+2\\n")), "two pages expected");
    const QStringList pages = pdfPageTexts(file);
    QCOMPARE(pages.size(), 2);
    QVERIFY2(pages[0].contains("Первая страница: Тарвинская область"), qPrintable(pages[0]));
    QVERIFY(pages[0].contains("Итого"));
    QVERIFY(pages[0].contains("Лист 1"));
    QVERIFY(!pages[0].contains("Вторая"));
    QVERIFY2(pages[1].contains("Вторая страница: ЦРБ Ольмов"), qPrintable(pages[1]));
    QVERIFY(pages[1].contains("Лист 2"));
    // The text is drawn in the fallback of "Arial Cyr", not in some other font.
    const QString fonts = popplerOutput("pdffonts", {file});
    QVERIFY2(fonts.contains("LiberationSans"), qPrintable(fonts));
}

void PrintPreviewTest::pdfToAFolderThatDoesNotExistFails() {
    const QString file = dir_.filePath("нет/отчет.pdf");
    const platform::Status status = ui::renderToPdf(document(1), file.toStdString());
    QVERIFY(!status.isOk());
    QCOMPARE(status.kind(), platform::ErrorKind::Io);
    QVERIFY2(QString::fromStdString(status.message()).contains(file), status.message().c_str());
}

void PrintPreviewTest::previewCountsAndTurnsPages() {
    ui::PreviewWindow preview(document(2), nullptr, ui::WindowPositions(dir_.filePath("tavir.INI").toStdString()));
    QCOMPARE(preview.windowTitle(), QString("Просмотр"));
    QCOMPARE(preview.findChild<QLabel*>("?PAGES")->text(), QString("2страниц"));
    auto* previous = preview.findChild<QPushButton*>("?PREV");
    auto* next = preview.findChild<QPushButton*>("?NEXT");
    QVERIFY(previous && next);
    QVERIFY(!previous->isHidden() && !next->isHidden());
    QVERIFY(!preview.findChild<QLabel*>("?PAGE")->pixmap().isNull());

    QCOMPARE(preview.currentPage(), 0);
    QVERIFY(!previous->isEnabled());
    QVERIFY(next->isEnabled());
    next->click();
    QCOMPARE(preview.currentPage(), 1);
    QVERIFY(!next->isEnabled());
    QVERIFY(previous->isEnabled());
    preview.showPage(2);
    QCOMPARE(preview.currentPage(), 1);
    previous->click();
    QCOMPARE(preview.currentPage(), 0);
    QVERIFY(!previous->isEnabled());
}

void PrintPreviewTest::previewOfOnePageHasNoPageButtons() {
    ui::PreviewWindow preview(document(1), nullptr, ui::WindowPositions(dir_.filePath("tavir.INI").toStdString()));
    QCOMPARE(preview.findChild<QLabel*>("?PAGES")->text(), QString("1страниц"));
    QVERIFY(preview.findChild<QPushButton*>("?PREV")->isHidden());
    QVERIFY(preview.findChild<QPushButton*>("?NEXT")->isHidden());
    QVERIFY(!preview.findChild<QPushButton*>("?PRINT")->isHidden());
}

void PrintPreviewTest::printSendsEveryPageAndClosesThePreview() {
    const QString file = dir_.filePath("printer.pdf");
    QPrinter& printer = ui::currentPrinter();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(file);

    ui::PreviewWindow preview(document(2), nullptr, ui::WindowPositions(dir_.filePath("tavir.INI").toStdString()));
    preview.show();
    QVERIFY(QTest::qWaitForWindowExposed(&preview));
    preview.findChild<QPushButton*>("?NEXT")->click();
    preview.findChild<QPushButton*>("?PRINT")->click();
    QVERIFY(!preview.isVisible());
    QCOMPARE(preview.result(), int(QDialog::Accepted));
    const QStringList pages = pdfPageTexts(file);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[0].contains("Первая страница"));
    QVERIFY(pages[1].contains("Вторая страница"));
}

QTEST_MAIN(PrintPreviewTest)
#include "print_preview_test.moc"
