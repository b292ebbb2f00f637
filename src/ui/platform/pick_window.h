// The list window of the interaction port: a list with the request's
// columns and its status line. Enter or a double click takes the current
// line; Esc or closing the window takes none.
//
// Object names: the window is named by PickRequest::name, the list
// "?BROWSE:1", the heading line above it "?HEADING", the extra button
// "?EXTRA" (chosen() is then platform::kPickExtraButton), the status line
// "?STATUS".
#pragma once

#include "platform/interaction.h"
#include "ui/platform/window_positions.h"

#include <QDialog>

#include <optional>

class QTreeWidget;

namespace tavir::ui {

class PickWindow : public QDialog {
    Q_OBJECT
public:
    PickWindow(const platform::PickRequest& request, WindowPositions positions, QWidget* parent = nullptr);

    // Index of the line taken, kPickExtraButton for the extra button, or none.
    std::optional<int> chosen() const { return chosen_; }
    QTreeWidget* list() const { return list_; }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void takeCurrent();

    QTreeWidget* list_;
    WindowPositions positions_;
    std::optional<int> chosen_;
};

}  // namespace tavir::ui
