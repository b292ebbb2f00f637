// The row window driven by keys: colours and locking from the calculation
// rules, Tab skipping a locked column, storing with the entry check when the
// last column is left, row codes left by any key or a click, values that
// replace what the field held, refused input, F4 and Esc.
#include "../entry/entry_fixture.h"
#include "window_test_support.h"
#include "platform/scripted_interaction.h"
#include "ui/entry/report_window.h"
#include "ui/entry/row_window.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>
#include <QTest>

using namespace tavir;
using fixture::child;
using Strings = std::vector<std::string>;

class RowWindowTest : public QObject {
    Q_OBJECT

private:
    QPointer<ui::ReportWindow> openWindow(entry::ChosenReport report) {
        return fixture::openReportWindow(fx->installation(), state, std::move(report), script);
    }
    // Opens the row window at a grid row by Enter on the grid.
    static ui::RowWindow* rowWindowAt(ui::ReportWindow* w, int row) {
        auto* grid = child<QTableView>(w, "?BROWSE:1");
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(row, 0));
        QTest::keyClick(grid, Qt::Key_Return);
        if (!QTest::qWaitFor([w] { return w->rowWindow() != nullptr; })) return nullptr;
        return QTest::qWaitForWindowExposed(w->rowWindow()) ? w->rowWindow() : nullptr;
    }
    static bool focusIs(const char* name) {
        return QTest::qWaitFor([name] {
            QWidget* f = QApplication::focusWidget();
            return f && f->objectName() == name;
        });
    }
    static QColor base(QLineEdit* edit) { return edit->palette().color(QPalette::Base); }
    // Esc closes the row window, then the entry window closes without saving.
    void closeWithoutSaving(QPointer<ui::ReportWindow>& w, ui::RowWindow* rows) {
        QTest::keyClick(rows, Qt::Key_Escape);
        QTRY_VERIFY(!w->rowWindow());
        script->answerAsk(2);
        w->close();
        QTRY_VERIFY(!w);
    }

    std::unique_ptr<fixture::EntryInstallation> fx;
    app::SharedState state;
    platform::ScriptedInteraction* script = nullptr;

