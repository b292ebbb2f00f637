#include "ui/exchange/export_path_dialog.h"

#include "exchange/report_export.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tavir::ui {

ExportPathDialog::ExportPathDialog(const std::vector<std::string>& candidates, const std::string& path, int year,
                                   QWidget* parent)
    : QDialog(parent), path_(new QComboBox(this)) {
    setObjectName("ExportPath");
    setWindowTitle(toQString(exchange::kExportCaption));
    path_->setObjectName("?PATH");
    path_->setEditable(true);
    for (const auto& c : candidates) path_->addItem(toQString(c));
    path_->setEditText(toQString(path));
    auto* yearLabel = new QLabel(QString::number(year), this);
    yearLabel->setObjectName("?GLOBYEAR");
    QPushButton* go = namedButton(this, "?CONTINUE", "Продолжить");
    connect(go, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel("Год", this), 0, 0);
    layout->addWidget(yearLabel, 0, 1);
    layout->addWidget(new QLabel("ПУТЬ :", this), 1, 0);
    layout->addWidget(path_, 1, 1);
    layout->addWidget(new QLabel("PS: Диски - латинские буквы", this), 2, 1);
    layout->addWidget(go, 3, 1, Qt::AlignRight);
}

std::string ExportPathDialog::path() const { return toStdString(path_->currentText()); }

}  // namespace tavir::ui
