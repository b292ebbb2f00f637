// The control windows opened from the main window over the demo
// installation and driven through their object names: the intra-form run
// and its results, the inter-form list and its results, the control list
// with its tabs and printout.
#include "../app/demo_installation.h"
#include "app/startup.h"
#include "platform/scripted_interaction.h"
#include "ui/app/main_window.h"
#include "ui/platform/preview_window.h"
#include "ui/platform/qt_text.h"
#include "window_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QSpinBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>

#ifndef TAVIR_CLI_PATH
#define TAVIR_CLI_PATH ""
#endif

using namespace tavir;

namespace {

using fixture::child;
using fixture::listColumn;
using fixture::whenModal;

int rowOf(QTableWidget* list, int c, const QString& text) {
    for (int r = 0; r < list->rowCount(); ++r) {
        if (list->item(r, c) && list->item(r, c)->text() == text) return r;
    }
    return -1;
}

}  // namespace

class ControlsWindowsTest : public QObject {
    Q_OBJECT

private:
    ui::InteractionFactory scriptedWindows() {
        return [this](QWidget*) {
            auto script = std::make_unique<platform::ScriptedInteraction>();
            for (auto pick : picks) script->answerPick(pick);
            picks.clear();
            scripts.push_back(script.get());
            return script;
        };
    }
    QAction* menuItem(const QString& menu, const QString& item) { return fixture::menuItem(window->menuBar(), menu, item); }
    static QString screenshots() {
        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QDir().mkpath(dir);
        return dir;
    }

