// The window "Параметры печати" over a stored report of the entry fixture
// (form 12, tables 1000 and 2000), driven through its object names: the
// preset heading line, editing it, the whole report or the current table,
// only the filled rows, and closing the window without printing.
#include "../entry/entry_fixture.h"
#include "platform/scripted_interaction.h"
#include "ui/maintenance/print_params_window.h"
#include "ui/platform/qt_text.h"
#include "window_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

using namespace tavir;

namespace {

constexpr int kForm = 12;
constexpr int kPeriod = 3;  // March

using fixture::child;
using fixture::whenModal;

// The texts of every page, page by page.
std::vector<QStringList> pageTexts(const platform::Document& document) {
    std::vector<QStringList> pages;
    for (const platform::Page& page : document.pages) {
        QStringList texts;
        for (const platform::PageItem& item : page.items) {
            if (const auto* t = std::get_if<platform::TextItem>(&item)) texts << ui::toQString(t->text);
        }
        pages.push_back(texts);
    }
    return pages;
}

QStringList allTexts(const platform::Document& document) {
    QStringList all;
    for (const QStringList& page : pageTexts(document)) all << page;
    return all;
}

// Texts with their padding removed, for values printed in a picture.
QStringList trimmedTexts(const platform::Document& document) {
    QStringList all;
    for (const QString& text : allTexts(document)) all << text.trimmed();
    return all;
}

// A click on the indicator of a radio button or check box: a layout may
// make the button wider than its text, and a click beside the text does not
// reach it.
void clickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

// Types `text` key by key; QTest::keyClicks takes Latin-1 only.
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

}  // namespace

class PrintParamsWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<fixture::EntryInstallation> fx;
    std::unique_ptr<platform::ScriptedInteraction> script;
    QString previousDir;

    // Form 12 described for printing: named columns with their kinds and
    // pictures, each table's headings its own.
    void describeForm() {
        auto column = [](int table, int cod, std::string name, int kind, std::string format, int width) {
            return fixture::column(kForm, table, cod, std::move(name), kind, std::move(format), width);
        };
        std::filesystem::remove(fx->file("Grafa.dat"));
        fx->write<data::Grafa>(fx->file("Grafa.dat"),
                               {column(1000, 1, "Наименование болезни", 1, "", 30),
                                column(1000, 2, "№ стр.", 2, "", 6), column(1000, 3, "Всего", 0, "@N10.2", 8),
                                column(1000, 4, "Мужчины", 0, "@N6", 8), column(1000, 5, "Женщины", 0, "@N6", 8),
                                column(1000, 6, "Дети", 0, "@N6", 8),
                                column(2000, 1, "Наименование учреждения", 1, "", 30),
                                column(2000, 2, "Число коек", 0, "@N6", 8),
                                column(2000, 3, "Койко-дни", 0, "@N10.2", 8)});
        // Row 2 of table 1000 and row "11" of table 2000 are filled; rows 1
        // and 3 of table 1000 and row "10" of table 2000 are absent.
        fx->store(kForm, {{kPeriod, 2, 1000, {12.5, 33, 0, 77}}, {kPeriod, 12, 2000, {45, 0}}});
    }

    maintenance::PrintRequest storedRequest() {
        maintenance::PrintRequest request;
        const platform::Status st = maintenance::storedReportRequest(
            fx->installation(), fixture::EntryInstallation::kYear, kForm, fixture::EntryInstallation::kFacility,
            kPeriod, request);
        if (!st) qFatal("%s", st.message().c_str());
        return request;
    }

    std::unique_ptr<ui::PrintParamsDialog> openDialog(maintenance::PrintRequest request) {
        auto dialog = std::make_unique<ui::PrintParamsDialog>(fx->installation(), std::move(request), *script);
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get())) qFatal("the window was not shown");
        return dialog;
    }

    // "Продолжить" with the given options; the document it made.
    platform::Document print(maintenance::PrintRequest request, bool tableOnly, bool filledOnly) {
        auto dialog = openDialog(std::move(request));
        if (tableOnly) clickIndicator(child<QRadioButton>(dialog.get(), "?SCOPE:2"));
        if (filledOnly) clickIndicator(child<QCheckBox>(dialog.get(), "?FILLED"));
        QTest::mouseClick(child<QPushButton>(dialog.get(), "?CONTINUE"), Qt::LeftButton);
        if (child<QRadioButton>(dialog.get(), "?SCOPE:2")->isChecked() != tableOnly ||
            child<QCheckBox>(dialog.get(), "?FILLED")->isChecked() != filledOnly)
            qFatal("the options were not set by their clicks");
        if (dialog->result() != QDialog::Accepted || !dialog->document()) qFatal("no printout");
        return *dialog->document();
    }

