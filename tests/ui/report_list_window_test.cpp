// The report list opened from the main window over the demo installation
// and driven through its object names: the list of a monthly form, the
// district group filter, the town check, the name search, marks, the form
// change and the blocking launch from the menu.
#include "../app/demo_installation.h"
#include "app/startup.h"
#include "data/record_binding.h"
#include "data/records.h"
#include "platform/scripted_interaction.h"
#include "ui/app/main_window.h"
#include "platform/desktop_opener.h"
#include "platform/xlsx_workbook.h"
#include "ui/analysis/consolidation_view.h"
#include "ui/platform/preview_window.h"
#include "ui/registry/report_list_view.h"
#include "window_test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#ifndef TAVIR_CLI_PATH
#define TAVIR_CLI_PATH ""
#endif

using namespace tavir;

namespace {

using fixture::child;

int markedRows(QTableWidget* list) {
    int n = 0;
    for (int r = 0; r < list->rowCount(); ++r) n += list->item(r, 3)->text() == "o";
    return n;
}

void chooseIn(QComboBox* combo, int code) {
    const int index = combo->findData(code);
    QVERIFY(index >= 0);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

}  // namespace

class ReportListWindowTest : public QObject {
    Q_OBJECT

private:
    // The line of a form in the form chooser of the year: switched-on forms in code order.
    int formLine(int form) {
        std::vector<data::Forma> forms;
        if (!data::readAll(data::Installation(demo).formaFile(kYear), forms)) return -1;
        std::erase_if(forms, [](const data::Forma& f) { return f.VKL == 1; });
        std::sort(forms.begin(), forms.end(), [](const auto& a, const auto& b) { return a.UNICOD < b.UNICOD; });
        for (size_t i = 0; i < forms.size(); ++i) {
            if (forms[i].UNICOD == form) return static_cast<int>(i);
        }
        return -1;
    }

