// The settings window over its model: the type switches, "Выбор ЛПУ",
// saving and closing, and a screenshot.
#include "../entry/choosers_fixture.h"
#include "platform/scripted_interaction.h"
#include "ui/exchange/user_settings_window.h"
#include "window_test_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

using namespace tavir;
using fixture::child;

class SettingsWindowTest : public QObject {
    Q_OBJECT

private:
    // A settings window whose prompts the test scripts through `script`.
    QPointer<ui::UserSettingsWindow> openWindow() {
        auto* window = new ui::UserSettingsWindow(fx.installation(), state, [this](QWidget*) {
            auto s = std::make_unique<platform::ScriptedInteraction>();
            script = s.get();
            return s;
        });
        window->setAttribute(Qt::WA_DeleteOnClose);
        if (!window->open()) {
            delete window;
            return nullptr;
        }
        window->show();
        return window;
    }

    fixture::InstallationFixture fx;
    app::SharedState state;
    platform::ScriptedInteraction* script = nullptr;

private slots:
    void initTestCase() {
        fixture::buildRegion(fx);
        state.globYear = 2014;
        data::User1 u;
        u.TIPUSER = 2;
        u.CODREG = 5;
        u.KODUSER = 312;
        u.NAMEOBL = "Береговой Береговая ЦРБ";
        u.S1 = "D:\\1\\";
        fx.settings({u});
    }

    void showsTheStoredFacility() {
        auto w = openWindow();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QString("Реквизиты для выгрузки загрузки файлов"));
        QVERIFY(child<QAbstractButton>(w, "?USE:TIPUSER:2")->isChecked());
        QCOMPARE(child<QLineEdit>(w, "?REG:NAME")->text(), QString("Береговой"));
        QCOMPARE(child<QLineEdit>(w, "?BOL:NAZV")->text(), QString("Береговая ЦРБ"));
        QCOMPARE(child<QLineEdit>(w, "?USE:KODUSER")->text(), QString("312"));
        QCOMPARE(child<QLineEdit>(w, "?USE:S1")->text(), QString("D:\\1\\"));
        QVERIFY(w->findChild<QLabel*>("?HINT")->text().startsWith("Здесь необходимо ввести пути (полные)"));

        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(w->grab().save(dir + "/settings_window.png"));
        child<QPushButton>(w, "?CLOSE")->click();
        QTRY_VERIFY(!w);
        QCOMPARE(state.subject(), app::Subject{});  // "Закрыть" reloads nothing
    }

    void typeSwitches() {
        auto w = openWindow();
        QVERIFY(w);
        auto* choose = child<QPushButton>(w, "?CHOOSE");
        QVERIFY(choose->isVisible());
        child<QAbstractButton>(w, "?USE:TIPUSER:0")->click();
        QVERIFY(!choose->isVisible());
        QCOMPARE(child<QLineEdit>(w, "?USE:KODUSER")->text(), QString("0"));
        QCOMPARE(child<QLineEdit>(w, "?USE:NAMEOBL")->text(), QString());
        QCOMPARE(child<QLineEdit>(w, "?REG:NAME")->text(), QString());

        child<QAbstractButton>(w, "?USE:TIPUSER:1")->click();
        QVERIFY(choose->isVisible());
        script->answerPick(1);  // district 7
        QTest::mouseClick(choose, Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(w, "?USE:KODUSER")->text(), QString("7"));
        QCOMPARE(child<QLineEdit>(w, "?USE:NAMEOBL")->text(), QString("Озерный"));
        QCOMPARE(child<QLineEdit>(w, "?REG:NAME")->text(), QString("Озерный"));

        // Closed by its frame: the copies take the window's values unsaved.
        w->close();
        QTRY_VERIFY(!w);
        QCOMPARE(state.subject(), (app::Subject{1, 7, 7, "Озерный"}));
    }

    void saveWritesAndCloses() {
        auto w = openWindow();
        QVERIFY(w);
        child<QAbstractButton>(w, "?USE:TIPUSER:2")->click();
        script->answerPick(0);  // district 5
        script->answerPick(2);  // ФАП Луговое
        QTest::mouseClick(child<QPushButton>(w, "?CHOOSE"), Qt::LeftButton);
        auto* folder = child<QLineEdit>(w, "?USE:S2");
        folder->setFocus();
        QTest::keyClicks(folder, "E:\\obmen\\");
        platform::ScriptedInteraction* used = script;
        QTest::mouseClick(child<QPushButton>(w, "?SAVE"), Qt::LeftButton);
        QCOMPARE(used->messages(), std::vector<std::string>{"Записано"});
        QVERIFY(used->unexpected().empty());
        QTRY_VERIFY(!w);
        QCOMPARE(state.subject(), (app::Subject{2, 5, 314, "Береговой ФАП Луговое"}));
        data::User1 stored;
        QVERIFY(exchange::readSettings(fx.installation(), stored).isOk());
        QCOMPARE(stored.KODUSER, 314);
        QCOMPARE(QString::fromStdString(stored.S2), QString("E:\\obmen\\"));
    }
};

QTEST_MAIN(SettingsWindowTest)
#include "settings_window_test.moc"
