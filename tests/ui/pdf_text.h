// Reading written PDF files back with poppler's tools, for the view tests.
#pragma once

#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

namespace tavir::ui::test {

// Standard output of a poppler tool run on `pdf`; empty when the tool is
// missing or fails.
inline QString popplerOutput(const QString& tool, QStringList arguments) {
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty()) return {};
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The text of each page of the PDF, in order (pdftotext ends every page
// with a form feed).
inline QStringList pdfPageTexts(const QString& pdf) {
    QStringList pages = popplerOutput("pdftotext", {"-enc", "UTF-8", pdf, "-"}).split('\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

}  // namespace tavir::ui::test
