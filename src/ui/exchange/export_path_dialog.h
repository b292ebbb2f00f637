// The path window "Выгрузка отчетов " of the consolidated export: the
// candidate paths, the exchange path (editable) and the year; "Продолжить"
// accepts, closing the window cancels.
#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;

namespace tavir::ui {

class ExportPathDialog : public QDialog {
    Q_OBJECT
public:
    ExportPathDialog(const std::vector<std::string>& candidates, const std::string& path, int year,
                     QWidget* parent = nullptr);

    std::string path() const;

private:
    QComboBox* path_;
};

}  // namespace tavir::ui
