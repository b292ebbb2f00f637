#include "ui/platform/pick_window.h"
#include "ui/platform/qt_interaction.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <functional>

using namespace tavir;

namespace {

QStringList failures;

// Acts on the modal window named `name` as soon as it is open; modal windows
// block in exec(), so the test's part runs from their event loop. A check
// that fails there closes the window, so the test ends instead of hanging.
void whenOpen(const QString& name, std::function<void(QWidget*)> act, int tries = 300) {
    QTimer::singleShot(10, [=] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible() && modal->objectName() == name) {
            act(modal);
            if (QTest::currentTestFailed() && modal && modal->isVisible()) modal->close();
        } else if (tries > 0) {
            whenOpen(name, act, tries - 1);
        } else {
            failures << "window " + name + " did not open";
        }
    });
}

platform::PickRequest formsRequest() {
    platform::PickRequest request;
    request.caption = "ФОРМЫ";
    request.columns = {{"id", 4, platform::Align::Right, true}, {"код", 6}, {"наименование", 30}};
    request.lines = {{"1", "12", "Сведения о лечебно-профилактическом учреждении"},
                     {"7", "14", "Деятельность стационара"},
                     {"30", "30", "Сведения о медицинском учреждении"}};
    request.status = "Enter-выбор из списка";
    request.startLine = 1;
    request.name = "Forms";
    return request;
}

QTreeWidget* listOf(QWidget* window) { return window->findChild<QTreeWidget*>("?BROWSE:1"); }

}  // namespace

class QtInteractionTest : public QObject {
    Q_OBJECT
private slots:
    void init() { failures.clear(); }
    void cleanup() { QVERIFY2(failures.isEmpty(), qPrintable(failures.join("; "))); }

    void pickShowsTheRequestAndTakesALineWithEnter();
    void pickTakesALineWithADoubleClick();
    void pickTakesNoneWithEscAndGivesTheExtraButton();
    void pickKeepsItsPositionInTheIniFile();
    void askGivesTheButtonNumberAndZeroWhenClosed();
    void messageBreaksLinesAtBars();
    void periodWindowRefusesQuarterSixAndTakesThree();
    void periodWindowClosedGivesZero();
    void enterTextGivesTheTextOrNone();
    void progressCanBeCancelled();

private:
    ui::WindowPositions positions() const { return ui::WindowPositions(dir_.filePath("tavir.INI").toStdString()); }
    QTemporaryDir dir_;
};