    static constexpr int kYear = 2026;
    std::filesystem::path demo;
    app::SharedState state;
    std::unique_ptr<app::MainWindowModel> model;
    std::unique_ptr<ui::MainWindow> window;
    std::vector<std::optional<int>> picks;
    std::vector<platform::ScriptedInteraction*> scripts;

private slots:
    void initTestCase() {
        fixture::workInScratchFolder();
        auto dir = fixture::demoInstallation(TAVIR_BUILD_DIR, TAVIR_CLI_PATH);
        if (!dir) QSKIP("tavir-cli demo is not available");
        demo = *dir;
        platform::ScriptedInteraction startupUi;
        app::StartupData data;
        QVERIFY(app::startUp(data::Installation(demo), state, startupUi, kYear, data).isOk());
        state.globYear = kYear;
        model = std::make_unique<app::MainWindowModel>(state, std::move(data));
        window = std::make_unique<ui::MainWindow>(data::Installation(demo), *model, [this](QWidget*) {
            auto script = std::make_unique<platform::ScriptedInteraction>();
            for (auto pick : picks) script->answerPick(pick);
            picks.clear();
            scripts.push_back(script.get());
            return script;
        });
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void listFiltersMarksAndSearch() {
        picks = {formLine(117)};
        QVERIFY(picks[0] >= 0);
        child<QToolButton>(window.get(), "?BUTTON1")->click();
        QCOMPARE(window->mdiArea()->subWindowList().size(), 1);
        QWidget* w = window->mdiArea()->subWindowList()[0]->widget();
        QCOMPARE(w->objectName(), QString("ReportList"));
        QVERIFY(w->windowTitle().startsWith("117 "));

        auto* list = child<QTableWidget>(w, "?BROWSE");
        const int rows = list->rowCount();
        QVERIFY(rows > 0);
        QCOMPARE(child<QLabel>(w, "?COUNT")->text(), "Всего отчетов: " + QString::number(rows));
        QCOMPARE(child<QLabel>(w, "?MARKED")->text(), QString("Отмечено  : 0"));
        // The latest month of the demo's monthly forms is November.
        QCOMPARE(child<QLineEdit>(w, "?PERIOD1")->text(), QString("11"));
        QCOMPARE(child<QLineEdit>(w, "?PERIOD2")->text(), QString("11"));
        QVERIFY(child<QPushButton>(w, "?SVOD")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "?POLNOTA")->isEnabled());

        // "Районы": every entry of a rural district is marked.
        auto& listModel = static_cast<ui::ReportListView*>(w)->model();
        chooseIn(child<QComboBox>(w, "?QSR:NAME"), 300);
        int rural = 0;
        for (const auto& e : listModel.entries()) rural += e.district < 100;
        QVERIFY(rural > 0 && rural < rows);
        QCOMPARE(markedRows(list), rural);
        QCOMPARE(child<QLabel>(w, "?MARKED")->text(), "Отмечено  : " + QString::number(rural));

        child<QPushButton>(w, "?RESET")->click();
        QCOMPARE(markedRows(list), 0);
        QCOMPARE(child<QComboBox>(w, "?QSR:NAME")->currentData().toInt(), 0);

        // Without "Город" every entry that is not a town's is marked.
        child<QCheckBox>(w, "?TOWN")->setChecked(false);
        int notTown = 0;
        for (const auto& e : listModel.entries()) notTown += e.settlementCode != 1;
        QCOMPARE(markedRows(list), notTown);
        child<QPushButton>(w, "?MARKALL")->click();
        QCOMPARE(markedRows(list), rows);
        QVERIFY(child<QCheckBox>(w, "?TOWN")->isChecked());
        child<QPushButton>(w, "?RESET")->click();

        emit list->cellDoubleClicked(2, 0);
        QCOMPARE(list->item(2, 3)->text(), QString("o"));
        QCOMPARE(child<QLabel>(w, "?MARKED")->text(), QString("Отмечено  : 1"));

        // Search by name from the selected entry on, then by code.
        const QString name = list->item(rows - 1, 7)->text();
        list->selectRow(0);
        child<QLineEdit>(w, "?NAME")->setText(name);
        child<QPushButton>(w, "?FINDNAME")->click();
        QCOMPARE(list->item(list->currentRow(), 7)->text(), name);
        const QString code = list->item(1, 1)->text();
        child<QLineEdit>(w, "?CODE")->setText(code);
        child<QPushButton>(w, "?FINDCODE")->click();
        QCOMPARE(list->item(list->currentRow(), 1)->text(), code);

        // A period range typed in and "Ok".
        child<QLineEdit>(w, "?PERIOD1")->setText("1");
        child<QLineEdit>(w, "?PERIOD2")->setText("3");
        child<QPushButton>(w, "?OK")->click();
        QVERIFY(list->rowCount() > 0);
        QCOMPARE(listModel.lower(), 1);
        QCOMPARE(listModel.upper(), 3);

        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(window->grab().save(dir + "/report_list.png"));

        // An annual form hides the period entries.
        scripts.back()->answerPick(formLine(12));
        child<QPushButton>(w, "?FORM")->click();
        QCOMPARE(list->rowCount(), 0);
        child<QPushButton>(w, "?OK")->click();
        QVERIFY(list->rowCount() > 0);
        QVERIFY(child<QLineEdit>(w, "?PERIOD1")->isHidden());
        QVERIFY(w->windowTitle().startsWith("12 "));
        QVERIFY(scripts.back()->unexpected().empty());
        window->mdiArea()->closeAllSubWindows();
    }

