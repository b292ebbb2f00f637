// The list of submitted reports and the completeness window, opened from
// the main window's toolbar over a copy of the demo installation (a report
// is deleted on the way) and driven through their object names.
#include "../app/demo_installation.h"
#include "app/startup.h"
#include "platform/desktop_opener.h"
#include "platform/scripted_interaction.h"
#include "platform/xlsx_workbook.h"
#include "ui/app/main_window.h"
#include "ui/platform/preview_window.h"
#include "ui/registry/completeness_view.h"
#include "ui/registry/submitted_reports_view.h"
#include "window_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <filesystem>

#ifndef TAVIR_CLI_PATH
#define TAVIR_CLI_PATH ""
#endif

using namespace tavir;

namespace {

using fixture::child;
using fixture::listColumn;
using fixture::whenModal;

}  // namespace

class RegistryWindowsTest : public QObject {
    Q_OBJECT

private:
    ui::InteractionFactory scriptedWindows() {
        return [this](QWidget*) {
            auto script = std::make_unique<platform::ScriptedInteraction>();
            for (auto pick : picks) script->answerPick(pick);
            for (int ask : asks) script->answerAsk(ask);
            picks.clear();
            asks.clear();
            scripts.push_back(script.get());
            return script;
        };
    }
    // The window the toolbar button opened beside the others.
    QWidget* openFromToolbar(const char* button) {
        const int before = static_cast<int>(window->mdiArea()->subWindowList().size());
        child<QToolButton>(window.get(), button)->click();
        const auto subs = window->mdiArea()->subWindowList();
        return subs.size() > before ? subs.back()->widget() : nullptr;
    }

