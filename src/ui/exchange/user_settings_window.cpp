#include "ui/exchange/user_settings_window.h"

#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tavir::ui {

using Closing = exchange::UserSettingsModel::Closing;

UserSettingsWindow::UserSettingsWindow(const data::Installation& installation, app::SharedState& state,
                                       const InteractionFactory& interactions, QWidget* parent)
    : QWidget(parent),
      ui_(interactions(this)),
      model_(installation, state, *ui_),
      type_(new QButtonGroup(this)),
      choose_(new QPushButton("Выбор ЛПУ", this)),
      district_(new QLineEdit(this)),
      facility_(new QLineEdit(this)),
      code_(new QLineEdit(this)),
      title_(new QLineEdit(this)),
      folder1_(new QLineEdit(this)),
      folder2_(new QLineEdit(this)) {
    setObjectName("UserSettings");
    setWindowTitle(toQString(exchange::kSettingsCaption));

    QGroupBox* typeBox = optionBox(this, "Тип Субьекта", "?USE:TIPUSER", type_,
                                   {"ДЗО (вся область)", "Регион", "ЛПУ"}, 0, Qt::Horizontal);
    connect(type_, &QButtonGroup::idClicked, this, [this](int t) {
        model_.setType(t);
        refresh();
    });

    choose_->setObjectName("?CHOOSE");
    connect(choose_, &QPushButton::clicked, this, [this] {
        model_.choose();
        refresh();
    });

    district_->setObjectName("?REG:NAME");
    facility_->setObjectName("?BOL:NAZV");
    for (QLineEdit* display : {district_, facility_}) {
        display->setReadOnly(true);
        display->setFocusPolicy(Qt::NoFocus);
    }
    code_->setObjectName("?USE:KODUSER");
    code_->setMaxLength(7);
    code_->setValidator(new QIntValidator(0, 9999999, code_));
    code_->setFixedWidth(code_->fontMetrics().averageCharWidth() * 9 + 12);
    connect(code_, &QLineEdit::textEdited, this, [this](const QString& text) { model_.setCode(text.toInt()); });
    title_->setObjectName("?USE:NAMEOBL");
    title_->setMaxLength(70);
    connect(title_, &QLineEdit::textEdited, this,
            [this](const QString& text) { model_.setRegionTitle(toStdString(text)); });
    folder1_->setObjectName("?USE:S1");
    folder2_->setObjectName("?USE:S2");
    for (QLineEdit* folder : {folder1_, folder2_}) folder->setMaxLength(200);
    connect(folder1_, &QLineEdit::textEdited, this, [this](const QString& text) { model_.setFolder1(toStdString(text)); });
    connect(folder2_, &QLineEdit::textEdited, this, [this](const QString& text) { model_.setFolder2(toStdString(text)); });

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(new QLabel("Название учреждения", this));
    nameRow->addStretch();
    nameRow->addWidget(choose_);

    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(new QLabel("Kod ", this));
    codeRow->addWidget(code_);
    codeRow->addStretch();

    auto* folders = new QFormLayout;
    folders->addRow("Путь 1", folder1_);
    folders->addRow("Путь 2", folder2_);

    auto* hint = new QLabel("Здесь необходимо ввести пути (полные) для выгрузки /загрузки данных, например   D:\\1\\", this);
    hint->setObjectName("?HINT");
    hint->setWordWrap(true);

    auto* save = new QPushButton("Сохранить", this);
    save->setObjectName("?SAVE");
    connect(save, &QPushButton::clicked, this, [this] {
        if (!model_.save()) return;
        closing_ = Closing::AfterSave;
        close();
    });
    auto* closeButton = new QPushButton("Закрыть", this);
    closeButton->setObjectName("?CLOSE");
    connect(closeButton, &QPushButton::clicked, this, [this] {
        closing_ = Closing::CloseButton;
        close();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(typeBox);
    layout->addLayout(nameRow);
    layout->addWidget(district_);
    layout->addWidget(facility_);
    layout->addLayout(codeRow);
    layout->addWidget(title_);
    layout->addLayout(folders);
    layout->addWidget(hint);
    layout->addLayout(buttons);
    setMinimumWidth(fontMetrics().averageCharWidth() * 80);
}

bool UserSettingsWindow::open() {
    if (!model_.open()) return false;
    refresh();
    return true;
}

void UserSettingsWindow::refresh() {
    const data::User1& r = model_.record();
    if (QAbstractButton* b = type_->button(r.TIPUSER)) b->setChecked(true);
    choose_->setVisible(model_.chooseOffered());
    district_->setText(toQString(model_.districtName()));
    facility_->setText(toQString(model_.facilityName()));
    code_->setText(QString::number(r.KODUSER));
    title_->setText(toQString(r.NAMEOBL));
    folder1_->setText(toQString(r.S1));
    folder2_->setText(toQString(r.S2));
}

void UserSettingsWindow::closeEvent(QCloseEvent* event) {
    if (!closed_) {
        closed_ = true;
        model_.close(closing_);
    }
    QWidget::closeEvent(event);
}

}  // namespace tavir::ui