    // "С В О Д     F3" on a district of form 117: the consolidation window,
    // its tables, filled rows, controls, printout and export.
    void consolidationFromTheList() {
        picks = {formLine(117)};
        child<QToolButton>(window.get(), "?BUTTON1")->click();
        QWidget* list = window->mdiArea()->subWindowList().back()->widget();
        chooseIn(child<QComboBox>(list, "?QSR:NAME"), 300);
        child<QPushButton>(list, "?SVOD")->click();
        auto* view = list->findChild<ui::ConsolidationView*>("Consolidation");
        QVERIFY(view);
        QVERIFY(view->windowTitle().startsWith("117"));
        QVERIFY(child<QLabel>(view, "?TITLE")->text().contains("Районы"));
        auto* grid = child<QTableWidget>(view, "?BROWSE");
        const int rows = grid->rowCount();
        QVERIFY(rows > 0);
        QCOMPARE(child<QLabel>(view, "?TABLE")->text(), QString("1"));
        QVERIFY(!child<QPushButton>(view, "?PREVIOUS")->isEnabled());
        QVERIFY(child<QPushButton>(view, "?EXPORT")->isEnabled());

        // The grid shows the model's sums in the column's picture.
        auto& model = view->model();
        const int valueColumn = 4;
        QCOMPARE(grid->horizontalHeaderItem(valueColumn)->text().left(1), QString("3"));
        QVERIFY(!grid->item(0, valueColumn)->text().isEmpty());
        QVERIFY(model.grid()[0].consolidated);

        if (child<QPushButton>(view, "?NEXT")->isEnabled()) {
            child<QPushButton>(view, "?NEXT")->click();
            QCOMPARE(child<QLabel>(view, "?TABLE")->text(), QString::number(model.currentTable().code));
            QVERIFY(child<QPushButton>(view, "?PREVIOUS")->isEnabled());
            child<QPushButton>(view, "?PREVIOUS")->click();
        }
        child<QCheckBox>(view, "?FILLED")->setChecked(true);
        QVERIFY(!child<QPushButton>(view, "?CONTROL")->isEnabled());
        QCOMPARE(grid->rowCount(), static_cast<int>(model.grid().size()));
        child<QCheckBox>(view, "?FILLED")->setChecked(false);
        QCOMPARE(grid->rowCount(), rows);

        // "Контроль" over the totals of every facility of the rural districts.
        const size_t messages = scripts.back()->messages().size();
        std::unique_ptr<QTimer> resultsShown;
        resultsShown = fixture::whenModal("ErrorList", [](QWidget* results) { results->close(); });
        child<QPushButton>(view, "?CONTROL")->click();
        QVERIFY(fixture::shown(resultsShown) || scripts.back()->messages().size() > messages);

        int pages = 0;
        std::unique_ptr<QTimer> previewShown;
        auto paramsShown = fixture::whenModal("PrintParams", [&](QWidget* dialog) {
            previewShown = fixture::whenModal("Preview", [&](QWidget* preview) {
                pages = qobject_cast<ui::PreviewWindow*>(preview)->pageCount();
                preview->close();
            });
            child<QPushButton>(dialog, "?CONTINUE")->click();
        });
        child<QPushButton>(view, "?PRINT")->click();
        QVERIFY(fixture::shown(paramsShown) && fixture::shown(previewShown));
        QVERIFY(pages >= 1);

        auto opener = std::make_unique<platform::RecordingDesktopOpener>();
        auto* opened = opener.get();
        view->setDesktopOpener(std::move(opener));
        child<QPushButton>(view, "?EXCEL")->click();
        QCOMPARE(opened->opened().size(), size_t(1));
        platform::XlsxWorkbook book;
        QVERIFY(platform::XlsxWorkbook::load(opened->opened()[0], book).isOk());
        QCOMPARE(QString::fromStdString(book.value(3, 1).text), child<QLabel>(view, "?TITLE")->text());
        QCOMPARE(scripts.back()->messages().back(), std::string("Выгрузка в Excel завершена"));

        // "Экспорт свода": the path window, then the consolidated exchange
        // file of every row of the form.
        QTemporaryDir target;
        auto pathShown = fixture::whenModal("ExportPath", [&](QWidget* dialog) {
            QCOMPARE(child<QComboBox>(dialog, "?PATH")->itemText(0).isEmpty(), false);
            child<QComboBox>(dialog, "?PATH")->setEditText(target.path() + "/");
            child<QPushButton>(dialog, "?CONTINUE")->click();
        });
        child<QPushButton>(view, "?EXPORT")->click();
        QVERIFY(fixture::shown(pathShown));
        const QStringList written = QDir(target.path()).entryList({"ssw*F117.dat"}, QDir::Files);
        QCOMPARE(written.size(), 1);
        const std::string count = "Число записей:" + std::to_string(model.consolidation().rows.size()) + " в файле";
        QVERIFY(scripts.back()->messages().back().starts_with(count));
        QVERIFY(model.consolidation().rows.size() > 0);

        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(view->grab().save(dir + "/consolidation.png"));
        view->close();
        window->mdiArea()->closeAllSubWindows();
    }

    void menuOpensItBlocking() {
        picks = {formLine(117)};
        bool listed = false;
        auto wait = fixture::whenModal("ReportList", [&](QWidget* w) {
            listed = child<QTableWidget>(w, "?BROWSE")->rowCount() > 0;
            w->close();
        });
        fixture::menuItem(window->menuBar(), "Контроли", "Своды,показатели")->trigger();
        QVERIFY(fixture::shown(wait));
        QVERIFY(listed);
    }
};

QTEST_MAIN(ReportListWindowTest)
#include "report_list_window_test.moc"
