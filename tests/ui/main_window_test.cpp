// The main window over a small installation: menus, toolbar, how commands
// run, the help window, the kept position, and a screenshot.
#include "../app/demo_installation.h"
#include "../entry/choosers_fixture.h"
#include "app/startup.h"
#include "platform/scripted_interaction.h"
#include "ui/app/help_window.h"
#include "ui/app/main_window.h"
#include "ui/app/translations.h"
#include "ui/platform/qt_text.h"
#include "window_test_support.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#ifndef TAVIR_CLI_PATH
#define TAVIR_CLI_PATH ""
#endif

using namespace tavir;

namespace {


// A map picture and a help file beside the region's registry.
void addPictures(const std::filesystem::path& dir) {
    QImage map(400, 300, QImage::Format_RGB32);
    map.fill(QColor(200, 220, 240));
    QPainter p(&map);
    p.setBrush(QColor(120, 180, 120));
    p.drawEllipse(QRect(60, 40, 280, 220));
    p.end();
    map.save(QString::fromStdString((dir / "karta.bmp").string()), "BMP");
    QImage topic(200, 120, QImage::Format_RGB32);
    topic.fill(QColor(250, 240, 200));
    topic.save(QString::fromStdString((dir / "vvod.bmp").string()), "BMP");
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    ui::InteractionFactory scriptedWindows() {
        return [this](QWidget*) {
            auto script = std::make_unique<platform::ScriptedInteraction>();
            lastScript = script.get();
            return script;
        };
    }
    QAction* menuItem(const QString& menu, const QString& item) { return fixture::menuItem(window->menuBar(), menu, item); }

    fixture::InstallationFixture fx;
    app::SharedState state;
    std::unique_ptr<app::MainWindowModel> model;
    std::unique_ptr<ui::MainWindow> window;
    platform::ScriptedInteraction* lastScript = nullptr;

private slots:
    void initTestCase() {
        fixture::buildRegion(fx);
        fx.yearDir(2013);
        data::User1 settings;
        settings.TIPUSER = 2;
        settings.CODREG = 5;
        settings.KODUSER = 312;
        settings.NAMEOBL = "Береговой Береговая ЦРБ";
        fx.settings({settings});
        data::NameProg program;
        program.PROGA = "Мониторинг здравоохранения Тарвинской области   ";
        program.MAIL = "stat@zdrav.tarvin.example";
        fx.program({program});
        addPictures(fx.dir());
        fx.text("help.TXT", {"vvod.bmp            Ввод отчетов", "karta.bmp           Карта области"});

        platform::ScriptedInteraction startupUi;
        app::StartupData data;
        QVERIFY(app::startUp(fx.installation(), state, startupUi, 2015, data).isOk());
        QVERIFY(startupUi.messages().empty());
        model = std::make_unique<app::MainWindowModel>(state, std::move(data));
        window = std::make_unique<ui::MainWindow>(fx.installation(), *model, scriptedWindows());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void captionFromTheProgramRecord() {
        QCOMPARE(window->windowTitle(), QString("Мониторинг здравоохранения Тарвинской области"));
    }

    void menusAndItems() {
        const QList<QPair<QString, QStringList>> expected = {
            {"Ввод отчетов", {"Ввод отчетов", "Список Отчетов", "Межформенные контроли"}},
            {"Контроли",
             {"Полнота Отчетов", "Внутриформенный контроль", "Список контролей", "Своды,показатели", "Печать бланков"}},
            {"&Обмен данными",
             {"Выгрузка отчетов ", "Загрузка отчетов", "Загрузка отчетов из DBF файлов (ПП счета ОМС)",
              "Загрузка отчетов из старого формата"}},
            {"&СЕРВИС",
             {"Настройки пользователя", "Восстановление ключей (индексация баз)",
              "Включение/Выключение форм отчетности", "Выбор принтера"}},
        };
        const QList<QAction*> menus = window->menuBar()->actions();
        QCOMPARE(menus.size(), expected.size());
        const QStringList built = {"Настройки пользователя", "Выбор принтера", "Межформенные контроли",
                                   "Внутриформенный контроль", "Список контролей", "Ввод отчетов",
                                   "Печать бланков", "Своды,показатели", "Список Отчетов", "Полнота Отчетов",
                                   "Выгрузка отчетов "};
        for (int m = 0; m < menus.size(); ++m) {
            QCOMPARE(menus[m]->text(), expected[m].first);
            QStringList items;
            for (QAction* a : menus[m]->menu()->actions()) {
                items << a->text();
                QCOMPARE(a->isEnabled(), built.contains(a->text()));
            }
            QCOMPARE(items, expected[m].second);
        }
    }

    void toolbarControlsAndTips() {
        auto* bar = window->findChild<QToolBar*>("?TOOLBAR");
        QVERIFY(bar);
        QStringList names, labels;
        for (QAction* a : bar->actions()) {
            QWidget* w = bar->widgetForAction(a);
            if (auto* label = qobject_cast<QLabel*>(w)) labels << label->text();
            else if (w) names << w->objectName();
        }
        QCOMPARE(names, (QStringList{"?GLOBYEAR", "?GLOBYEAR_S", "?GLOBYEAR_E", "?VERSIA", "?HELP1", "?BUTTON6",
                                     "?BUTTON5", "?NAM:MAIL", "?BUTTON8", "?BUTTON7", "?BUTTON4", "?BUTTON1",
                                     "?BUTTON3"}));
        QVERIFY(labels.indexOf("Год") == 0);
        QVERIFY(labels.indexOf("Период") == 1);
        QVERIFY(labels.indexOf("ПОЧТА") == 2);

        const QList<QPair<QString, QString>> tips = {
            {"?HELP1", "help"},
            {"?BUTTON6", "Сдано отчетов"},
            {"?BUTTON5", "Внутриформенные контроли"},
            {"?BUTTON8", "Загрузка отчетов"},
            {"?BUTTON7", "Выгрузка отчетов"},
            {"?BUTTON4", "Список отчетов, редактирование"},
            {"?BUTTON1", "Свод, разрезы,показатели."},
            {"?BUTTON3", "Ввод отчетов"},
        };
        for (const auto& [name, tip] : tips) {
            auto* button = bar->findChild<QToolButton*>(name);
            QVERIFY2(button, qPrintable(name));
            QCOMPARE(button->toolTip(), tip);
            QCOMPARE(button->isEnabled(), name == "?HELP1" || name == "?BUTTON5" || name == "?BUTTON3" ||
                                              name == "?BUTTON1" || name == "?BUTTON4" || name == "?BUTTON6" ||
                                              name == "?BUTTON7");
            // A disabled button looks it: its picture is faint.
            if (!button->isEnabled()) {
                auto ink = [&](QIcon::Mode mode) {
                    const QImage image = button->icon().pixmap(bar->iconSize(), mode).toImage();
                    double alpha = 0;
                    for (int y = 0; y < image.height(); ++y) {
                        for (int x = 0; x < image.width(); ++x) alpha += qAlpha(image.pixel(x, y));
                    }
                    return alpha;
                };
                QVERIFY2(ink(QIcon::Disabled) < ink(QIcon::Normal) * 0.5, qPrintable(name));
            }
        }
        QCOMPARE(bar->findChild<QLineEdit*>("?GLOBYEAR")->text(), QString("2014"));
        QVERIFY(bar->findChild<QLineEdit*>("?GLOBYEAR")->font().bold());
        QCOMPARE(bar->findChild<QLineEdit*>("?GLOBYEAR_S")->text(), QString("2013"));
        QCOMPARE(bar->findChild<QLineEdit*>("?GLOBYEAR_E")->text(), QString("2014"));
        QCOMPARE(bar->findChild<QLineEdit*>("?VERSIA")->text(), QString("Версия ПП 2.1.4 от 24.01.12"));
        QCOMPARE(bar->findChild<QLineEdit*>("?NAM:MAIL")->text(), QString("stat@zdrav.tarvin.example"));
    }

    // The year entry, once accepted, is the working year, even outside the range.
    void yearEntryTakesTheYearAtOnce() {
        auto* entry = window->findChild<QLineEdit*>("?GLOBYEAR");
        entry->setFocus();
        entry->selectAll();
        QTest::keyClicks(entry, "2016");
        QCOMPARE(state.globYear.load(), 2014);
        QTest::keyClick(entry, Qt::Key_Return);
        QCOMPARE(state.globYear.load(), 2016);
        // A procedure's year check moves the working year; the toolbar follows.
        state.globYear = 2014;
        QTRY_COMPARE(entry->text(), QString("2014"));
    }

    // A command on the main window's thread holds the main window until its
    // window closes; the help button likewise.
    void blockingCommandsBlock() {
        struct Blocking {
            QString title;
            std::function<void()> start;
            QString closeButton;
        };
        const QList<Blocking> commands = {
            {"Реквизиты для выгрузки загрузки файлов",
             [this] { menuItem("&СЕРВИС", "Настройки пользователя")->trigger(); }, "?CLOSE"},
            {"Справка", [this] { window->findChild<QToolButton*>("?HELP1")->click(); }, ""},
            {"Полнота отчета ", [this] { menuItem("Контроли", "Полнота Отчетов")->trigger(); }, ""},
        };
        for (const auto& command : commands) {
            bool returned = false;
            QString seen;
            bool blocked = false;
            QTimer::singleShot(0, this, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal) return;
                seen = modal->windowTitle();
                blocked = !returned && modal->windowModality() == Qt::ApplicationModal;
                if (command.closeButton.isEmpty()) {
                    modal->close();
                } else {
                    modal->findChild<QPushButton*>(command.closeButton)->click();
                }
            });
            command.start();
            returned = true;
            QCOMPARE(seen, command.title);
            QVERIFY(blocked);
            QCOMPARE(window->mdiArea()->subWindowList().size(), 0);
        }
    }

