#include "ui/app/main_window.h"

#include "ui/app/help_window.h"
#include "ui/app/program_font.h"
#include "ui/controls/control_list_view.h"
#include "ui/controls/control_run_view.h"
#include "ui/controls/interform_view.h"
#include "ui/entry/report_window.h"
#include "ui/exchange/report_export_window.h"
#include "ui/exchange/user_settings_window.h"
#include "ui/maintenance/blank_forms_window.h"
#include "ui/platform/printer_setup.h"
#include "ui/platform/qt_text.h"
#include "ui/platform/widgets.h"
#include "ui/platform/window_positions.h"
#include "ui/registry/report_list_view.h"
#include "ui/registry/completeness_view.h"
#include "ui/registry/submitted_reports_view.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace tavir::ui {

namespace {

// The frame's background: the region's map, scaled into the free area.
class MapArea : public QMdiArea {
public:
    MapArea(const std::filesystem::path& picture, QWidget* parent)
        : QMdiArea(parent), map_(QString::fromStdString(picture.string())) {}

protected:
    void paintEvent(QPaintEvent* event) override {
        QMdiArea::paintEvent(event);
        if (map_.isNull()) return;
        QPainter painter(viewport());
        const QSize size = map_.size().scaled(viewport()->size(), Qt::KeepAspectRatio);
        const QRect target(QPoint((viewport()->width() - size.width()) / 2, (viewport()->height() - size.height()) / 2),
                           size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawPixmap(target, map_);
    }

private:
    QPixmap map_;
};

QStyle::StandardPixmap pictureOf(app::Procedure procedure) {
    switch (procedure) {
        case app::Procedure::Help: return QStyle::SP_MessageBoxQuestion;
        case app::Procedure::Completeness: return QStyle::SP_FileDialogListView;
        case app::Procedure::IntraFormControl: return QStyle::SP_DialogApplyButton;
        case app::Procedure::ReportImport: return QStyle::SP_ArrowDown;
        case app::Procedure::ReportExport: return QStyle::SP_ArrowUp;
        case app::Procedure::SubmittedReports: return QStyle::SP_FileDialogDetailedView;
        case app::Procedure::ReportList: return QStyle::SP_FileDialogContentsView;
        default: return QStyle::SP_FileIcon;
    }
}

// A disabled button's picture drawn faint: the style's greyed pictures of
// the toolbar's icons look much like enabled ones.
QIcon withFadedDisabled(const QIcon& icon, const QSize& size) {
    const QPixmap normal = icon.pixmap(size);
    QPixmap faded(normal.size());
    faded.setDevicePixelRatio(normal.devicePixelRatio());
    faded.fill(Qt::transparent);
    QPainter painter(&faded);
    painter.setOpacity(0.3);
    painter.drawPixmap(0, 0, normal);
    painter.end();
    QIcon out(icon);
    out.addPixmap(faded, QIcon::Disabled);
    return out;
}

constexpr const char* kContacts = "Служба поддержки программы: отдел медицинской статистики, электронная почта ";

}  // namespace

MainWindow::MainWindow(data::Installation installation, app::MainWindowModel& model, InteractionFactory interactions,
                       QWidget* parent)
    : QMainWindow(parent),
      installation_(std::move(installation)),
      model_(model),
      interactions_(std::move(interactions)),
      mdi_(new MapArea(installation_.mapPicture(), this)) {
    setObjectName("Main");
    setFont(programFont());
    setWindowTitle(toQString(model_.caption()));
    mdi_->setObjectName("?MDI");
    setCentralWidget(mdi_);
    buildMenus();
    buildToolbar();
    resize(1024, 720);
    WindowPositions(installation_.iniFile()).restore(*this, toQString(app::kMainSection));

    // The working year also changes by the year check of procedures; the
    // toolbar shows what holds now.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &MainWindow::refreshFields);
    timer->start(500);
}

void MainWindow::buildMenus() {
    for (const app::Menu& menu : app::mainMenus()) {
        QMenu* m = menuBar()->addMenu(toQString(menu.title));
        for (const app::MenuItem& item : menu.items) {
            QAction* action = m->addAction(toQString(item.text));
            action->setEnabled(app::isBuilt(item.procedure));
            connect(action, &QAction::triggered, this,
                    [this, procedure = item.procedure, launch = item.launch] { start(procedure, launch); });
        }
    }
}

void MainWindow::buildToolbar() {
    QToolBar* bar = addToolBar("Панель");
    toolbar_ = bar;
    bar->setObjectName("?TOOLBAR");
    bar->setMovable(false);
    const int charWidth = fontMetrics().averageCharWidth();
    for (const app::ToolbarControl& control : app::mainToolbar()) {
        const QString name = toQString(control.objectName);
        switch (control.kind) {
            case app::ToolKind::Label: {
                auto* label = new QLabel(toQString(control.text), bar);
                label->setContentsMargins(6, 0, 3, 0);
                bar->addWidget(label);
                break;
            }
            case app::ToolKind::YearEntry:
            case app::ToolKind::Display: {
                auto* field = new QLineEdit(bar);
                field->setObjectName(name);
                field->setText(toQString(model_.fieldText(control.field)));
                // Displays are as wide as their text, so that the whole toolbar fits the frame.
                const int digits = std::min(control.width, 6);
                field->setFixedWidth(std::max(field->fontMetrics().horizontalAdvance(field->text()) + 16,
                                              charWidth * (digits + 2) + 8));
                if (control.kind == app::ToolKind::YearEntry) {
                    QFont bold = field->font();
                    bold.setBold(true);
                    field->setFont(bold);
                    field->setMaxLength(control.width);
                    field->setValidator(new QIntValidator(0, 9999, field));
                    connect(field, &QLineEdit::editingFinished, this, [this, field] {
                        model_.acceptYear(toStdString(field->text()));
                        field->setText(toQString(model_.fieldText(app::ToolField::WorkingYear)));
                    });
                    yearEntry_ = field;
                } else {
                    field->setReadOnly(true);
                    field->setFocusPolicy(Qt::NoFocus);
                    displays_.emplace_back(field, control.field);
                }
                bar->addWidget(field);
                break;
            }
            case app::ToolKind::Button: {
                auto* button = new QToolButton(bar);
                button->setObjectName(name);
                button->setToolTip(toQString(control.text));
                button->setIcon(withFadedDisabled(style()->standardIcon(pictureOf(control.procedure)),
                                                  bar->iconSize()));
                button->setEnabled(app::isBuilt(control.procedure));
                connect(button, &QToolButton::clicked, this,
                        [this, procedure = control.procedure, launch = control.launch] { start(procedure, launch); });
                bar->addWidget(button);
                break;
            }
        }
    }
}

void MainWindow::refreshFields() {
    for (auto& [field, what] : displays_) field->setText(toQString(model_.fieldText(what)));
    if (yearEntry_ && !yearEntry_->isModified()) {
        yearEntry_->setText(toQString(model_.fieldText(app::ToolField::WorkingYear)));
    }
}

void MainWindow::start(app::Procedure procedure, app::Launch launch) {
    if (!app::isBuilt(procedure)) return;
    switch (procedure) {
        case app::Procedure::UserSettings: {
            auto* window = new UserSettingsWindow(installation_, model_.state(), interactions_);
            if (!window->open()) {
                delete window;
                return;
            }
            open(window, launch);
            break;
        }
        case app::Procedure::ReportExport: {
            auto* window = new ReportExportWindow(installation_, model_.state(), interactions_);
            if (!window->open()) {
                delete window;
                return;
            }
            open(window, launch);
            break;
        }
        case app::Procedure::Help:
            open(new HelpWindow(installation_, interactions_, 1, true,
                                QString(kContacts) + toQString(model_.fieldText(app::ToolField::Mail))),
                 launch);
            break;
        case app::Procedure::PrinterSetup: choosePrinter(this); break;
        case app::Procedure::IntraFormControl: {
            auto* window = new ControlRunView(installation_, model_.state(), interactions_);
            if (!window->open()) {
                delete window;
                return;
            }
            open(window, launch);
            break;
        }
        case app::Procedure::InterFormControls: {
            auto* window = new InterformView(installation_, model_.state(), interactions_);
            window->open();
            open(window, launch);
            break;
        }
        case app::Procedure::ReportEntry: {
            auto* window = new ReportWindow(installation_, model_.state(), interactions_);
            if (!window->open()) {
                delete window;
                return;
            }
            // From the menu as from the toolbar the entry window works inside
            // the frame; the menu's waits for it.
            openInFrame(window, launch == app::Launch::SameThread);
            break;
        }
        case app::Procedure::ControlList: {
            auto* window = new ControlListView(installation_, model_.state(), interactions_);
            if (!window->open()) {
                delete window;
                return;
            }
            open(window, launch);
            break;
        }
        case app::Procedure::ReportList: {
            auto* window = new ReportListView(installation_, model_.state(), interactions_);
            if (!window->open()) {
                delete window;
                return;
            }
            open(window, launch);
            break;
        }
        case app::Procedure::SubmittedReports: {
            auto* window = new SubmittedReportsView(installation_, model_.state(), interactions_);
            if (!window->open()) {
                delete window;
                return;
            }
            open(window, launch);
            break;
        }
        case app::Procedure::Completeness:
            open(new CompletenessView(installation_, model_.state(), interactions_), launch);
            break;
        case app::Procedure::BlankForms: open(new BlankFormsView(installation_, interactions_), launch); break;
        default: break;
    }
    refreshFields();
}

void MainWindow::openInFrame(QWidget* window, bool blocking) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    const QList<QMdiSubWindow*> others = mdi_->subWindowList();
    QMdiSubWindow* sub = mdi_->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    // Where the user left a window of this kind, inside the frame's area.
    WindowPositions(installation_.iniFile()).restore(*sub, window->objectName());
    sub->installEventFilter(this);
    sub->show();
    fitIntoView(window);
    if (!blocking) return;
    QPointer<QWidget> guard(window);
    QList<QPointer<QWidget>> held{menuBar(), toolbar_};
    for (QMdiSubWindow* other : others) held.push_back(other);
    for (const auto& w : held) {
        if (w) w->setEnabled(false);
    }
    QEventLoop loop;
    connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    if (guard) loop.exec();
    for (const auto& w : held) {
        if (w) w->setEnabled(true);
    }
}

void MainWindow::open(QWidget* window, app::Launch launch) {
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (launch == app::Launch::NewThread) {
        openInFrame(window, false);
        return;
    }
    WindowPositions(installation_.iniFile()).restore(*window, window->objectName());
    window->installEventFilter(this);
    runBlocking(window, this);
}

MainWindow::~MainWindow() {
    // The frame's windows go before the installation and the interactions
    // they refer to.
    for (QMdiSubWindow* sub : mdi_->subWindowList()) delete sub;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Close) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(watched); sub && sub->widget()) {
            WindowPositions(installation_.iniFile()).save(*sub, sub->widget()->objectName());
        } else if (auto* window = qobject_cast<QWidget*>(watched); window && window->isWindow()) {
            WindowPositions(installation_.iniFile()).save(*window, window->objectName());
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Each window of the frame closes as its own close does: the entry window
    // asks its save question and frees its report. One that stays open (the
    // user went back) keeps the program running.
    for (QMdiSubWindow* sub : mdi_->subWindowList()) {
        if (!sub->close()) {
            event->ignore();
            return;
        }
    }
    WindowPositions(installation_.iniFile()).save(*this, toQString(app::kMainSection));
    QMainWindow::closeEvent(event);
}

}  // namespace tavir::ui
