#include "platform/scripted_interaction.h"

namespace tavir::platform {

namespace {
class NoProgress : public Progress {
public:
    void update(int64_t, int64_t, std::string_view) override {}
    bool cancelled() override { return false; }
};
}  // namespace

void ScriptedInteraction::message(std::string_view text) { events_.push_back({Event::Message, std::string(text)}); }

int ScriptedInteraction::ask(std::string_view text, std::string_view buttons, int safe) {
    events_.push_back({Event::Ask, std::string(text), safe});
    if (asks_.empty()) {
        unexpected_.push_back("вопрос: " + std::string(text) + " [" + std::string(buttons) + "]");
        return 0;
    }
    int answer = asks_.front();
    asks_.pop_front();
    return answer;
}

void ScriptedInteraction::beep() { events_.push_back({Event::Beep, {}}); }

std::optional<int> ScriptedInteraction::pick(const PickRequest& request) {
    events_.push_back({Event::Pick, request.caption});
    pickRequests_.push_back(request);
    if (picks_.empty()) {
        unexpected_.push_back("выбор: " + request.caption);
        return std::nullopt;
    }
    auto answer = picks_.front();
    picks_.pop_front();
    return answer;
}

int64_t ScriptedInteraction::period(const PeriodRequest& request) {
    events_.push_back({Event::Period, std::to_string(request.periodType)});
    if (periods_.empty()) {
        unexpected_.push_back("период");
        return 0;
    }
    int64_t answer = periods_.front();
    periods_.pop_front();
    return answer;
}

std::optional<std::string> ScriptedInteraction::enterText(std::string_view caption, std::string_view,
                                                          std::string_view) {
    events_.push_back({Event::Text, std::string(caption)});
    if (texts_.empty()) {
        unexpected_.push_back("ввод текста: " + std::string(caption));
        return std::nullopt;
    }
    auto answer = texts_.front();
    texts_.pop_front();
    return answer;
}

std::unique_ptr<Progress> ScriptedInteraction::progress(std::string_view caption) {
    events_.push_back({Event::Progress, std::string(caption)});
    return std::make_unique<NoProgress>();
}

std::vector<std::string> ScriptedInteraction::messages() const {
    std::vector<std::string> out;
    for (const auto& e : events_) {
        if (e.kind == Event::Message) out.push_back(e.text);
    }
    return out;
}

std::vector<std::string> ScriptedInteraction::questions() const {
    std::vector<std::string> out;
    for (const auto& e : events_) {
        if (e.kind == Event::Ask) out.push_back(e.text);
    }
    return out;
}

int ScriptedInteraction::beeps() const {
    int n = 0;
    for (const auto& e : events_) n += e.kind == Event::Beep;
    return n;
}

}  // namespace tavir::platform