    // Windows of their own join the frame and leave the main window usable.
    void ownWindowsDoNotBlock() {
        window->open(new QLabel("первое"), app::Launch::NewThread);
        window->open(new QLabel("второе"), app::Launch::NewThread);
        QCOMPARE(window->mdiArea()->subWindowList().size(), 2);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(window->isEnabled());
        window->mdiArea()->closeAllSubWindows();
        QTRY_COMPARE(window->mdiArea()->subWindowList().size(), 0);

        // A window of the frame opens where the user left one of its kind,
        // and never beyond the frame's area.
        auto reopened = [this](const QRect& left) -> QMdiSubWindow* {
            auto* probe = new QLabel("место");
            probe->setObjectName("Probe");
            window->open(probe, app::Launch::NewThread);
            QMdiSubWindow* sub = window->mdiArea()->subWindowList().value(0);
            if (!sub || left.isNull()) return sub;
            sub->setGeometry(left);
            sub->close();
            return QTest::qWaitFor([this] { return window->mdiArea()->subWindowList().isEmpty(); }) ? sub : nullptr;
        };
        QVERIFY(reopened(QRect(30, 40, 260, 120)));
        QMdiSubWindow* sub = reopened({});
        QVERIFY(sub);
        QCOMPARE(sub->geometry(), QRect(30, 40, 260, 120));
        sub->setGeometry(5000, 40, 260, 120);
        sub->close();
        QTRY_COMPARE(window->mdiArea()->subWindowList().size(), 0);
        sub = reopened({});
        QVERIFY(sub);
        QVERIFY(window->mdiArea()->viewport()->rect().contains(sub->geometry()));
        sub->close();
        QTRY_COMPARE(window->mdiArea()->subWindowList().size(), 0);
    }

