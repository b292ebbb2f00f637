// Small builders of the controls every window has: a button and a group of
// options, each named for the window tests and the window's model.
#pragma once

#include <QString>
#include <QStringList>
#include <Qt>

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QWidget;

namespace tavir::ui {

QPushButton* namedButton(QWidget* parent, const QString& name, const QString& text);

// A box of options, one per text, the first with id `firstId` and each named
// `name` + ":" + its id; the box is named `name`, the ids go to `group`.
QGroupBox* optionBox(QWidget* parent, const QString& title, const QString& name, QButtonGroup* group,
                     const QStringList& texts, int firstId, Qt::Orientation orientation);

}  // namespace tavir::ui
