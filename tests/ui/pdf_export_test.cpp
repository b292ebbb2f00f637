// PDF output as tavir-cli uses it: no Qt application and no display at the
// start; ensureGuiApplication provides what the fonts need.
#include "pdf_text.h"
#include "platform/print_pages.h"
#include "ui/platform/pdf_export.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cstdlib>

using namespace tavir;

class PdfExportTest : public QObject {
    Q_OBJECT
private slots:
    void runsOffscreenWithoutADisplay();
    void writesCyrillicText();
};

void PdfExportTest::runsOffscreenWithoutADisplay() {
    QCOMPARE(QGuiApplication::platformName(), QString("offscreen"));
    int argc = 1;
    char name[] = "tavir-cli";
    char* argv[] = {name, nullptr};
    // The application that exists is kept.
    QVERIFY(!ui::ensureGuiApplication(argc, argv));
}

void PdfExportTest::writesCyrillicText() {
    platform::PageBuilder builder({platform::Orientation::Landscape});
    builder.add(platform::textBand("Список ЛПУ сдавших отчет", 9000));
    const QTemporaryDir dir;
    const QString file = dir.filePath("list.pdf");
    const platform::Status status = ui::renderToPdf(builder.finish(), file.toStdString());
    QVERIFY2(status.isOk(), status.message().c_str());
    const QStringList pages = ui::test::pdfPageTexts(file);
    QCOMPARE(pages.size(), 1);
    QVERIFY2(pages[0].contains("Список ЛПУ сдавших отчет"), qPrintable(pages[0]));
    QVERIFY(ui::test::popplerOutput("pdfinfo", {file}).contains(QRegularExpression("Page size:\\s+842 x 595")));
}

int main(int argc, char** argv) {
    // As on a server: whatever the environment says, there is no display.
    unsetenv("QT_QPA_PLATFORM");
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    std::unique_ptr<QGuiApplication> app = tavir::ui::ensureGuiApplication(argc, argv);
    if (!app) return 1;
    PdfExportTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "pdf_export_test.moc"