    void helpWindowTopics() {
        ui::HelpWindow help(fx.installation(), scriptedWindows(), 2, false, "поддержка");
        auto* list = help.findChild<QListWidget*>("?LIST");
        auto* picture = help.findChild<QLabel*>("?IMAGE");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->item(0)->text(), QString("Ввод отчетов"));
        QCOMPARE(list->currentRow(), 1);
        QVERIFY(!picture->pixmap().isNull());
        help.show();
        QVERIFY(QTest::qWaitForWindowExposed(&help));
        // A click below the last line chooses no topic.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, QPoint(10, list->viewport()->height() - 5));
        QCOMPARE(picture->text(), QString("Раздел не выбран"));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QVERIFY(!picture->pixmap().isNull());
        QTest::keyClick(list, Qt::Key_Escape);
        QVERIFY(!help.isVisible());
    }

    // Qt's own dialogs speak Russian: their standard buttons say so.
    void qtDialogsInRussian() {
        QVERIFY(ui::loadQtTranslations());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Отмена"));
    }

    void positionKeptInIni() {
        ui::MainWindow first(fx.installation(), *model, scriptedWindows());
        first.show();
        first.resize(700, 500);
        first.close();
        QVERIFY(QFile::exists(QString::fromStdString((fx.dir() / "tavir.INI").string())));
        ui::MainWindow second(fx.installation(), *model, scriptedWindows());
        QCOMPARE(second.size(), QSize(700, 500));
    }

    // From the demo installation when tavir-cli can write it, else from the test's own.
    void screenshot() {
        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dir));
        auto demo = fixture::demoInstallation(TAVIR_BUILD_DIR, TAVIR_CLI_PATH);
        if (!demo) {
            qInfo("tavir-cli demo is not available yet: the screenshot shows the test's own installation");
            window->resize(1280, 720);
            QApplication::processEvents();
            QVERIFY(window->grab().save(dir + "/main_window.png"));
            return;
        }
        const data::Installation installation(*demo);
        app::SharedState demoState;
        platform::ScriptedInteraction quiet;
        app::StartupData data;
        QVERIFY(app::startUp(installation, demoState, quiet, app::currentCalendarYear(), data).isOk());
        app::MainWindowModel demoModel(demoState, std::move(data));
        ui::MainWindow demoWindow(installation, demoModel, scriptedWindows());
        demoWindow.resize(1280, 720);
        demoWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&demoWindow));
        QVERIFY(demoWindow.grab().save(dir + "/main_window.png"));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
