// The main window: the multi-document frame with the region's map, the
// menus and the toolbar of the core's command table.
#pragma once

#include "app/commands.h"
#include "app/main_window.h"
#include "data/paths.h"
#include "ui/app/interaction_factory.h"

#include <QMainWindow>

class QLineEdit;
class QMdiArea;
class QToolBar;

namespace tavir::ui {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(data::Installation installation, app::MainWindowModel& model, InteractionFactory interactions,
               QWidget* parent = nullptr);
    ~MainWindow() override;

    // Starts a procedure as its menu item or toolbar button does.
    void start(app::Procedure procedure, app::Launch launch);
    // Shows a procedure's window: on the main window's thread it blocks the
    // main window until it closes; a window of its own joins the frame's
    // windows, beside any others, and this returns at once.
    void open(QWidget* window, app::Launch launch);

    QMdiArea* mdiArea() const { return mdi_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    // Keeps the position of each window it opened as the window closes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Shows a window inside the frame; a blocking one holds the menus, the
    // toolbar and the frame's other windows until it closes.
    void openInFrame(QWidget* window, bool blocking);
    void buildMenus();
    void buildToolbar();
    void refreshFields();

    data::Installation installation_;
    app::MainWindowModel& model_;
    InteractionFactory interactions_;
    QMdiArea* mdi_;
    QLineEdit* yearEntry_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    std::vector<std::pair<QLineEdit*, app::ToolField>> displays_;
};

}  // namespace tavir::ui