void QtInteractionTest::pickShowsTheRequestAndTakesALineWithEnter() {
    ui::QtInteraction port(nullptr, positions());
    whenOpen("Forms", [](QWidget* window) {
        QCOMPARE(window->windowTitle(), QString("ФОРМЫ"));
        QTreeWidget* list = listOf(window);
        QVERIFY(list);
        QCOMPARE(list->headerItem()->text(2), QString("наименование"));
        QCOMPARE(list->topLevelItem(2)->text(2), QString("Сведения о медицинском учреждении"));
        QCOMPARE(list->topLevelItem(0)->textAlignment(0) & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
        // Widths in characters: the name column is several times the id column.
        QVERIFY(list->columnWidth(2) > 4 * list->columnWidth(0));
        QCOMPARE(window->findChild<QLabel*>("?STATUS")->text(), QString("Enter-выбор из списка"));
        QCOMPARE(list->indexOfTopLevelItem(list->currentItem()), 1);
        QTest::keyClick(list, Qt::Key_Down);
        QTest::keyClick(list, Qt::Key_Return);
    });
    QCOMPARE(port.pick(formsRequest()), std::optional<int>(2));
}

void QtInteractionTest::pickTakesALineWithADoubleClick() {
    ui::QtInteraction port(nullptr, positions());
    whenOpen("Forms", [](QWidget* window) {
        QTreeWidget* list = listOf(window);
        const QPoint point = list->visualItemRect(list->topLevelItem(0)).center();
        // A single click only moves the selection.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, point);
        QVERIFY(window->isVisible());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
    });
    QCOMPARE(port.pick(formsRequest()), std::optional<int>(0));
}

void QtInteractionTest::pickTakesNoneWithEscAndGivesTheExtraButton() {
    ui::QtInteraction port(nullptr, positions());
    whenOpen("Forms", [](QWidget* window) { QTest::keyClick(listOf(window), Qt::Key_Escape); });
    QCOMPARE(port.pick(formsRequest()), std::optional<int>());

    platform::PickRequest request = formsRequest();
    request.heading = "Тарвинский район";
    request.extraButton = "Ввод по району";
    whenOpen("Forms", [](QWidget* window) {
        QCOMPARE(window->findChild<QLabel*>("?HEADING")->text(), QString("Тарвинский район"));
        auto* extra = window->findChild<QPushButton*>("?EXTRA");
        QVERIFY(extra);
        QCOMPARE(extra->text(), QString("Ввод по району"));
        extra->click();
    });
    QCOMPARE(port.pick(request), std::optional<int>(platform::kPickExtraButton));
}

void QtInteractionTest::pickKeepsItsPositionInTheIniFile() {
    ui::QtInteraction port(nullptr, positions());
    const QRect placed(40, 50, 420, 310);
    whenOpen("Forms", [placed](QWidget* window) {
        window->setGeometry(placed);
        QTest::keyClick(listOf(window), Qt::Key_Escape);
    });
    port.pick(formsRequest());
    QSettings ini(dir_.filePath("tavir.INI"), QSettings::IniFormat);
    QCOMPARE(ini.value("Forms/Width").toInt(), 420);
    QCOMPARE(ini.value("Forms/Y").toInt(), 50);

    QRect reopened;
    whenOpen("Forms", [&reopened](QWidget* window) {
        reopened = window->geometry();
        QTest::keyClick(listOf(window), Qt::Key_Escape);
    });
    port.pick(formsRequest());
    QCOMPARE(reopened, placed);

    // Without a path the file is tavir.INI of the working directory, in
    // whatever letter case the installation has it.
    QTemporaryDir workdir;
    QFile(workdir.filePath("TAVIR.ini")).open(QIODevice::WriteOnly);
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workdir.path());
    const QString file = ui::WindowPositions().file();
    QDir::setCurrent(previous);
    QCOMPARE(QFileInfo(file).fileName(), QString("TAVIR.ini"));
}

