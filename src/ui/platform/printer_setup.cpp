#include "ui/platform/printer_setup.h"

#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrinter>

namespace tavir::ui {

namespace {
QPrinter* printer = nullptr;

void releasePrinter() {
    delete printer;
    printer = nullptr;
}
}  // namespace

QPrinter& currentPrinter() {
    if (!printer) {
        printer = new QPrinter(QPrinter::HighResolution);
        // The printer belongs to the application's lifetime, not the program's
        // static objects, which end after the printing system is gone.
        qAddPostRoutine(releasePrinter);
    }
    return *printer;
}

bool choosePrinter(QWidget* parent) {
    QPrintDialog dialog(&currentPrinter(), parent);
    dialog.setWindowTitle("Выбор принтера");
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace tavir::ui
