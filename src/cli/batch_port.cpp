#include "cli/batch_port.h"

#include "exchange/user_settings.h"

#include <ostream>

namespace tavir::cli {

namespace {

class NoProgress : public platform::Progress {
public:
    void update(int64_t, int64_t, std::string_view) override {}
    bool cancelled() override { return false; }
};

// The lines of a message text joined by blanks: one message, one line.
std::string oneLine(std::string_view text) {
    std::string line;
    for (const std::string& part : platform::messageLines(text)) {
        if (!line.empty()) line += ' ';
        line += part;
    }
    return line;
}

}  // namespace

void CliInteraction::message(std::string_view text) { err_ << oneLine(text) << std::endl; }

int CliInteraction::ask(std::string_view text, std::string_view buttons, int) {
    if (answer_ > 0) {
        const auto captions = platform::buttonCaptions(buttons);
        const size_t i = static_cast<size_t>(answer_ - 1);
        err_ << oneLine(text) << " (" << (i < captions.size() ? platform::withoutAccessMarks(captions[i]) : "")
             << ")" << std::endl;
        return answer_;
    }
    err_ << oneLine(text) << " (нет ответа)" << std::endl;
    return 0;
}

std::optional<int> CliInteraction::pick(const platform::PickRequest& request) {
    auto choice = choices_.find(request.caption);
    if (choice == choices_.end()) {
        err_ << request.caption << ": выбор не задан" << std::endl;
        return std::nullopt;
    }
    for (size_t i = 0; i < request.lines.size(); ++i) {
        if (!request.lines[i].empty() && request.lines[i][0] == choice->second) return static_cast<int>(i);
    }
    err_ << request.caption << ": нет строки " << choice->second << std::endl;
    return std::nullopt;
}

int64_t CliInteraction::period(const platform::PeriodRequest&) {
    err_ << "Период не задан" << std::endl;
    return 0;
}

std::optional<std::string> CliInteraction::enterText(std::string_view caption, std::string_view, std::string_view) {
    err_ << caption << ": текст не задан" << std::endl;
    return std::nullopt;
}

std::unique_ptr<platform::Progress> CliInteraction::progress(std::string_view) {
    return std::make_unique<NoProgress>();
}

platform::Status installationSubject(const data::Installation& installation, app::Subject& subject) {
    data::User1 settings;
    if (platform::Status st = exchange::readSettings(installation, settings); !st) return st;
    app::SharedState state;
    exchange::loadSubjectCopies(settings, state);
    subject = state.subject();
    return platform::Status::ok();
}

std::string tsvCell(std::string_view text) {
    std::string cell(text);
    for (char& c : cell) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return cell;
}

}  // namespace tavir::cli