private slots:
    void init() { fx = std::make_unique<fixture::EntryInstallation>(); }
    void cleanup() { fx.reset(); }

    // Form 40: value 3 is a column total, value 2 is locked in row 1, row 3
    // is a row total, and column 5 must equal column 3 + column 4.
    void lockedColumnIsSkippedAndTheLastColumnStores() {
        fx->store(40, {{0, 1, 1, {1, 2, 3}}});
        auto w = openWindow(fx->report(40));
        QVERIFY(w);
        ui::RowWindow* rows = rowWindowAt(w, 0);
        QVERIFY(rows);
        QVERIFY(focusIs("?QT:CODSTR"));
        auto* first = child<QLineEdit>(rows, "?QT:DATA1");
        auto* locked = child<QLineEdit>(rows, "?QT:DATA2");
        auto* total = child<QLineEdit>(rows, "?QT:DATA3");
        QCOMPARE(base(first), QColor(Qt::white));
        QCOMPARE(base(locked), QColor(192, 192, 192));
        QCOMPARE(base(total), QColor(204, 255, 153));
        QVERIFY(child<QLineEdit>(rows, "?QT:DATA4")->isHidden());
        QCOMPARE(child<QLabel>(rows, "?GRN_1")->text(), QString("3"));
        QCOMPARE(child<QLabel>(rows, "?GRN_3")->text(), QString("5"));
        QCOMPARE(child<QLabel>(rows, "?GR_2")->text(), QString("Графа 4"));
        const QString dir = QString(TAVIR_BUILD_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dir));
        QVERIFY(rows->grab().save(dir + "/row_window.png"));

        // Enter in the row code acts as Tab.
        QTest::keyClick(child<QLineEdit>(rows, "?QT:CODSTR"), Qt::Key_Return);
        QVERIFY(focusIs("?QT:DATA1"));
        first->selectAll();
        QTest::keyClicks(first, "4");
        // Tab jumps over the locked value 2 to the last column, which takes a
        // value; leaving it stores the row: the entry check finds 7 <> 4 + 2.
        QTest::keyClick(first, Qt::Key_Tab);
        QTest::qWait(50);  // arriving stores nothing, however long the user takes
        QVERIFY(focusIs("?QT:DATA3"));
        QVERIFY(script->messages().empty());
        QTest::keyClicks(total, "7");
        QTest::keyClick(total, Qt::Key_Return);
        QVERIFY(focusIs("?QT:CODSTR"));
        QCOMPARE(w->editor().grid()[0].DATA[0], platform::Decimal::fromDouble(4));
        QCOMPARE(w->editor().grid()[0].DATA[2], platform::Decimal::fromDouble(7));
        QCOMPARE(w->editor().grid()[0].ERROR, std::string("?"));
        QCOMPARE(script->messages().size(), size_t(1));
        QVERIFY(QString::fromStdString(script->messages()[0]).startsWith("Не выполнено условие|"));
        QVERIFY(child<QLabel>(rows, "?MARK_3")->text().startsWith("?="));
        QCOMPARE(child<QLabel>(rows, "?MARK_1")->text(), QString("?"));

        // The row total: every entry green, nothing locked.
        auto* code = child<QLineEdit>(rows, "?QT:CODSTR");
        code->selectAll();
        QTest::keyClicks(code, "3");
        QTest::keyClick(code, Qt::Key_Return);
        QCOMPARE(child<QLineEdit>(rows, "?QTSS")->text(), QString("Всего"));
        for (const char* name : {"?QT:DATA1", "?QT:DATA2", "?QT:DATA3"}) {
            QCOMPARE(base(child<QLineEdit>(rows, name)), QColor(204, 255, 153));
        }
        QCOMPARE(locked->focusPolicy(), Qt::StrongFocus);

        QTest::keyClick(rows, Qt::Key_Escape);
        QTRY_VERIFY(!w->rowWindow());
        QVERIFY(w->editor().changed());
        script->answerAsk(2);
        w->close();
        QTRY_VERIFY(!w);
    }

    // Every way into a value field selects it, so "80" typed over 0.00 is 80:
    // Enter and Down forward, Up back.
    void arrivingSelectsTheValue() {
        auto w = openWindow(fx->report(12, 3));
        QVERIFY(w);
        ui::RowWindow* rows = rowWindowAt(w, 0);
        QVERIFY(rows);
        auto* first = child<QLineEdit>(rows, "?QT:DATA1");
        auto* second = child<QLineEdit>(rows, "?QT:DATA2");
        QTest::keyClick(child<QLineEdit>(rows, "?QT:CODSTR"), Qt::Key_Return);
        QVERIFY(focusIs("?QT:DATA1"));
        QTest::keyClicks(first, "5");
        QTest::keyClick(first, Qt::Key_Down);
        QVERIFY(focusIs("?QT:DATA2"));
        QTest::keyClicks(second, "6");
        QTest::keyClick(second, Qt::Key_Up);
        QVERIFY(focusIs("?QT:DATA1"));
        QCOMPARE(first->selectedText(), QString("5.00"));
        QTest::keyClicks(first, "80");
        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(focusIs("?QT:DATA2"));
        QCOMPARE(second->selectedText(), QString("6"));
        QTest::keyClick(rows, Qt::Key_F2);
        QCOMPARE(w->editor().grid()[0].DATA[0], platform::Decimal::fromDouble(80));
        QCOMPARE(w->editor().grid()[0].DATA[1], platform::Decimal::fromDouble(6));
        QVERIFY(script->messages().empty());
        closeWithoutSaving(w, rows);
    }

    // A row code left by Tab or by a click into a value field moves to that
    // row before anything is typed into it.
    void rowCodeLeftByTabOrClick() {
        auto w = openWindow(fx->report(12, 3));
        QVERIFY(w);
        ui::RowWindow* rows = rowWindowAt(w, 0);
        QVERIFY(rows);
        auto* code = child<QLineEdit>(rows, "?QT:CODSTR");
        auto* first = child<QLineEdit>(rows, "?QT:DATA1");
        code->selectAll();
        QTest::keyClicks(code, "2");
        QTest::keyClick(code, Qt::Key_Tab);
        QCOMPARE(rows->model().row(), 1);
        QVERIFY(focusIs("?QT:DATA1"));
        QTest::keyClicks(first, "9");
        QTest::keyClick(rows, Qt::Key_F2);
        QCOMPARE(w->editor().grid()[1].DATA[0], platform::Decimal::fromDouble(9));

        QVERIFY(focusIs("?QT:CODSTR"));
        QTest::keyClicks(code, "3");
        QTest::mouseClick(first, Qt::LeftButton);
        QVERIFY(focusIs("?QT:DATA1"));
        QTRY_COMPARE(rows->model().row(), 2);
        QTRY_COMPARE(first->selectedText(), QString("0.00"));
        QTest::keyClicks(first, "4");
        QTest::keyClick(rows, Qt::Key_F2);
        QCOMPARE(w->editor().grid()[2].DATA[0], platform::Decimal::fromDouble(4));
        QCOMPARE(w->editor().grid()[0].DATA[0], platform::Decimal());
        QCOMPARE(w->editor().grid()[1].DATA[0], platform::Decimal::fromDouble(9));
        closeWithoutSaving(w, rows);
    }

    // Letters never reach a value field; blanks separate digit groups; a
    // number the field cannot hold is told with the field's limit and stays
    // typed in the field, which keeps the focus.
    void refusedInputIsTold() {
        auto w = openWindow(fx->report(12, 3));
        QVERIFY(w);
        ui::RowWindow* rows = rowWindowAt(w, 0);
        QVERIFY(rows);
        auto* first = child<QLineEdit>(rows, "?QT:DATA1");
        auto* second = child<QLineEdit>(rows, "?QT:DATA2");
        QTest::keyClick(child<QLineEdit>(rows, "?QT:CODSTR"), Qt::Key_Return);
        QVERIFY(focusIs("?QT:DATA1"));
        QTest::keyClicks(first, "12345678");
        QTest::keyClick(first, Qt::Key_Return);
        QCOMPARE(script->messages(), Strings{"Число не помещается в поле|Наибольшее значение 9999999.99"});
        QCOMPARE(script->beeps(), 1);
        QVERIFY(focusIs("?QT:DATA1"));
        QCOMPARE(first->text(), QString("12345678"));
        first->selectAll();
        QTest::keyClicks(first, "1 2x34");
        QCOMPARE(first->text(), QString("1 234"));
        QTest::keyClick(first, Qt::Key_Return);
        QVERIFY(focusIs("?QT:DATA2"));
        QCOMPARE(first->text(), QString("1234.00"));
        QTest::keyClicks(second, "abc");
        QCOMPARE(second->text(), QString("0"));
        QTest::keyClick(rows, Qt::Key_F2);
        QCOMPARE(w->editor().grid()[0].DATA[0], platform::Decimal::fromDouble(1234));
        QCOMPARE(script->messages().size(), size_t(1));
        closeWithoutSaving(w, rows);
    }

    void unknownRowCodeOpensTheRowChooser() {
        auto w = openWindow(fx->report(12, 3));
        QVERIFY(w);
        ui::RowWindow* rows = rowWindowAt(w, 0);
        QVERIFY(rows);
        auto* code = child<QLineEdit>(rows, "?QT:CODSTR");
        code->selectAll();
        QTest::keyClicks(code, "77");
        script->answerPick(1);
        QTest::keyClick(code, Qt::Key_Return);
        QCOMPARE(script->pickRequests().size(), size_t(1));
        QCOMPARE(script->pickRequests()[0].caption, std::string("Строки"));
        QCOMPARE(code->text(), QString("2"));
        QCOMPARE(rows->model().row(), 1);
        QVERIFY(focusIs("?QT:CODSTR"));

        // F4 does nothing here; "Таб/F4" answers the mouse only.
        QTest::keyClick(code, Qt::Key_F4);
        QCOMPARE(script->pickRequests().size(), size_t(1));

        // Up in the first value entry goes back to the row code.
        auto* first = child<QLineEdit>(rows, "?QT:DATA1");
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Up);
        QVERIFY(focusIs("?QT:CODSTR"));

        // Closing without storing keeps the grid as it was.
        QTest::keyClick(rows, Qt::Key_Escape);
        QTRY_VERIFY(!w->rowWindow());
        QVERIFY(!w->editor().changed());
        QVERIFY(script->unexpected().empty());
        w->close();
        QTRY_VERIFY(!w);
    }
};

QTEST_MAIN(RowWindowTest)
#include "row_window_test.moc"
