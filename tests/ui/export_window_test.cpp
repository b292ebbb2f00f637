// The windows of report export on the demo installation (the whole region):
// the path and period window, the form window, a run and its file.
#include "../app/demo_installation.h"
#include "app/startup.h"
#include "data/dictionary.h"
#include "data/record_binding.h"
#include "platform/scripted_interaction.h"
#include "ui/app/main_window.h"
#include "ui/exchange/report_export_window.h"
#include "window_test_support.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#ifndef TAVIR_CLI_PATH
#define TAVIR_CLI_PATH ""
#endif

using namespace tavir;
using fixture::child;

class ExportWindowTest : public QObject {
    Q_OBJECT

private:
    static constexpr int kYear = 2026;
    std::filesystem::path demo;
    app::SharedState state;
    platform::ScriptedInteraction* script = nullptr;

    QPointer<ui::ReportExportWindow> openWindow() {
        auto* w = new ui::ReportExportWindow(data::Installation(demo), state, [this](QWidget*) {
            auto s = std::make_unique<platform::ScriptedInteraction>();
            s->answerAsk(1);  // "ДА" should the controls find errors
            script = s.get();
            return s;
        });
        w->setAttribute(Qt::WA_DeleteOnClose);
        if (!w->open()) {
            delete w;
            return nullptr;
        }
        w->show();
        return w;
    }

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
    }

    void exportsAMonthOfOneForm() {
        auto w = openWindow();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("Выгрузка отчетов "));
        auto* path = child<QComboBox>(w, "?PATH");
        QCOMPARE(path->itemText(0), QString("\\export\\"));
        QCOMPARE(path->itemText(path->count() - 1), QString("C:\\1\\"));
        QCOMPARE(path->currentText(), QString("\\export\\"));

        // No period chosen: told, and the window stays as it is.
        child<QPushButton>(w, "?CONTINUE")->click();
        QCOMPARE(script->messages().back(), std::string("Укажите период за который выгружается отчет."));
        QCOMPARE(w->windowTitle(), QString("Выгрузка отчетов "));

        QTemporaryDir target;
        path->setEditText(target.path());
        child<QAbstractButton>(w, "?MONTH:11")->click();
        child<QPushButton>(w, "?CONTINUE")->click();
        QCOMPARE(w->windowTitle(), QString("Выгрузка отчетов на дискету"));
        QCOMPARE(child<QLabel>(w, "?EXCHANGEPATH")->text(), target.path() + "\\");
        QCOMPARE(child<QLabel>(w, "?FACILITY")->text(), QString("Все ЛПУ"));
        auto* forms = child<QTableWidget>(w, "?FORMS");
        QVERIFY(forms->rowCount() > 0);
        for (int r = 0; r < forms->rowCount(); ++r) QCOMPARE(forms->item(r, 4)->text(), QString("месяц"));

        child<QCheckBox>(w, "?MARKALL")->setChecked(true);
        QCOMPARE(fixture::listColumn(forms, 1).count("V"), forms->rowCount());
        child<QCheckBox>(w, "?MARKALL")->setChecked(false);
        QCOMPARE(fixture::listColumn(forms, 1).count("V"), 0);

        // Nothing marked.
        child<QPushButton>(w, "?EXPORT")->click();
        QCOMPARE(script->messages().back(), std::string("Вы забыли отметить формы для выгрузки"));

        QTest::mouseClick(forms->viewport(), Qt::LeftButton, {}, forms->visualItemRect(forms->item(0, 0)).center());
        QCOMPARE(forms->item(0, 1)->text(), QString("V"));
        const QString form = forms->item(0, 0)->text();
        auto resultsShown = fixture::whenModal("RunResults", [](QWidget* results) { results->close(); });
        child<QPushButton>(w, "?EXPORT")->click();
        auto* results = child<QTableWidget>(w, "?RESULTS");
        QCOMPARE(results->rowCount(), 1);
        QCOMPARE(results->item(0, 0)->text(), form);
        QCOMPARE(results->item(0, 2)->text(), QString("Ноябрь"));
        const int count = results->item(0, 3)->text().toInt();
        QVERIFY(count > 0);
        QCOMPARE(child<QLabel>(w, "?TOTAL")->text(), QString::number(count));
        const QString name = "vm11F" + form + ".dat";
        QVERIFY(QFile::exists(target.path() + "/" + name));
        QVERIFY(child<QLabel>(w, "?TEXT")->text().startsWith("Файл  " + target.path() + "/" + name + "  отправить на   "));
        QCOMPARE(script->messages().back(), std::string("ГОТОВО "));

        std::vector<data::Ot2> records;
        QVERIFY(data::readAll(std::filesystem::path(target.path().toStdString()) / name.toStdString(), records,
                              data::label::ot2)
                    .isOk());
        QCOMPARE(static_cast<int>(records.size()), count);
        for (const auto& r : records) QCOMPARE(r.MES, 11);

        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(w->grab().save(dir + "/report_export.png"));
        w->close();
        QTRY_VERIFY(!w);
    }

    void enabledInTheMainWindow() {
        app::StartupData data;
        platform::ScriptedInteraction startupUi;
        QVERIFY(app::startUp(data::Installation(demo), state, startupUi, kYear, data).isOk());
        app::MainWindowModel model(state, std::move(data));
        ui::MainWindow window(data::Installation(demo), model,
                              [](QWidget*) { return std::make_unique<platform::ScriptedInteraction>(); });
        QVERIFY(child<QToolButton>(&window, "?BUTTON7")->isEnabled());
        QVERIFY(!child<QToolButton>(&window, "?BUTTON8")->isEnabled());
        auto shown = fixture::whenModal("ReportExport", [](QWidget* w) { w->close(); });
        child<QToolButton>(&window, "?BUTTON7")->click();
        QVERIFY(fixture::shown(shown));
    }
};

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
