// Small builders of the controls every window has: a button and a group of
// options, each named for the window tests and the window's model.
#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

class QButtonGroup;
class QObject;
class QValidator;
class QGroupBox;
class QPushButton;
class QWidget;

namespace tavir::ui {

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& text);

// Shows `window` (deleted on close) as a dialog of `parent` that blocks the
// program, and returns once it is closed: a procedure run on its caller's
// behalf.
void runBlocking(QWidget* window, QWidget* parent);

// A box of options, one per text, the first with id `firstId` and each named
// `name` + ":" + its id; the box is named `name`, the ids go to `group`.
QGroupBox* optionBox(QWidget* parent, const QString& title, const QString& name, QButtonGroup* group,
                     const QStringList& texts, int firstId, Qt::Orientation orientation);

// Fits a window (with the frame of the main window's area that holds it)
// into the space it may use: at least as large as its content needs, at most
// as large as that space, and lying wholly inside it.
void fitIntoView(QWidget* window);

// Closes a window that ended from inside, with the frame of the main
// window's area that holds it, so no empty frame stays behind.
void closeWithFrame(QWidget* window);

// The validator of value entries: it refuses keys that cannot become a
// number (letters, a second point); blanks between digit groups pass.
QValidator* numberValidator(QObject* parent);

}  // namespace tavir::ui
