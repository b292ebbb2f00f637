// The entry window over the editing model, driven by object names and keys:
// its controls, typing in column mode and in the row window, the
// calculation, saving and reopening.
#include "../app/demo_installation.h"
#include "../entry/entry_fixture.h"
#include "../support/page_texts.h"
#include "window_test_support.h"
#include "platform/desktop_opener.h"
#include "platform/scripted_interaction.h"
#include "platform/xlsx_workbook.h"
#include "app/main_window.h"
#include "ui/app/main_window.h"
#include "ui/entry/report_window.h"
#include "ui/entry/row_window.h"
#include "ui/platform/preview_window.h"
#include "ui/platform/qt_interaction.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>

#ifndef TAVIR_CLI_PATH
#define TAVIR_CLI_PATH ""
#endif

using namespace tavir;
using fixture::child;
using fixture::whenModal;
using Strings = std::vector<std::string>;

class ReportWindowTest : public QObject {
    Q_OBJECT

private:
    QPointer<ui::ReportWindow> openWindow(entry::ChosenReport report) {
        return fixture::openReportWindow(fx->installation(), state, std::move(report), script);
    }
    static QString cell(QTableView* grid, int row, int column) {
        return grid->model()->index(row, column).data().toString();
    }
    static void doubleClick(QTableView* grid, int row, int column) {
        const QRect rect = grid->visualRect(grid->model()->index(row, column));
        // A double click of the item view starts with a press of its own.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    }
    // The widget with the keyboard focus, once it has the given name.
    static QWidget* focusNamed(const char* name) {
        QWidget* w = nullptr;
        for (int i = 0; i < 50; ++i) {
            w = QApplication::focusWidget();
            if (w && w->objectName() == name) return w;
            QTest::qWait(20);
        }
        qWarning("focus is on %s, not %s", w ? qPrintable(w->objectName()) : "nothing", name);
        return nullptr;
    }

    // A copy of the demo installation of the test's own: the edit mark of a
    // run that stopped half-way stays in the copy.
    static data::Installation demoCopy(const std::filesystem::path& demo, const QTemporaryDir& temp) {
        const std::filesystem::path copy = std::filesystem::path(temp.path().toStdString()) / "demo";
        std::filesystem::copy(demo, copy, std::filesystem::copy_options::recursive);
        return data::Installation(copy);
    }
    static bool has(const std::vector<std::string>& texts, const std::string& text) {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    // Types `value` into the value cell of the grid in column mode.
    void typeValue(QWidget* w, int row, int column, const char* value) {
        auto* grid = child<QTableView>(w, "?BROWSE:1");
        doubleClick(grid, row, column);
        QWidget* edit = focusNamed("?EDITOR");
        QVERIFY(edit);
        QTest::keyClicks(edit, value);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY(focusNamed("?EDITOR") || focusNamed("?BROWSE:1"));
    }

    std::unique_ptr<fixture::EntryInstallation> fx;
    app::SharedState state;
    platform::ScriptedInteraction* script = nullptr;

private slots:
    void initTestCase() { fixture::workInScratchFolder(); }
    void init() { fx = std::make_unique<fixture::EntryInstallation>(); }
    void cleanup() { fx.reset(); }

    void showsTheReportAndItsControls() {
        auto w = openWindow(fx->report(12, 3));
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("Береговой р-н, Береговая ЦРБ"));
        QCOMPARE(child<QLabel>(w, "?STRING2")->text(), QString("12 Форма 12"));
        QCOMPARE(child<QLabel>(w, "?STRING1")->text(), QString("1000 Таблица 1000"));
        QCOMPARE(child<QLineEdit>(w, "?NAMEMES")->text(), QString("март"));
        QCOMPARE(child<QLineEdit>(w, "?LOCCODUCH")->text(), QString("310"));
        QCOMPARE(child<QStatusBar>(w, "?STATUS")->currentMessage(), QString("Enter-редактирование строки"));
        struct Button {
            const char* name;
            const char* text;
            const char* tip;
            bool enabled;
        } buttons[] = {
            {"?LPU", "ЛПУ", "ВЫБОР УЧРЕЖДЕНИЯ", true},
            {"?NEWFORM", "Форма", "ВЫБОР ФОРМЫ и смена периода", true},
            {"?PUTTABL", "СохранитьТаблицу", "", true},
            {"?NEWTABL", "Таблица", "", true},
            {"?DNTABL", "", "Следующая таблица", true},
            {"?UPTABL", "", "Предыдущая таблица", false},
            {"?DEL1", "Удалить отчет", "Удалить весь отчет", true},
            {"?PRNT1", "", "Печать", true},
            {"?SAVEOTH", "", "Сохранить отчет", true},
            {"?CONTRS", "Контроль", "Внутриформенный контроль", true},
            {"?HELP_", "", "Справка", true},
            {"?CLEARTABL", "Очистить таблицу", "", true},
            {"?RT", "Расчет таблиц", "Расчет итоговых строк и граф", true},
            {"?EXCEL", "", "Выгрузка таблицы в Excel", true},
            {"?SAVEOTHNUL", "Сохранить пустой отчет и выйти", "", true},
        };
        for (const Button& b : buttons) {
            auto* button = child<QPushButton>(w, b.name);
            QCOMPARE(button->text(), QString(b.text));
            QCOMPARE(button->toolTip(), QString(b.tip));
            QVERIFY2(button->isEnabled() == b.enabled, b.name);
        }
        QVERIFY(child<QPushButton>(w, "?F342_OCT")->isHidden());
        QCOMPARE(child<QCheckBox>(w, "?WWODCOL")->text(), QString("Ввод по колонкам"));
        // A new report of a table with totals starts with controls off.
        QVERIFY(child<QCheckBox>(w, "?LOCCONTR")->isChecked());

        auto* grid = child<QTableView>(w, "?BROWSE:1");
        QCOMPARE(grid->model()->columnCount(), 8);
        QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QString("3\nгр3"));
        QCOMPARE(grid->model()->headerData(4, Qt::Horizontal, Qt::ToolTipRole).toString(), QString("3 Графа 3"));
        QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QString("Nстроки"));
        QCOMPARE(cell(grid, 1, 0), QString("2"));
        QCOMPARE(cell(grid, 1, 2), QString("Строка 2"));
        QCOMPARE(grid->model()->index(0, 2).data(Qt::BackgroundRole).value<QColor>(), QColor(255, 255, 230));
        QCOMPARE(cell(grid, 0, 4), QString("0.00"));

