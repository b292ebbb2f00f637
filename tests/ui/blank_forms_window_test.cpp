// The window "Список" of blank forms over a small working directory with
// doc/blanki.txt in Windows-1251: the heading and the two columns, Enter and
// a double click opening a copy of the document, an entry of no kind
// opening nothing, and a missing list file.
#include "../app/installation_fixture.h"
#include "analysis/spreadsheet_export.h"
#include "platform/desktop_opener.h"
#include "platform/scripted_interaction.h"
#include "ui/maintenance/blank_forms_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QTest>
#include <QTreeWidget>

#include <fstream>

using namespace tavir;
namespace fs = std::filesystem;

class BlankFormsWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<fixture::InstallationFixture> fx;
    platform::RecordingDesktopOpener* opener = nullptr;
    platform::ScriptedInteraction* script = nullptr;

    std::unique_ptr<ui::BlankFormsView> openView() {
        auto recording = std::make_unique<platform::RecordingDesktopOpener>();
        opener = recording.get();
        auto view = std::make_unique<ui::BlankFormsView>(
            fx->installation(),
            [this](QWidget*) {
                auto s = std::make_unique<platform::ScriptedInteraction>();
                script = s.get();
                return s;
            },
            std::move(recording));
        view->show();
        if (!QTest::qWaitForWindowExposed(view.get())) qFatal("the window was not shown");
        return view;
    }
    static QTreeWidget* list(QWidget* view) {
        auto* l = view->findChild<QTreeWidget*>("?LIST");
        if (!l) qFatal("no list");
        return l;
    }
    static void doubleClick(QTreeWidget* list, int row) {
        const QRect rect = list->visualItemRect(list->topLevelItem(row));
        // A double click of the item view starts with a press of its own.
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void document(const std::string& relative) {
        fs::create_directories((fx->dir() / "doc" / relative).parent_path());
        std::ofstream(fx->dir() / "doc" / relative) << relative;
    }
    fs::path copyOf(const std::string& name) const { return analysis::workCopyFolder(fx->installation()) / name; }

private slots:
    void init() {
        fx = std::make_unique<fixture::InstallationFixture>();
        fx->text("doc/blanki.txt", {"f12.xls!Форма 12. Сведения о числе заболеваний", "",
                                    "  sub\\f30.doc !  Форма 30. Сведения об учреждении", "notes.txt!Заметки"});
        document("f12.xls");
        document("sub/f30.doc");
        document("notes.txt");
    }
    void cleanup() { fx.reset(); }

    void headingAndColumns() {
        auto view = openView();
        QCOMPARE(view->objectName(), QString("BlankForms"));
        QCOMPARE(view->windowTitle(), QString("Список"));
        QStringList labels;
        for (const QLabel* label : view->findChildren<QLabel*>()) labels << label->text();
        QVERIFY2(labels.contains("!! Печать чистых бланков"), qPrintable(labels.join('|')));

        QTreeWidget* l = list(view.get());
        QCOMPARE(l->columnCount(), 2);
        QCOMPARE(l->headerItem()->text(0), QString("имя файла"));
        QCOMPARE(l->headerItem()->text(1), QString("Форма"));
        // The blank line is no entry; the titles read from Windows-1251.
        QCOMPARE(l->topLevelItemCount(), 3);
        const QStringList expected[] = {{"f12.xls", "Форма 12. Сведения о числе заболеваний"},
                                        {"sub\\f30.doc", "Форма 30. Сведения об учреждении"},
                                        {"notes.txt", "Заметки"}};
        for (int r = 0; r < 3; ++r) {
            QCOMPARE(l->topLevelItem(r)->text(0), expected[r][0]);
            QCOMPARE(l->topLevelItem(r)->text(1), expected[r][1]);
        }
        QCOMPARE(l->currentItem(), l->topLevelItem(0));
    }

    void enterAndDoubleClickOpenCopies() {
        auto view = openView();
        QTreeWidget* l = list(view.get());
        l->setFocus();

        // Enter on the spreadsheet: its copy in the user's work folder goes to the desktop.
        QTest::keyClick(l, Qt::Key_Return);
        QCOMPARE(opener->opened(), std::vector<fs::path>{copyOf("f12.xls")});
        QVERIFY(fs::exists(copyOf("f12.xls")));
        QVERIFY(fs::exists(fx->dir() / "doc" / "f12.xls"));

        // A double click on the word-processor document in a subfolder.
        doubleClick(l, 1);
        QCOMPARE(l->currentItem(), l->topLevelItem(1));
        QCOMPARE(opener->opened(), (std::vector<fs::path>{copyOf("f12.xls"), copyOf("f30.doc")}));

        // The same spreadsheet again by a double click: a fresh copy.
        {
            std::ofstream(fx->dir() / "doc" / "f12.xls") << "changed blank";
        }
        doubleClick(l, 0);
        QCOMPARE(opener->opened().size(), size_t(3));
        QCOMPARE(opener->opened().back(), copyOf("f12.xls"));
        std::ifstream copy(copyOf("f12.xls"));
        std::string content((std::istreambuf_iterator<char>(copy)), std::istreambuf_iterator<char>());
        QCOMPARE(content, std::string("changed blank"));
        QVERIFY(script->messages().empty());
    }

    void entryOfNoKindOpensNothing() {
        auto view = openView();
        QTreeWidget* l = list(view.get());
        l->setCurrentItem(l->topLevelItem(2));
        l->setFocus();
        QTest::keyClick(l, Qt::Key_Return);
        doubleClick(l, 2);
        QVERIFY(opener->opened().empty());
        QVERIFY(!fs::exists(copyOf("notes.txt")));
        QVERIFY(script->messages().empty());
    }

    // A listed spreadsheet that is not in "doc": the message names it and
    // nothing opens.
    void missingDocumentIsShown() {
        fs::remove(fx->dir() / "doc" / "f12.xls");
        auto view = openView();
        QTreeWidget* l = list(view.get());
        l->setFocus();
        QTest::keyClick(l, Qt::Key_Return);
        QVERIFY(opener->opened().empty());
        const std::vector<std::string> messages = script->messages();
        QCOMPARE(messages.size(), size_t(1));
        QVERIFY2(QString::fromStdString(messages[0]).contains("f12.xls"), messages[0].c_str());
    }

    void missingListFileGivesAnEmptyList() {
        fs::remove(fx->dir() / "doc" / "blanki.txt");
        auto view = openView();
        QTreeWidget* l = list(view.get());
        QCOMPARE(l->topLevelItemCount(), 0);
        QCOMPARE(l->columnCount(), 2);
        l->setFocus();
        QTest::keyClick(l, Qt::Key_Return);
        QVERIFY(opener->opened().empty());
        QVERIFY(script->messages().empty());
    }
};

QTEST_MAIN(BlankFormsWindowTest)
#include "blank_forms_window_test.moc"
