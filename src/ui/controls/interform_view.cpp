#include "ui/controls/interform_view.h"

#include "ui/controls/result_views.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tavir::ui {

InterformView::InterformView(const data::Installation& installation, const app::SharedState& state,
                             const InteractionFactory& interactions, QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      ui_(interactions(this)),
      model_(entry::currentContext(installation_, *ui_, state)),
      list_(makeList(this, "?BROWSE:1", {"Код", "Наименование", "Формула"})),
      formula_(new QPlainTextEdit(this)),
      scope_(new QButtonGroup(this)) {
    setObjectName("InterformList");
    setWindowTitle("Список межформенных контролей");
    auto* prompt = new QLabel(toQString(controls::InterformListWindow::kPrompt), this);
    prompt->setObjectName("?PROMPT");
    formula_->setObjectName("?FORMULA");
    formula_->setReadOnly(true);
    formula_->setMaximumHeight(formula_->fontMetrics().height() * 4 + 12);
    connect(list_, &QTableWidget::cellClicked, this, [this](int row) {
        model_.select(static_cast<size_t>(row));
        formula_->setPlainText(toQString(model_.currentFormula()));
    });
    connect(list_, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row < 0) return;
        model_.select(static_cast<size_t>(row));
        formula_->setPlainText(toQString(model_.currentFormula()));
    });

    QGroupBox* scopeBox = optionBox(this, QString(), "?OPTION1", scope_,
                                    {"ВЫБОР   ЛПУ", "Разрез ЛПУ", "РАЙОН", "Разрез  районы", "СВОД"}, 1, Qt::Vertical);
    scope_->button(static_cast<int>(model_.scope))->setChecked(true);
    connect(scope_, &QButtonGroup::idClicked, this,
            [this](int s) { model_.scope = static_cast<controls::InterformScope>(s); });

    auto* control = new QPushButton("Контроль", this);
    control->setObjectName("?CONTROL");
    connect(control, &QPushButton::clicked, this, [this] {
        std::optional<controls::InterformResultsWindow> results;
        model_.control(results);
        if (!model_.selected()) {
            list_->clearSelection();
            formula_->clear();
        }
        if (results) {
            InterformResultsDialog dialog(*results, this);
            dialog.exec();
        }
    });
    auto* close = new QPushButton("Выход", this);
    close->setObjectName("?CLOSE");
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* side = new QVBoxLayout;
    side->addWidget(scopeBox);
    side->addStretch();
    side->addWidget(control);
    side->addWidget(close);
    auto* body = new QHBoxLayout;
    body->addWidget(list_, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addLayout(body);
    layout->addWidget(formula_);
    resize(900, 480);
}

void InterformView::open() {
    model_.open();
    const auto& entries = model_.entries();
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        setLine(list_, i, {QString::number(entries[i].number), toQString(entries[i].name), toQString(entries[i].formula)});
    }
    fitColumns(list_);
}

}  // namespace tavir::ui
