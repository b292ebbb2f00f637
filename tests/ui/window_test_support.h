// What the window tests share: a scratch current folder, finding controls by
// object name, acting on a modal window once it shows, finding a menu item,
// opening the entry window with a scripted interaction.
#pragma once

#include "app/shared_state.h"
#include "platform/scripted_interaction.h"
#include "ui/entry/report_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

namespace tavir::fixture {

// The control named `name`; a missing one ends the test run, as every
// check after it would be meaningless.
template <class T>
T* child(QWidget* w, const char* name) {
    T* c = w->findChild<T*>(name);
    if (!c) qFatal("no control %s in %s", name, qPrintable(w->objectName()));
    return c;
}

// Windows keep their positions in tavir.INI of the current folder: a test
// run works in a scratch folder of its own, so the build folder stays clean.
inline void workInScratchFolder() {
    static QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
}

// Runs `action` once on the modal window named `name` as soon as it is
// shown. The wait ends with the returned timer, which is still active when
// the window never showed.
[[nodiscard]] inline std::unique_ptr<QTimer> whenModal(const QString& name, std::function<void(QWidget*)> action) {
    auto timer = std::make_unique<QTimer>();
    timer->setInterval(20);
    QTimer* t = timer.get();
    QObject::connect(t, &QTimer::timeout, [t, name, action] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != name) return;
        t->stop();
        action(modal);
    });
    timer->start();
    return timer;
}

// Whether the wait of whenModal was started and its window showed.
inline bool shown(const std::unique_ptr<QTimer>& wait) { return wait && !wait->isActive(); }

// The texts of column `c` of a list, line by line.
inline QStringList listColumn(QTableWidget* list, int c) {
    QStringList cells;
    for (int r = 0; r < list->rowCount(); ++r) cells << (list->item(r, c) ? list->item(r, c)->text() : QString());
    return cells;
}

// The item `item` of the menu `menu` of a menu bar, or null.
inline QAction* menuItem(QMenuBar* bar, const QString& menu, const QString& item) {
    for (QAction* m : bar->actions()) {
        if (m->text() != menu || !m->menu()) continue;
        for (QAction* a : m->menu()->actions()) {
            if (a->text() == item) return a;
        }
    }
    return nullptr;
}

// The entry window of `report`, shown; its interaction is scripted and
// `script` points to it. Null when report entry ended on opening.
inline QPointer<ui::ReportWindow> openReportWindow(const data::Installation& installation, app::SharedState& state,
                                                   entry::ChosenReport report,
                                                   platform::ScriptedInteraction*& script) {
    auto* window = new ui::ReportWindow(
        installation, state,
        [&script](QWidget*) {
            auto s = std::make_unique<platform::ScriptedInteraction>();
            script = s.get();
            return s;
        },
        std::move(report));
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!window->open()) {
        delete window;
        return nullptr;
    }
    window->show();
    if (!QTest::qWaitForWindowExposed(window)) return nullptr;
    return window;
}

}  // namespace tavir::fixture