    QTemporaryDir copy;
    std::filesystem::path demo;
    app::SharedState state;
    std::unique_ptr<app::MainWindowModel> model;
    std::unique_ptr<ui::MainWindow> window;
    std::vector<std::optional<int>> picks;  // answers for the next window's script
    std::vector<int> asks;
    std::vector<platform::ScriptedInteraction*> scripts;

private slots:
    void initTestCase() {
        fixture::workInScratchFolder();
        auto dir = fixture::demoInstallation(TAVIR_BUILD_DIR, TAVIR_CLI_PATH);
        if (!dir) QSKIP("tavir-cli demo is not available");
        demo = std::filesystem::path(copy.path().toStdString()) / "demo";
        std::filesystem::copy(*dir, demo, std::filesystem::copy_options::recursive);
        platform::ScriptedInteraction startupUi;
        app::StartupData data;
        QVERIFY(app::startUp(data::Installation(demo), state, startupUi, 2025, data).isOk());
        state.globYear = 2025;
        model = std::make_unique<app::MainWindowModel>(state, std::move(data));
        window = std::make_unique<ui::MainWindow>(data::Installation(demo), *model, scriptedWindows());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    // Form 016/у: the latest month on opening, months 1 to 2 on "Ok"; a
    // report opened from the list has "ЛПУ" and "Форма" disabled, and once
    // deleted there it leaves the list; the printout and the export.
    void submittedListOpensAndDeletesAReport() {
        picks = {3};  // form 16 in the form chooser
        QWidget* list = openFromToolbar("?BUTTON4");
        QVERIFY(list);
        QCOMPARE(list->objectName(), QString("SubmittedReports"));
        platform::ScriptedInteraction* script = scripts.back();
        auto* opener = new platform::RecordingDesktopOpener;
        qobject_cast<ui::SubmittedReportsView*>(list)->setDesktopOpener(std::unique_ptr<platform::DesktopOpener>(opener));
        QCOMPARE(child<QLabel>(list, "?FOR:COD")->text(), QString("016/у"));
        QCOMPARE(child<QLineEdit>(list, "?MES1")->text(), QString("12"));
        auto* entries = child<QTableWidget>(list, "?BROWSE:1");
        QVERIFY(entries->rowCount() > 0);
        QVERIFY(listColumn(entries, 5).filter("12месяц").size() == entries->rowCount());

        child<QLineEdit>(list, "?MES1")->setText("1");
        child<QLineEdit>(list, "?MES2")->setText("2");
        child<QPushButton>(list, "?OK")->click();
        const int count = entries->rowCount();
        QVERIFY(count > 2);
        QCOMPARE(child<QLabel>(list, "?TOTAL")->text(), "Всего отчетов: " + QString::number(count));
        const QString facility = entries->item(1, 0)->text(), period = entries->item(1, 4)->text();

        bool lpuEnabled = true, formEnabled = true;
        asks = {2};  // "&ДА" to "УДАЛИТЬ ОТЧЕТ ?"
        auto entryShown = whenModal("ReportEntry", [&](QWidget* entry) {
            lpuEnabled = child<QPushButton>(entry, "?LPU")->isEnabled();
            formEnabled = child<QPushButton>(entry, "?NEWFORM")->isEnabled();
            child<QPushButton>(entry, "?DEL1")->click();
        });
        entries->setCurrentCell(1, 0);
        QTest::keyClick(entries, Qt::Key_Return);
        QVERIFY(fixture::shown(entryShown));
        QVERIFY(!lpuEnabled && !formEnabled);
        QCOMPARE(entries->rowCount(), count - 1);
        QCOMPARE(child<QLabel>(list, "?TOTAL")->text(), "Всего отчетов: " + QString::number(count - 1));
        for (int r = 0; r < entries->rowCount(); ++r) {
            QVERIFY(entries->item(r, 0)->text() != facility || entries->item(r, 4)->text() != period);
        }

        int pages = 0;
        auto previewShown = whenModal("Preview", [&](QWidget* preview) {
            pages = qobject_cast<ui::PreviewWindow*>(preview)->pageCount();
            preview->close();
        });
        child<QPushButton>(list, "?PRINT")->click();
        QVERIFY(fixture::shown(previewShown));
        QVERIFY(pages >= 1);

        child<QPushButton>(list, "?EXCEL")->click();
        QCOMPARE(script->messages().back(), std::string("Выгрузка в Excel завершена"));
        QCOMPARE(opener->opened().size(), size_t(1));
        platform::XlsxWorkbook book;
        QVERIFY(platform::XlsxWorkbook::load(opener->opened()[0], book).isOk());
        QCOMPARE(QString::fromStdString(book.value(9, 1).text), QString("Регион"));
        QCOMPARE(QString::number(book.value(10, 5).number), entries->item(0, 0)->text());
        QVERIFY(script->unexpected().empty());
        window->mdiArea()->closeAllSubWindows();
    }

    // Months 1 to 3 by districts, then by facilities; the daily switch; the
    // printout and the export.
    void completenessCountsPrintsAndExports() {
        QWidget* view = openFromToolbar("?BUTTON6");
        QVERIFY(view);
        QCOMPARE(view->objectName(), QString("Completeness"));
        platform::ScriptedInteraction* script = scripts.back();
        auto* opener = new platform::RecordingDesktopOpener;
        qobject_cast<ui::CompletenessView*>(view)->setDesktopOpener(std::unique_ptr<platform::DesktopOpener>(opener));
        QCOMPARE(child<QLineEdit>(view, "?GLOBYEAR")->text(), QString("2025"));
        QCOMPARE(child<QLineEdit>(view, "?MES1")->text(), QString("0"));
        QVERIFY(child<QAbstractButton>(view, "?OPTION1:1")->isChecked());
        auto* table = child<QTableWidget>(view, "?BROWSE:1");
        QCOMPARE(table->rowCount(), 0);

        child<QLineEdit>(view, "?MES1")->setText("1");
        child<QLineEdit>(view, "?MES2")->setText("3");
        child<QPushButton>(view, "?RUN")->click();
        QVERIFY(table->rowCount() > 28);
        QCOMPARE(table->item(0, 1)->text(), QString("Всего отчетов"));
        // Form 5 is half-yearly: months 1 to 3 fall in no half-year; the annual form 12 comes first.
        QCOMPARE(table->horizontalHeaderItem(2)->text(), QString("12"));
        QCOMPARE(child<QLabel>(view, "?ROWS")->text(), "Всего строк: " + QString::number(table->rowCount() - 1));
        const int districts = table->rowCount();

        child<QAbstractButton>(view, "?OPTION1:2")->click();
        child<QPushButton>(view, "?RUN")->click();
        QVERIFY(table->rowCount() > districts);

        child<QCheckBox>(view, "?DAILY")->setChecked(true);
        QCOMPARE(child<QLineEdit>(view, "?MES1")->text(), QString());
        child<QCheckBox>(view, "?DAILY")->setChecked(false);
        QCOMPARE(child<QLineEdit>(view, "?MES1")->text(), QString("0"));

        int pages = 0;
        auto previewShown = whenModal("Preview", [&](QWidget* preview) {
            pages = qobject_cast<ui::PreviewWindow*>(preview)->pageCount();
            preview->close();
        });
        child<QPushButton>(view, "?PRINT")->click();
        QVERIFY(fixture::shown(previewShown));
        QVERIFY(pages >= 2);

        child<QPushButton>(view, "?EXCEL")->click();
        QCOMPARE(script->messages().back(), std::string("Выгрузка в Excel завершена"));
        QCOMPARE(opener->opened().size(), size_t(1));
        platform::XlsxWorkbook book;
        QVERIFY(platform::XlsxWorkbook::load(opener->opened()[0], book).isOk());
        QCOMPARE(QString::fromStdString(book.value(9, 1).text), QString("ЛПУ"));
        QCOMPARE(QString::fromStdString(book.value(10, 1).text), QString("Всего отчетов"));
        QVERIFY(script->unexpected().empty());
        window->mdiArea()->closeAllSubWindows();
    }
};

QTEST_MAIN(RegistryWindowsTest)
#include "registry_windows_test.moc"