        // A resized column keeps its width while the table stays current.
        grid->setColumnWidth(2, 333);
        QTest::mouseClick(child<QPushButton>(w, "?SAVEOTH"), Qt::LeftButton);
        QCOMPARE(grid->columnWidth(2), 333);

        // F4: the table chooser; closing it keeps the table.
        script->answerPick(std::nullopt);
        QTest::keyClick(grid, Qt::Key_F4);
        QCOMPARE(script->pickRequests().size(), size_t(1));
        QCOMPARE(script->pickRequests()[0].caption, std::string("Таблицы"));
        QCOMPARE(child<QLabel>(w, "?STRING1")->text(), QString("1000 Таблица 1000"));

        // The next table: the previous-table button wakes, the next one sleeps.
        QTest::mouseClick(child<QPushButton>(w, "?DNTABL"), Qt::LeftButton);
        QCOMPARE(child<QLabel>(w, "?STRING1")->text(), QString("2000 Таблица 2000"));
        QVERIFY(child<QPushButton>(w, "?UPTABL")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "?DNTABL")->isEnabled());
        QCOMPARE(grid->model()->columnCount(), 6);

        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(w->grab().save(dir + "/report_window.png"));

        script->answerAsk(2);  // "СОХРАНИТЬ  ОТЧЕТ ?": no
        w->close();
        QTRY_VERIFY(!w);
        QCOMPARE(fx->marks(), 0);
    }

    // Closing the main window closes the entry window inside it as its own
    // close does: the save question, the saved values, the freed report. A
    // question closed without an answer keeps both open; a main window torn
    // down without closing still frees the report.
    void closingTheMainWindowClosesTheEntryWindow() {
        app::MainWindowModel model(state, app::StartupData{});
        auto main = std::make_unique<ui::MainWindow>(fx->installation(), model, [](QWidget*) {
            return std::make_unique<platform::ScriptedInteraction>();
        });
        main->show();
        QVERIFY(QTest::qWaitForWindowExposed(main.get()));
        auto w = openWindow(fx->report(12, 3));
        QVERIFY(w);
        main->open(w, app::Launch::NewThread);
        QCOMPARE(fx->marks(), 1);
        w->editor().setValue(0, 1, platform::Decimal::fromMilli(80000));

        script->answerAsk(0);  // the question closed: the user goes back
        QVERIFY(!main->close());
        QVERIFY(main->isVisible());
        QVERIFY(w);
        QCOMPARE(fx->marks(), 1);

        script->answerAsk(1);  // "СОХРАНИТЬ  ОТЧЕТ ?": yes
        QVERIFY(main->close());
        QCOMPARE(script->questions(), (Strings{"СОХРАНИТЬ  ОТЧЕТ ?", "СОХРАНИТЬ  ОТЧЕТ ?"}));
        QVERIFY(script->unexpected().empty());
        QCOMPARE(fx->marks(), 0);
        QCOMPARE(fx->stored(12, 3), Strings{"1/1000: 80"});
        main.reset();

        main = std::make_unique<ui::MainWindow>(fx->installation(), model, [](QWidget*) {
            return std::make_unique<platform::ScriptedInteraction>();
        });
        auto again = openWindow(fx->report(12, 3));
        QVERIFY(again);
        main->open(again, app::Launch::NewThread);
        QCOMPARE(fx->marks(), 1);
        main.reset();
        QVERIFY(!again);
        QCOMPARE(fx->marks(), 0);
    }

    // Report entry that ends from inside closes the frame that held it.
    void entryEndedFromInsideTakesItsFrame() {
        app::MainWindowModel model(state, app::StartupData{});
        ui::MainWindow main(fx->installation(), model, [](QWidget*) {
            return std::make_unique<platform::ScriptedInteraction>();
        });
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        struct Case {
            const char* button;
            std::function<void(platform::ScriptedInteraction&)> answers;
        } cases[] = {
            {"?DEL1", [](platform::ScriptedInteraction& s) { s.answerAsk(2); }},  // "УДАЛИТЬ ОТЧЕТ ?": "&ДА"
            {"?SAVEOTHNUL", [](platform::ScriptedInteraction&) {}},               // nothing typed: no question
            {"?LPU", [](platform::ScriptedInteraction& s) { s.answerPick(std::nullopt); }},  // no district
        };
        for (const Case& c : cases) {
            auto w = openWindow(fx->report(12, 3));
            QVERIFY(w);
            main.open(w, app::Launch::NewThread);
            QCOMPARE(main.mdiArea()->subWindowList().size(), 1);
            c.answers(*script);
            QTest::mouseClick(child<QPushButton>(w, c.button), Qt::LeftButton);
            QTRY_VERIFY2(main.mdiArea()->subWindowList().isEmpty(), c.button);
            QTRY_VERIFY(!w);
            QVERIFY2(script->unexpected().empty(), c.button);
            QCOMPARE(fx->marks(), 0);
        }
    }

    // "Сохранить пустой отчет ?" over a report with data: Enter keeps the data.
    void emptyReportQuestionDefaultsToCancel() {
        fx->store(12, {{3, 1, 1000, {7, 0, 0, 7}}});
        auto* w = new ui::ReportWindow(fx->installation(), state,
                                       [](QWidget* parent) { return std::make_unique<ui::QtInteraction>(parent); },
                                       fx->report(12, 3));
        QPointer<ui::ReportWindow> guard(w);
        w->setAttribute(Qt::WA_DeleteOnClose);
        QVERIFY(w->open());
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w));
        QString defaultButton;
        auto ask = whenModal("Ask", [&defaultButton](QWidget* box) {
            for (auto* b : box->findChildren<QPushButton*>()) {
                if (b->isDefault()) defaultButton = b->text();
            }
            QTest::keyClick(box, Qt::Key_Return);
        });
        QTest::mouseClick(child<QPushButton>(w, "?SAVEOTHNUL"), Qt::LeftButton);
        QVERIFY(fixture::shown(ask));
        QCOMPARE(defaultButton, QString("&Отменить"));
        QVERIFY(guard);
        QCOMPARE(fx->stored(12, 3), Strings{"1/1000: 7 0 0 7"});
        w->close();
        QTRY_VERIFY(!guard);
    }

    void typesSavesAndFindsTheValuesAgain() {
        auto w = openWindow(fx->report(12, 3));
        QVERIFY(w);
        auto* grid = child<QTableView>(w, "?BROWSE:1");

        // Column mode: the in-place editor; Down and Enter move it down.
        QTest::mouseClick(child<QCheckBox>(w, "?WWODCOL"), Qt::LeftButton);
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectItems);
        QCOMPARE(grid->currentIndex().column(), 4);
        doubleClick(grid, 0, 4);
        QWidget* edit = focusNamed("?EDITOR");
        QVERIFY(edit);
        QTest::keyClicks(edit, "1");
        QTest::keyClick(edit, Qt::Key_Down);
        edit = focusNamed("?EDITOR");
        QVERIFY(edit);
        QCOMPARE(grid->currentIndex().row(), 1);
        QTest::keyClicks(edit, "2,5");
        QTest::keyClick(edit, Qt::Key_Return);
        edit = focusNamed("?EDITOR");
        QVERIFY(edit);
        QCOMPARE(grid->currentIndex().row(), 2);
        // Closing the window while editing closes only the editor.
        w->close();
        QVERIFY(w);
        QTRY_VERIFY(focusNamed("?BROWSE:1"));
        QCOMPARE(cell(grid, 0, 4), QString("1.00"));
        QCOMPARE(cell(grid, 1, 4), QString("2.50"));
        QVERIFY(w->editor().changed());

        // Row mode again; Enter opens the row window at the current row.
        QTest::mouseClick(child<QCheckBox>(w, "?WWODCOL"), Qt::LeftButton);
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
        grid->setCurrentIndex(grid->model()->index(2, 0));
        QTest::keyClick(grid, Qt::Key_Return);
        QTRY_VERIFY(w->rowWindow());
        ui::RowWindow* rows = w->rowWindow();
        QCOMPARE(rows->windowTitle(), QString("12 Форма 12"));
        QCOMPARE(child<QLineEdit>(rows, "?QT:CODSTR")->text(), QString("3"));
        auto* second = child<QLineEdit>(rows, "?QT:DATA2");
        second->setFocus();
        second->selectAll();
        QTest::keyClicks(second, "5");
        QTest::keyClick(second, Qt::Key_F2);
        QVERIFY(focusNamed("?QT:CODSTR"));
        QTest::keyClick(rows, Qt::Key_Escape);
        QTRY_VERIFY(!w->rowWindow());
        QCOMPARE(cell(grid, 2, 5), QString("5"));

        // "Расчет таблиц": value 4 := 1 + 2 in every row.
        QTest::mouseClick(child<QPushButton>(w, "?RT"), Qt::LeftButton);
        QCOMPARE(cell(grid, 0, 7), QString("1"));
        QCOMPARE(cell(grid, 1, 7), QString("2.5"));
        QCOMPARE(cell(grid, 2, 7), QString("5"));
        QTest::mouseClick(child<QPushButton>(w, "?SAVEOTH"), Qt::LeftButton);
        QCOMPARE(script->messages(), Strings{"ЗАПИСАНО ."});
        QVERIFY(script->unexpected().empty());
        // A width the user gives a column is kept for the table.
        grid->horizontalHeader()->resizeSection(5, 111);
        w->close();
        QTRY_VERIFY(!w);
        QCOMPARE(fx->stored(12, 3), (Strings{"1/1000: 1 0 0 1", "2/1000: 2.5 0 0 2.5", "3/1000: 0 5 0 5"}));

        auto again = openWindow(fx->report(12, 3));
        QVERIFY(again);
        grid = child<QTableView>(again, "?BROWSE:1");
        QCOMPARE(grid->columnWidth(5), 111);
        QCOMPARE(cell(grid, 1, 4), QString("2.50"));
        QCOMPARE(cell(grid, 2, 5), QString("5"));
        QCOMPARE(cell(grid, 2, 7), QString("5"));
        again->close();
        QTRY_VERIFY(!again);
    }

    // Column mode: a digit typed on a cell opens its editor with the digit,
    // a letter neither edits nor jumps to another row; a number the column
    // cannot hold is told and stays in the open editor. The error marks
    // follow the edits and the calculation.
    void columnModeTypingAndMarks() {
        fx->store(40, {{0, 1, 1, {1, 2, 3}}});
        auto w = openWindow(fx->report(40));
        QVERIFY(w);
        auto* grid = child<QTableView>(w, "?BROWSE:1");
        QVERIFY(!child<QTableView>(w, "?FROZEN")->isVisible());
        QTest::mouseClick(child<QCheckBox>(w, "?WWODCOL"), Qt::LeftButton);
        // The row code, mark and name stay in place over the scrolling values.
        auto* frozen = child<QTableView>(w, "?FROZEN");
        QVERIFY(frozen->isVisible());
        QCOMPARE(frozen->width(), grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2) +
                                      grid->columnWidth(3));
        QCOMPARE(cell(grid, 0, 1), QString(""));
        grid->setCurrentIndex(grid->model()->index(1, 4));
        QTest::keyClick(grid, Qt::Key_Z);
        QCOMPARE(grid->currentIndex(), grid->model()->index(1, 4));
        QVERIFY(!focusNamed("?EDITOR"));
        grid->setCurrentIndex(grid->model()->index(0, 4));
        QTest::keyClick(grid, Qt::Key_5);
        auto* edit = qobject_cast<QLineEdit*>(focusNamed("?EDITOR"));
        QVERIFY(edit);
        QCOMPARE(edit->text(), QString("5"));
        QTest::keyClicks(edit, "x0000000");
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(script->messages(), Strings{"Число не помещается в поле|Наибольшее значение 9999999.99"});
        QVERIFY(focusNamed("?EDITOR"));
        QCOMPARE(edit->text(), QString("50000000"));
        edit->setText("5");
        QTest::keyClick(edit, Qt::Key_Return);
        QVERIFY(focusNamed("?EDITOR"));
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(cell(grid, 0, 4), QString("5.00"));
        // Column 5 (3) is no longer column 3 + column 4 (5 + 2).
        QCOMPARE(cell(grid, 0, 1), QString("?"));
        QTest::mouseClick(child<QPushButton>(w, "?RT"), Qt::LeftButton);
        QCOMPARE(cell(grid, 0, 6), QString("7"));
        QCOMPARE(cell(grid, 0, 1), QString(""));
        QCOMPARE(script->messages().size(), size_t(1));

        w->close();  // closes the editor of row 2 only
        QVERIFY(w);
        script->answerAsk(2);  // "СОХРАНИТЬ  ОТЧЕТ ?": no
        w->close();
        QTRY_VERIFY(!w);
    }

    // In column mode a second double click on the in-place editor stores its
    // value and closes it; "Контроль" then finds the violation the value
    // makes, before any save; the help button opens the help window.
    void secondDoubleClickControlsAndHelp() {
        fx->store(40, {{0, 1, 1, {1, 2, 3}}});
        auto w = openWindow(fx->report(40));
        QVERIFY(w);
        auto* grid = child<QTableView>(w, "?BROWSE:1");
        QTest::mouseClick(child<QCheckBox>(w, "?WWODCOL"), Qt::LeftButton);
        doubleClick(grid, 1, 4);
        QWidget* edit = focusNamed("?EDITOR");
        QVERIFY(edit);
        QTest::keyClicks(edit, "5");
        QTest::mouseDClick(edit, Qt::LeftButton);
        QTRY_VERIFY(focusNamed("?BROWSE:1"));
        QCOMPARE(grid->currentIndex().row(), 1);
        QCOMPARE(cell(grid, 1, 4), QString("5.00"));

        // Row 2: column 5 (0) is not column 3 + column 4 (5).
        QStringList codes;
        auto errors = whenModal("ErrorList", [&codes](QWidget* list) {
            auto* lines = child<QTableWidget>(list, "?BROWSE:1");
            for (int r = 0; r < lines->rowCount(); ++r) codes << lines->item(r, 0)->text();
            list->close();
        });
        QTest::mouseClick(child<QPushButton>(w, "?CONTRS"), Qt::LeftButton);
        QCOMPARE(codes, QStringList{"1"});

        // The help window takes an interaction of its own from the factory.
        platform::ScriptedInteraction* entryScript = script;
        QTest::mouseClick(child<QPushButton>(w, "?HELP_"), Qt::LeftButton);
        QPointer<QWidget> help;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top->objectName() == "Help" && top->isVisible()) help = top;
        }
        QVERIFY(help);
        help->close();
        QTRY_VERIFY(!help);

        entryScript->answerAsk(2);  // "СОХРАНИТЬ  ОТЧЕТ ?": no
        w->close();
        QTRY_VERIFY(!w);
    }

    // Printing and the table export both take the values as the grid shows
    // them, typed values not yet saved included.
    void printsAndExportsTheShownTable() {
        fx->store(12, {{3, 1, 1000, {7, 0, 0, 7}}});
        std::filesystem::create_directories(fx->dir() / "XLS");
        platform::XlsxWorkbook swod = platform::XlsxWorkbook::createNew();
        QVERIFY(swod.save(fx->dir() / "XLS" / "swod.xlsx"));
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        qputenv("TMPDIR", temp.path().toLocal8Bit());

        auto w = openWindow(fx->report(12, 3));
        QVERIFY(w);
        auto recording = std::make_unique<platform::RecordingDesktopOpener>();
        platform::RecordingDesktopOpener* opener = recording.get();
        w->setDesktopOpener(std::move(recording));
        QTest::mouseClick(child<QCheckBox>(w, "?WWODCOL"), Qt::LeftButton);
        typeValue(w, 1, 4, "4,5");

        std::vector<std::string> printed;
        auto params = whenModal("PrintParams", [](QWidget* dialog) {
            QCOMPARE(child<QLineEdit>(dialog, "?HEADING")->text(), QString("Береговой р-н, Береговая ЦРБ  2026г.март"));
            child<QRadioButton>(dialog, "?SCOPE:2")->setChecked(true);
            QTest::mouseClick(child<QPushButton>(dialog, "?CONTINUE"), Qt::LeftButton);
        });
        auto preview = whenModal("Preview", [&printed](QWidget* preview) {
            printed = fixture::pageTexts(static_cast<ui::PreviewWindow*>(preview)->document());
            preview->close();
        });
        QTest::mouseClick(child<QPushButton>(w, "?PRNT1"), Qt::LeftButton);
        QVERIFY(has(printed, "Ф12 Форма 12."));
        QVERIFY(has(printed, "Т 1000 Таблица 1000"));
        QVERIFY(!has(printed, "Т 2000 Таблица 2000"));
        QVERIFY(has(printed, "Строка 2"));
        QVERIFY(has(printed, "      4.50"));

        QTest::mouseClick(child<QPushButton>(w, "?EXCEL"), Qt::LeftButton);
        QCOMPARE(script->messages().back(), std::string("Выгрузка в Excel завершена"));
        QCOMPARE(opener->opened().size(), size_t(1));
        platform::XlsxWorkbook book;
        QVERIFY(platform::XlsxWorkbook::load(opener->opened()[0], book));
        QCOMPARE(QString::fromStdString(book.value(2, 1).text), QString("Ф12 Т1000 Таблица 1000"));
        QCOMPARE(QString::fromStdString(book.value(3, 1).text), QString("Береговой р-н, Береговая ЦРБ"));
        QCOMPARE(QString::fromStdString(book.value(9, 3).text), QString("Графа 3"));
        QCOMPARE(QString::fromStdString(book.value(11, 1).text), QString("Строка 1"));
        QCOMPARE(book.value(11, 3).number, 7.0);
        QCOMPARE(book.value(12, 3).number, 4.5);
        QCOMPARE(book.value(11, 4).kind, platform::CellKind::Empty);

        // Without the template the user learns what failed.
        std::filesystem::remove(fx->dir() / "XLS" / "swod.xlsx");
        QTest::mouseClick(child<QPushButton>(w, "?EXCEL"), Qt::LeftButton);
        const std::string failed = script->messages().back();
        QVERIFY2(failed.rfind("Выгрузка в Excel не выполнена|", 0) == 0, failed.c_str());
        QVERIFY2(failed.find("swod.xlsx") != std::string::npos, failed.c_str());
        QCOMPARE(opener->opened().size(), size_t(1));
        QVERIFY(script->unexpected().empty());

        script->answerAsk(2);  // "СОХРАНИТЬ  ОТЧЕТ ?": no
        w->close();
        QTRY_VERIFY(!w);
        qunsetenv("TMPDIR");
    }

    // The demo's form 12 has long form, table and row names: the window stays
    // within the screen with every button whole, the name column takes the
    // room to spare, and screenshots show it at its size and maximised.
    void demoLongNamesFitTheWindow() {
        const auto demo = fixture::demoInstallation(TAVIR_BUILD_DIR, TAVIR_CLI_PATH);
        if (!demo) QSKIP("tavir-cli is not built: no demo installation");
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const data::Installation installation = demoCopy(*demo, temp);
        entry::ChosenReport report;
        report.year = 2026;
        report.formCode = 12;
        report.formName = "Сведения о числе заболеваний, зарегистрированных у пациентов, проживающих в районе "
                          "обслуживания медицинской организации";
        report.formNumber = "12";
        report.periodType = 0;
        report.district = 1;
        report.districtName = "Алексеевский";
        report.facility = 101;
        report.facilityName = "Алексеевская ЦРБ";
        app::SharedState demoState;
        auto w = fixture::openReportWindow(installation, demoState, report, script);
        QVERIFY(w);
        const QRect screen = w->screen()->availableGeometry();
        QVERIFY(w->width() <= screen.width());
        auto buttonsWhole = [&w] {
            for (auto* b : w->findChildren<QPushButton*>()) {
                if (b->isVisible() && !w->rect().contains(QRect(b->mapTo(w.data(), QPoint(0, 0)), b->size()))) {
                    qWarning("%s is cut", qPrintable(b->objectName()));
                    return false;
                }
            }
            return true;
        };
        QVERIFY(buttonsWhole());
        auto* grid = child<QTableView>(w, "?BROWSE:1");
        QVERIFY(!grid->model()->index(0, 2).data(Qt::ToolTipRole).toString().isEmpty());
        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(w->grab().save(dir + "/report_window_form12.png"));
        auto gridWidth = [grid] {
            int total = 0;
            for (int c = 0; c < grid->model()->columnCount(); ++c) total += grid->columnWidth(c);
            return total;
        };
        w->showMaximized();
        QTRY_COMPARE(w->frameGeometry().width(), w->screen()->availableGeometry().width());
        QTRY_VERIFY(gridWidth() >= grid->viewport()->width());
        QVERIFY(buttonsWhole());
        QVERIFY(w->grab().save(dir + "/report_window_form12_maximised.png"));
        w->close();
        QTRY_VERIFY(!w);
    }

    // On the demo installation: the whole report prints every table of the
    // form, and the table export fills the table's own template.
    void demoReportPrintsAndExports() {
        const auto demo = fixture::demoInstallation(TAVIR_BUILD_DIR, TAVIR_CLI_PATH);
        if (!demo) QSKIP("tavir-cli is not built: no demo installation");
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        qputenv("TMPDIR", temp.path().toLocal8Bit());
        const data::Installation installation = demoCopy(*demo, temp);
        entry::ChosenReport report;
        report.year = 2026;
        report.formCode = 5;
        report.formName = "Сведения о профилактических прививках";
        report.formNumber = "5";
        report.periodType = 3;
        report.period = 1;
        report.district = 1;
        report.districtName = "Алексеевский";
        report.facility = 101;
        report.facilityName = "Алексеевская ЦРБ";
        app::SharedState demoState;
        auto w = fixture::openReportWindow(installation, demoState, report, script);
        QVERIFY(w);
        auto recording = std::make_unique<platform::RecordingDesktopOpener>();
        platform::RecordingDesktopOpener* opener = recording.get();
        w->setDesktopOpener(std::move(recording));

        std::vector<std::string> printed;
        auto params = whenModal("PrintParams",
                  [](QWidget* dialog) { QTest::mouseClick(child<QPushButton>(dialog, "?CONTINUE"), Qt::LeftButton); });
        auto preview = whenModal("Preview", [&printed](QWidget* preview) {
            printed = fixture::pageTexts(static_cast<ui::PreviewWindow*>(preview)->document());
            preview->close();
        });
        QTest::mouseClick(child<QPushButton>(w, "?PRNT1"), Qt::LeftButton);
        QVERIFY(has(printed, "Ф5 Сведения о профилактических прививках."));
        const auto tables = std::count_if(printed.begin(), printed.end(),
                                          [](const std::string& t) { return t.rfind("Т ", 0) == 0; });
        QCOMPARE(static_cast<size_t>(tables), w->editor().tables().size());

        QTest::mouseClick(child<QPushButton>(w, "?EXCEL"), Qt::LeftButton);
        QCOMPARE(script->messages().back(), std::string("Выгрузка в Excel завершена"));
        QCOMPARE(opener->opened().size(), size_t(1));
        platform::XlsxWorkbook book;
        QVERIFY(platform::XlsxWorkbook::load(opener->opened()[0], book));
        const std::string title = book.value(2, 1).text;
        QVERIFY2(title.rfind("Ф5 Т" + std::to_string(w->editor().currentTable().CODTABL) + " ", 0) == 0, title.c_str());
        QCOMPARE(QString::fromStdString(book.value(3, 1).text), QString("Алексеевский р-н, Алексеевская ЦРБ"));
        QVERIFY(script->unexpected().empty());

        // Printing took the grid into the report, as saving would: closing asks.
        script->answerAsk(2);  // "СОХРАНИТЬ  ОТЧЕТ ?": no
        w->close();
        QTRY_VERIFY(!w);
        qunsetenv("TMPDIR");
    }
};

QTEST_MAIN(ReportWindowTest)
#include "report_window_test.moc"