    std::filesystem::path demo;
    app::SharedState state;
    std::unique_ptr<app::MainWindowModel> model;
    std::unique_ptr<ui::MainWindow> window;
    std::vector<std::optional<int>> picks;  // answers for the next window's script
    std::vector<platform::ScriptedInteraction*> scripts;

private slots:
    void initTestCase() {
        fixture::workInScratchFolder();
        auto dir = fixture::demoInstallation(TAVIR_BUILD_DIR, TAVIR_CLI_PATH);
        if (!dir) QSKIP("tavir-cli demo is not available");
        demo = *dir;
        platform::ScriptedInteraction startupUi;
        app::StartupData data;
        QVERIFY(app::startUp(data::Installation(demo), state, startupUi, 2025, data).isOk());
        state.globYear = 2025;
        model = std::make_unique<app::MainWindowModel>(state, std::move(data));
        window = std::make_unique<ui::MainWindow>(data::Installation(demo), *model, scriptedWindows());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    // Forms 12 and 30, every month, facility by facility: the demo's row,
    // column and table rule violations of 2025.
    void intraFormRunFindsTheDemoViolations() {
        QStringList rules, subjects, texts;
        bool formsListed = false;
        std::unique_ptr<QTimer> resultsShown, againShown;
        auto runShown = whenModal("ControlRun", [&](QWidget* run) {
            auto* forms = child<QTableWidget>(run, "?BROWSE:1");
            formsListed = rowOf(forms, 1, "12") >= 0 && rowOf(forms, 1, "820") < 0 && rowOf(forms, 1, "910") < 0;
            for (const char* form : {"12", "30"}) forms->item(rowOf(forms, 1, form), 0)->setCheckState(Qt::Checked);
            child<QSpinBox>(run, "?MES1")->setValue(0);
            child<QSpinBox>(run, "?MES2")->setValue(12);
            child<QAbstractButton>(run, "?OPTION1:2")->click();
            resultsShown = whenModal("RunResults", [&](QWidget* results) {
                auto* list = child<QTableWidget>(results, "?BROWSE:1");
                rules = listColumn(list, 0);
                subjects = listColumn(list, 1);
                texts << child<QPlainTextEdit>(results, "?TEXT")->toPlainText();
                list->setCurrentCell(2, 0);
                texts << child<QPlainTextEdit>(results, "?TEXT")->toPlainText();
                // One text line per row; the whole text is the cell's tip.
                QCOMPARE(list->rowHeight(0), list->fontMetrics().height() + 6);
                QCOMPARE(list->item(0, 5)->toolTip(), list->item(0, 5)->text());
                results->grab().save(screenshots() + "/control_results.png");
                againShown = whenModal("ControlRun", [](QWidget* again) { child<QPushButton>(again, "?CLOSE")->click(); });
                child<QPushButton>(results, "?CLOSE")->click();
            });
            child<QPushButton>(run, "?CONTROL")->click();
        });
        menuItem("Контроли", "Внутриформенный контроль")->trigger();
        QVERIFY(fixture::shown(runShown) && fixture::shown(resultsShown) && fixture::shown(againShown));
        QVERIFY(formsListed);
        QCOMPARE(rules, (QStringList{"11", "19", "28", "3"}));
        QCOMPARE(subjects, (QStringList{"701", "701", "1001", "2201"}));
        QCOMPARE(texts, (QStringList{"т3000г4с10.1 (3556)<=(3529)c10.0", "т1100с2 г3(19.75)>=(21.25)г4"}));
        QVERIFY(scripts.back()->unexpected().empty());
    }

    void interFormRun() {
        QStringList codes;
        QString formula;
        std::unique_ptr<QTimer> resultsShown, againShown;
        auto listShown = whenModal("InterformList", [&](QWidget* list) {
            auto* rules = child<QTableWidget>(list, "?BROWSE:1");
            rules->setCurrentCell(0, 0);
            formula = child<QPlainTextEdit>(list, "?FORMULA")->toPlainText();
            resultsShown = whenModal("InterformResults", [&](QWidget* results) {
                codes = listColumn(child<QTableWidget>(results, "?BROWSE:1"), 0);
                againShown = whenModal("InterformList", [](QWidget* again) { child<QPushButton>(again, "?CLOSE")->click(); });
                child<QPushButton>(results, "?CLOSE")->click();
            });
            child<QPushButton>(list, "?CONTROL")->click();
        });
        menuItem("Ввод отчетов", "Межформенные контроли")->trigger();
        QVERIFY(fixture::shown(listShown) && fixture::shown(resultsShown) && fixture::shown(againShown));
        QCOMPARE(formula, QString("Ф30 т3100 стр.1 гр.6 - Ф14 т2000 стр.1 гр.4 = 0"));
        QCOMPARE(codes, QStringList{"1901"});
    }

    void controlListTabsAndPrintout() {
        picks = {1};  // form 12, second in the form chooser
        menuItem("Контроли", "Список контролей")->trigger();
        QCOMPARE(window->mdiArea()->subWindowList().size(), 1);
        QWidget* list = window->mdiArea()->subWindowList()[0]->widget();
        QCOMPARE(list->objectName(), QString("ControlList"));
        QCOMPARE(child<QLabel>(list, "?FOR:UNICOD")->text(), QString("12"));
        auto* columns = child<QTableWidget>(list, "?BROWSE:1");
        QVERIFY(columns->rowCount() > 0);
        QCOMPARE(columns->item(0, 3)->text(), QString("г5 <=г4"));
        QVERIFY(list->grab().save(screenshots() + "/control_list.png"));
        QVERIFY(listColumn(child<QTableWidget>(list, "?BROWSE:3"), 0).contains("3"));

        int pages = 0;
        std::unique_ptr<QTimer> previewShown;
        auto kindsShown = whenModal("PrintKinds", [&](QWidget* dialog) {
            child<QCheckBox>(dialog, "?CHECK1")->setChecked(true);
            previewShown = whenModal("Preview", [&](QWidget* preview) {
                pages = qobject_cast<ui::PreviewWindow*>(preview)->pageCount();
                preview->close();
            });
            child<QPushButton>(dialog, "?CONTINUE")->click();
        });
        child<QPushButton>(list, "?PRINT")->click();
        QVERIFY(fixture::shown(kindsShown) && fixture::shown(previewShown));
        QCOMPARE(pages, 1);

        scripts.back()->answerPick(0);  // "Форма": form 5
        child<QPushButton>(list, "?FORM")->click();
        QCOMPARE(child<QLabel>(list, "?FOR:UNICOD")->text(), QString("5"));
        QVERIFY(scripts.back()->unexpected().empty());
        window->mdiArea()->closeAllSubWindows();
    }
};

QTEST_MAIN(ControlsWindowsTest)
#include "controls_windows_test.moc"