void QtInteractionTest::askGivesTheButtonNumberAndZeroWhenClosed() {
    ui::QtInteraction port(nullptr, positions());
    whenOpen("Ask", [](QWidget* box) {
        QCOMPARE(box->findChild<QLabel*>("?TEXT")->text(), QString("Сохранить отчет ?\nданные изменены"));
        QCOMPARE(box->findChild<QPushButton*>("?BUTTON1")->text(), QString("&Да"));
        box->findChild<QPushButton*>("?BUTTON2")->click();
    });
    QCOMPARE(port.ask("Сохранить отчет ?|данные изменены", "&Да|&Нет"), 2);

    whenOpen("Ask", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(port.ask("Сохранить отчет ?", "&Да|&Нет"), 0);

    whenOpen("Ask", [](QWidget* box) { box->close(); });
    QCOMPARE(port.ask("Удалить ?", "&Выход"), 0);

    // Enter presses the first button; an access letter alone presses its own.
    whenOpen("Ask", [](QWidget* box) { QTest::keyClick(box, Qt::Key_Return); });
    QCOMPARE(port.ask("Сохранить отчет ?", "&Да|&Нет"), 1);
    whenOpen("Ask", [](QWidget* box) {  // QTest types Latin letters only
        QKeyEvent press(QEvent::KeyPress, 0x041D, Qt::NoModifier, "н");
        QApplication::sendEvent(box, &press);
    });
    QCOMPARE(port.ask("Сохранить отчет ?", "&Да|&Нет|&Отмена"), 2);
}

void QtInteractionTest::messageBreaksLinesAtBars() {
    QApplication::setApplicationDisplayName("Мониторинг");
    ui::QtInteraction port(nullptr, positions());
    QString shown;
    whenOpen("Message", [&shown](QWidget* box) {
        shown = static_cast<QMessageBox*>(box)->text();
        QCOMPARE(static_cast<QMessageBox*>(box)->textFormat(), Qt::PlainText);
        QCOMPARE(box->windowTitle(), QString("Мониторинг"));
        QTest::keyClick(box, Qt::Key_Return);
    });
    port.message("Проверте путь-последний знак \\|<b>Записано</b>");
    QCOMPARE(shown, QString("Проверте путь-последний знак \\\n<b>Записано</b>"));
}

void QtInteractionTest::periodWindowRefusesQuarterSixAndTakesThree() {
    ui::QtInteraction port(nullptr, positions());
    QStringList errors;
    whenOpen("Period", [&errors](QWidget* window) {
        QCOMPARE(window->findChild<QLabel*>("?WORD")->text(), QString("квартал"));
        // The window names the form it asks for.
        QCOMPARE(window->findChild<QLabel*>("?FORM")->text(), QString("Ф5 Сведения о прививках"));
        auto* entry = window->findChild<QLineEdit*>("?MES");
        auto* proceed = window->findChild<QPushButton*>("?CONTINUE");
        QCOMPARE(proceed->text(), QString("Продолжить"));
        entry->clear();
        QTest::keyClicks(entry, "6");
        whenOpen("Message", [&errors](QWidget* box) {
            errors << static_cast<QMessageBox*>(box)->text();
            QTest::keyClick(box, Qt::Key_Return);
        });
        proceed->click();  // returns once the message box is closed
        QCOMPARE(errors, QStringList{"Ошибка\nДопустимо число от 1 до 5"});
        QVERIFY(window->isVisible());
        entry->clear();
        QTest::keyClicks(entry, "3");
        QTest::keyClick(entry, Qt::Key_Return);
    });
    QCOMPARE(port.period({2, 0, "Ф5 Сведения о прививках"}), int64_t{3});
    QCOMPARE(errors.size(), 1);
}

void QtInteractionTest::periodWindowClosedGivesZero() {
    ui::QtInteraction port(nullptr, positions());
    whenOpen("Period", [](QWidget* window) {
        QCOMPARE(window->findChild<QLineEdit*>("?MES")->text(), QString("5"));
        window->close();
    });
    QCOMPARE(port.period({1, 5}), int64_t{0});
    // Annual forms are never asked.
    QCOMPARE(port.period({0, 0}), int64_t{0});
}

void QtInteractionTest::enterTextGivesTheTextOrNone() {
    ui::QtInteraction port(nullptr, positions());
    whenOpen("EnterText", [](QWidget* dialog) {
        QCOMPARE(dialog->windowTitle(), QString("Разрез"));
        auto* entry = dialog->findChild<QLineEdit*>();
        QCOMPARE(entry->text(), QString("старое"));
        entry->selectAll();
        entry->insert("Койки 2014");  // QTest types Latin letters only
        QTest::keyClick(entry, Qt::Key_Return);
    });
    QCOMPARE(port.enterText("Разрез", "Имя:", "старое"), std::optional<std::string>("Койки 2014"));
    whenOpen("EnterText", [](QWidget* dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    QCOMPARE(port.enterText("Разрез", "Имя:", ""), std::optional<std::string>());
}

void QtInteractionTest::progressCanBeCancelled() {
    QWidget owner;
    ui::QtInteraction port(&owner, positions());
    auto progress = port.progress("Свод");
    auto* dialog = owner.findChild<QProgressDialog*>("Progress");
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QString("Свод"));
    progress->update(10, int64_t{1} << 40, "Район 5");  // beyond int: scaled, not wrapped
    QTest::qWait(60);
    progress->update(int64_t{1} << 39, int64_t{1} << 40, "Район 6");
    QVERIFY(dialog->value() >= 0 && dialog->value() <= dialog->maximum());
    QVERIFY(!progress->cancelled());
    dialog->findChild<QPushButton*>()->click();
    QVERIFY(progress->cancelled());
    progress.reset();
    QVERIFY(!owner.findChild<QProgressDialog*>("Progress"));
}

QTEST_MAIN(QtInteractionTest)
#include "qt_interaction_test.moc"
