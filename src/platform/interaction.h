// The interaction port: how core procedures talk to the user. The desktop
// program answers it with message boxes and pick windows, tavir-cli with
// flags and standard error, tests with a script.
//
// Texts follow the message conventions: a "|" starts a new line, an "&" in a
// button caption marks its access letter.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::platform {

enum class Align { Left, Center, Right };

struct PickColumn {
    std::string title;
    int width = 10;  // characters
    Align align = Align::Left;
    bool grey = false;  // shown in grey (code columns beside the name)
};

// What pick() gives when the request's extra button was pressed.
inline constexpr int kPickExtraButton = -1;

// A list window: the user takes one line (Enter or double click) or closes
// the window and takes none.
struct PickRequest {
    std::string caption;
    std::vector<PickColumn> columns;
    std::vector<std::vector<std::string>> lines;  // one cell per column
    std::string status;                            // status line under the list
    int startLine = 0;                             // line selected at opening
    std::string name;                              // object name of the window, for tests and positions
    std::string heading;                           // a line of text above the list; none when empty
    std::string extraButton;                       // caption of a button beside the list, none when empty:
                                                   // it closes the window, pick() gives kPickExtraButton
};

// The period window: the period-type word, an entry for the number (a date
// dd.mm.yy for daily forms) and "Продолжить".
struct PeriodRequest {
    int periodType = 1;  // 1 monthly … 5 daily; annual forms never ask
    int64_t initial = 0;
    std::string form;    // the form the period is for, shown in the window
};

// Progress of long work. Destroying it closes the progress display.
class Progress {
public:
    virtual ~Progress() = default;
    // `done` of `total` steps; `text` says what is being done now.
    virtual void update(int64_t done, int64_t total, std::string_view text) = 0;
    // Whether the user asked to stop.
    virtual bool cancelled() = 0;
};

class Interaction {
public:
    virtual ~Interaction() = default;

    virtual void message(std::string_view text) = 0;
    // `buttons` as "&Да|&Нет"; the answer is the number of the button
    // pressed, counting from 1; closing the box without a button gives 0.
    // `safe` is the button Enter presses: a question whose other answer
    // destroys data names the answer that keeps it.
    virtual int ask(std::string_view text, std::string_view buttons, int safe = 1) = 0;
    virtual void beep() = 0;
    // Index of the chosen line, or none.
    virtual std::optional<int> pick(const PickRequest& request) = 0;
    // The period code chosen, or 0 when the window was closed.
    virtual int64_t period(const PeriodRequest& request) = 0;
    // A line of text typed by the user, or none when cancelled.
    virtual std::optional<std::string> enterText(std::string_view caption, std::string_view prompt,
                                                 std::string_view initial) = 0;
    virtual std::unique_ptr<Progress> progress(std::string_view caption) = 0;
};

// The lines of a message text: "|" separates them.
std::vector<std::string> messageLines(std::string_view text);
// Button captions of "&Да|&Нет", with their access letters still marked.
std::vector<std::string> buttonCaptions(std::string_view buttons);
// A caption without its "&" marks ("&&" stands for a literal "&").
std::string withoutAccessMarks(std::string_view caption);

}  // namespace tavir::platform
