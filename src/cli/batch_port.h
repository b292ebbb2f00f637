// What the batch commands of tavir-cli run the program's procedures with:
// an interaction port with no one to ask, the installation's subject, and
// TSV cells for their output.
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "platform/interaction.h"
#include "platform/status.h"

#include <iosfwd>
#include <map>
#include <string>

namespace tavir::cli {

// Every message goes to standard error as one line; a question or a pick
// window that a command did not settle through its options is reported there
// too and gets no answer.
class CliInteraction : public platform::Interaction {
public:
    explicit CliInteraction(std::ostream& err) : err_(err) {}

    // A choice settled by an option: the pick window of `caption` takes the
    // line whose first cell (the code column of the choosers) is `code`.
    void choose(std::string caption, std::string code) { choices_[std::move(caption)] = std::move(code); }
    // Every question gets button `button` (an option settled it); without
    // this, questions go unanswered (0).
    void answerQuestions(int button) { answer_ = button; }

    void message(std::string_view text) override;
    int ask(std::string_view text, std::string_view buttons, int safe = 1) override;
    void beep() override {}
    std::optional<int> pick(const platform::PickRequest& request) override;
    int64_t period(const platform::PeriodRequest& request) override;
    std::optional<std::string> enterText(std::string_view caption, std::string_view prompt,
                                         std::string_view initial) override;
    std::unique_ptr<platform::Progress> progress(std::string_view caption) override;

private:
    std::ostream& err_;
    std::map<std::string, std::string, std::less<>> choices_;
    int answer_ = 0;
};

// The installation's subject from its settings record (USER1), which the
// facility filters of the choosers depend on.
platform::Status installationSubject(const data::Installation& installation, app::Subject& subject);

// A text as one TSV cell: tabs and line breaks become blanks.
std::string tsvCell(std::string_view text);

}  // namespace tavir::cli