private slots:
    void init() {
        fx = std::make_unique<fixture::EntryInstallation>();
        describeForm();
        script = std::make_unique<platform::ScriptedInteraction>();
        // The preview keeps its position in tavir.INI of the current folder.
        previousDir = QDir::currentPath();
        QDir::setCurrent(QString::fromStdString(fx->dir().string()));
    }
    void cleanup() {
        QDir::setCurrent(previousDir);
        fx.reset();
    }

    void presetHeadingAndOptions() {
        auto dialog = openDialog(storedRequest());
        QCOMPARE(dialog->objectName(), QString("PrintParams"));
        QCOMPARE(dialog->windowTitle(), QString("Параметры печати"));
        QStringList labels;
        for (const QLabel* label : dialog->findChildren<QLabel*>()) labels << label->text();
        QVERIFY2(labels.contains("Вы можете отредактировать строку :"), qPrintable(labels.join('|')));
        auto* heading = child<QLineEdit>(dialog.get(), "?HEADING");
        // The facility's name, two blanks, the year with "г." and the period.
        QCOMPARE(heading->text(), QString("Береговая ЦРБ  2026г.март"));
        QCOMPARE(heading->maxLength(), 170);

        auto* whole = child<QRadioButton>(dialog.get(), "?SCOPE:1");
        auto* table = child<QRadioButton>(dialog.get(), "?SCOPE:2");
        QCOMPARE(whole->text(), QString("Весь отчет"));
        QCOMPARE(table->text(), QString("Таблицу"));
        QVERIFY(whole->isChecked());
        QVERIFY(!table->isChecked());
        QCOMPARE(dialog->findChild<QGroupBox*>()->title(), QString("Печатать"));
        auto* filled = child<QCheckBox>(dialog.get(), "?FILLED");
        QCOMPARE(filled->text(), QString("Печатать только заполненные строки"));
        QVERIFY(!filled->isChecked());
        QCOMPARE(child<QPushButton>(dialog.get(), "?CONTINUE")->text(), QString("Продолжить"));
    }

    // A label without a year: the heading is the label alone, its trailing
    // blanks dropped.
    void headingWithoutYearIsTheLabel() {
        maintenance::PrintRequest request = storedRequest();
        request.label = "Свод по Береговому району   ";
        request.headingYear = 0;
        auto dialog = openDialog(std::move(request));
        QCOMPARE(child<QLineEdit>(dialog.get(), "?HEADING")->text(), QString("Свод по Береговому району"));
    }

    void editedHeadingIsPrinted() {
        auto dialog = openDialog(storedRequest());
        auto* heading = child<QLineEdit>(dialog.get(), "?HEADING");
        heading->selectAll();
        typeText(heading, "Береговой р-н, 1 квартал");
        // Enter in the entry is "Продолжить".
        QTest::keyClick(heading, Qt::Key_Return);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QVERIFY(dialog->document());
        const QStringList texts = allTexts(*dialog->document());
        QVERIFY2(texts.contains("Береговой р-н, 1 квартал"), qPrintable(texts.join('|')));
        QVERIFY(!texts.contains("Береговая ЦРБ  2026г.март"));

        // The entry takes 170 characters; the line printed is what it holds.
        dialog = openDialog(storedRequest());
        heading = child<QLineEdit>(dialog.get(), "?HEADING");
        heading->selectAll();
        typeText(heading, QString(180, QChar(0x0416)));
        QCOMPARE(heading->text().size(), 170);
        QTest::mouseClick(child<QPushButton>(dialog.get(), "?CONTINUE"), Qt::LeftButton);
        QVERIFY(dialog->document());
        QVERIFY(allTexts(*dialog->document()).contains(QString(170, QChar(0x0416))));
    }

    void wholeReportAndCurrentTableOnly() {
        const platform::Document whole = print(storedRequest(), false, false);
        QCOMPARE(whole.pages.size(), size_t(1));
        const QStringList all = allTexts(whole);
        for (const char* text : {"Береговая ЦРБ  2026г.март", "Ф12 Сведения о заболеваемости.", "Т 1000 Таблица 1000",
                                 "Наименование болезни", "Всего", "Дети", "Строка 1", "Строка 2", "Строка 3",
                                 "Т 2000 Таблица 2000", "Наименование учреждения", "Койко-дни", "Строка 10",
                                 "Строка 11", "Лист 1"})
            QVERIFY2(all.contains(text), text);
        // Values in their column's picture.
        const QStringList values = trimmedTexts(whole);
        for (const char* value : {"12.50", "33", "77", "45"}) QVERIFY2(values.contains(value), value);

        // "Таблицу" with table 2000 current: its title, headings and rows only.
        maintenance::PrintRequest request = storedRequest();
        request.currentTable = 2000;
        const platform::Document table = print(std::move(request), true, false);
        const QStringList texts = allTexts(table);
        for (const char* text : {"Береговая ЦРБ  2026г.март", "Ф12 Сведения о заболеваемости.", "Т 2000 Таблица 2000",
                                 "Наименование учреждения", "Число коек", "Строка 10", "Строка 11"})
            QVERIFY2(texts.contains(text), text);
        for (const char* text : {"Т 1000 Таблица 1000", "Наименование болезни", "Строка 1", "Строка 2", "Строка 3"})
            QVERIFY2(!texts.contains(text), text);
        QVERIFY(!trimmedTexts(table).contains("12.50"));
    }

    void filledOnlyLeavesAbsentRowsOut() {
        // Absent rows print dashes: rows 1 and 3 of table 1000 (4 each), row
        // "10" of table 2000 (2), and one zero in each filled row.
        const platform::Document every = print(storedRequest(), false, false);
        QCOMPARE(allTexts(every).count("   -"), 12);

        const platform::Document filled = print(storedRequest(), false, true);
        const QStringList texts = allTexts(filled);
        for (const char* text : {"Строка 2", "Строка 11", "Т 1000 Таблица 1000", "Т 2000 Таблица 2000"})
            QVERIFY2(texts.contains(text), text);
        for (const char* text : {"Строка 1", "Строка 3", "Строка 10"}) QVERIFY2(!texts.contains(text), text);
        QCOMPARE(texts.count("   -"), 2);
        QVERIFY(trimmedTexts(filled).contains("12.50"));

        // With "Таблицу" as well: table 1000 alone, its filled row only.
        const platform::Document table = print(storedRequest(), true, true);
        const QStringList tableTexts = allTexts(table);
        QVERIFY(tableTexts.contains("Строка 2"));
        for (const char* text : {"Строка 1", "Строка 3", "Строка 11", "Т 2000 Таблица 2000"})
            QVERIFY2(!tableTexts.contains(text), text);
    }

    void closingPrintsNothing() {
        auto dialog = openDialog(storedRequest());
        clickIndicator(child<QCheckBox>(dialog.get(), "?FILLED"));
        QVERIFY(child<QCheckBox>(dialog.get(), "?FILLED")->isChecked());
        dialog->close();
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->document());

        // The print operation: closed, it shows no preview.
        bool previewShown = false;
        auto closeParams = whenModal("PrintParams", [](QWidget* w) { w->close(); });
        auto seePreview = whenModal("Preview", [&previewShown](QWidget* w) {
            previewShown = true;
            w->close();
        });
        ui::printReport(fx->installation(), storedRequest(), *script, nullptr);
        QVERIFY(fixture::shown(closeParams));
        QVERIFY(!previewShown);
        seePreview.reset();

        // "Продолжить" shows the printout in the preview.
        QString pages;
        auto proceed = whenModal("PrintParams", [](QWidget* w) { child<QPushButton>(w, "?CONTINUE")->click(); });
        auto preview = whenModal("Preview", [&pages](QWidget* w) {
            pages = child<QLabel>(w, "?PAGES")->text();
            w->close();
        });
        ui::printReport(fx->installation(), storedRequest(), *script, nullptr);
        QCOMPARE(pages, QString("1страниц"));
        QVERIFY(script->messages().empty());
    }

    // Reference data that do not open: the message names the file, and
    // nothing is printed.
    void missingRowsFileIsShown() {
        std::filesystem::remove(fx->file("Stroka.dat"));
        auto dialog = openDialog(storedRequest());
        QTest::mouseClick(child<QPushButton>(dialog.get(), "?CONTINUE"), Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QVERIFY(!dialog->document());
        const std::vector<std::string> messages = script->messages();
        QCOMPARE(messages.size(), size_t(1));
        QVERIFY2(QString::fromStdString(messages[0]).contains("Stroka.dat"), messages[0].c_str());
    }
};

QTEST_MAIN(PrintParamsWindowTest)
#include "print_params_window_test.moc"
