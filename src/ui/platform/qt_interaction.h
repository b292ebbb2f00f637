// The interaction port of the desktop program: message boxes, questions with
// the caller's buttons, pick and period windows, text entry and progress.
#pragma once

#include "platform/interaction.h"
#include "ui/platform/window_positions.h"

#include <QPointer>
#include <QWidget>

namespace tavir::ui {

// A plain message box with an "ОК" button, captioned with the program's
// name; "|" in the text starts a new line.
void showMessageBox(QWidget* parent, std::string_view text);

// Windows are opened over `parent` (none: on their own). Pick and period
// windows keep their positions in `positions`.
class QtInteraction : public platform::Interaction {
public:
    explicit QtInteraction(QWidget* parent, WindowPositions positions = WindowPositions());

    void message(std::string_view text) override;
    // A question with one button per caption of "&Да|&Нет" (button `safe`
    // is the default; an access letter alone presses its button). Closing
    // the box gives 0.
    int ask(std::string_view text, std::string_view buttons, int safe = 1) override;
    void beep() override;
    std::optional<int> pick(const platform::PickRequest& request) override;
    // Annual forms and unknown period types open no window and give 0.
    int64_t period(const platform::PeriodRequest& request) override;
    std::optional<std::string> enterText(std::string_view caption, std::string_view prompt,
                                         std::string_view initial) override;
    // A progress window that appears when the work lasts, lets the user
    // cancel it and keeps the program's windows painted while it runs.
    std::unique_ptr<platform::Progress> progress(std::string_view caption) override;

private:
    QPointer<QWidget> parent_;
    WindowPositions positions_;
};

}  // namespace tavir::ui
