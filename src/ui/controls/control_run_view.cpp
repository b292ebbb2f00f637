#include "ui/controls/control_run_view.h"

#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <ctime>

namespace tavir::ui {

namespace {

int currentMonth() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_mon + 1;
}

}  // namespace

ControlRunView::ControlRunView(const data::Installation& installation, const app::SharedState& state,
                               const InteractionFactory& interactions, QWidget* parent)
    : QWidget(parent),
      installation_(installation),
      ui_(interactions(this)),
      views_(this),
      model_(entry::currentContext(installation_, *ui_, state), views_, currentMonth()),
      forms_(makeList(this, "?BROWSE:1", {"марк", "форма", "наименование"})),
      lower_(new QSpinBox(this)),
      upper_(new QSpinBox(this)),
      scope_(new QButtonGroup(this)),
      oneDistrict_(new QCheckBox("1район", this)) {
    setObjectName("ControlRun");
    setWindowTitle("Список внутриформенные контроли");

    auto* year = new QLineEdit(QString::number(model_.year()), this);
    year->setObjectName("?GLOBYEAR");
    year->setReadOnly(true);
    year->setFocusPolicy(Qt::NoFocus);

    connect(forms_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (filling_ || item->column() != 0) return;
        model_.setMarked(static_cast<size_t>(item->row()), item->checkState() == Qt::Checked);
    });

    lower_->setObjectName("?MES1");
    upper_->setObjectName("?MES2");
    for (QSpinBox* month : {lower_, upper_}) month->setRange(0, 99);
    lower_->setValue(static_cast<int>(model_.lowerMonth));
    upper_->setValue(static_cast<int>(model_.upperMonth));
    connect(lower_, &QSpinBox::valueChanged, this, [this](int v) { model_.lowerMonth = v; });
    connect(upper_, &QSpinBox::valueChanged, this, [this](int v) { model_.upperMonth = v; });

    QGroupBox* scopeBox = optionBox(this, QString(), "?OPTION1", scope_,
                                    {"  ЛПУ", "Разрез ЛПУ", "РАЙОН", "Разрез  районы", "ОБЛАСТЬ"}, 1, Qt::Vertical);
    scope_->button(static_cast<int>(model_.scope))->setChecked(true);
    connect(scope_, &QButtonGroup::idClicked, this, [this](int s) { model_.scope = static_cast<controls::RunScope>(s); });
    oneDistrict_->setObjectName("?ONEREG");
    connect(oneDistrict_, &QCheckBox::toggled, this, [this](bool on) { model_.oneDistrict = on; });

    auto* markAll = namedButton(this, "?MARKALL", "Выделить все формы ");
    connect(markAll, &QPushButton::clicked, this, [this] {
        model_.markAll();
        showForms();
    });
    auto* unmark = namedButton(this, "?UNMARK", "Cброс отметки");
    connect(unmark, &QPushButton::clicked, this, [this] {
        model_.clearMarks();
        showForms();
    });
    auto* control = namedButton(this, "?CONTROL", "Контроль");
    connect(control, &QPushButton::clicked, this, [this] { model_.control(); });
    auto* close = namedButton(this, "?CLOSE", "Выход");
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel("Год", this));
    top->addWidget(year);
    top->addSpacing(20);
    top->addWidget(new QLabel("Месяцы с", this));
    top->addWidget(lower_);
    top->addWidget(new QLabel("по", this));
    top->addWidget(upper_);
    top->addStretch();
    auto* side = new QVBoxLayout;
    side->addWidget(scopeBox);
    side->addWidget(oneDistrict_);
    side->addStretch();
    side->addWidget(markAll);
    side->addWidget(unmark);
    side->addWidget(control);
    side->addWidget(close);
    auto* body = new QHBoxLayout;
    body->addWidget(forms_, 1);
    body->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(body);
    resize(820, 480);
}

bool ControlRunView::open() {
    if (!model_.open()) return false;
    showForms();
    return true;
}

void ControlRunView::showForms() {
    filling_ = true;
    const auto& forms = model_.forms();
    forms_->setRowCount(static_cast<int>(forms.size()));
    for (int i = 0; i < static_cast<int>(forms.size()); ++i) {
        setLine(forms_, i, {"", QString::number(forms[i].form), toQString(forms[i].name)});
        QTableWidgetItem* mark = forms_->item(i, 0);
        mark->setFlags(mark->flags() | Qt::ItemIsUserCheckable);
        mark->setCheckState(forms[i].marked ? Qt::Checked : Qt::Unchecked);
    }
    filling_ = false;
}

}  // namespace tavir::ui
