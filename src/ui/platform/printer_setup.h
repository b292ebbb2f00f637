// The printer that printouts go to, and "Выбор принтера".
#pragma once

class QPrinter;
class QWidget;

namespace tavir::ui {

// The program's printer: the system's default until the user chooses
// another; it lives until the application ends.
QPrinter& currentPrinter();

// The system's printer set-up dialog for currentPrinter(): printer, paper
// and its properties, or printing to a file. Whether the user confirmed.
bool choosePrinter(QWidget* parent);

}  // namespace tavir::ui
