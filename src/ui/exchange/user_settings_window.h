// The window "Реквизиты для выгрузки загрузки файлов" over the settings
// model: subject type, "Выбор ЛПУ", the subject's fields and the folders.
#pragma once

#include "exchange/user_settings.h"
#include "ui/app/interaction_factory.h"

#include <QWidget>

#include <memory>

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace tavir::ui {

class UserSettingsWindow : public QWidget {
    Q_OBJECT
public:
    UserSettingsWindow(const data::Installation& installation, app::SharedState& state,
                       const InteractionFactory& interactions, QWidget* parent = nullptr);

    // Reads the record; false (the failure already shown) when the window
    // cannot open.
    bool open();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void refresh();

    std::unique_ptr<platform::Interaction> ui_;
    exchange::UserSettingsModel model_;
    exchange::UserSettingsModel::Closing closing_ = exchange::UserSettingsModel::Closing::Other;
    bool closed_ = false;
    QButtonGroup* type_;
    QPushButton* choose_;
    QLineEdit* district_;
    QLineEdit* facility_;
    QLineEdit* code_;
    QLineEdit* title_;
    QLineEdit* folder1_;
    QLineEdit* folder2_;
};

}  // namespace tavir::ui
