// An interaction port that plays a script: it records every message and
// question and answers from queues given in advance. A prompt the script
// did not provide an answer for is recorded as unexpected, so a test fails
// on it (see unexpected()).
#pragma once

#include "platform/interaction.h"

#include <deque>
#include <string>
#include <vector>

namespace tavir::platform {

class ScriptedInteraction : public Interaction {
public:
    struct Event {
        enum Kind { Message, Ask, Beep, Pick, Period, Text, Progress } kind;
        std::string text;  // message or question text, pick caption, text caption
        int safe = 0;      // a question's default button
    };

    // Answers, taken in order by the kind of prompt.
    void answerAsk(int button) { asks_.push_back(button); }
    void answerPick(std::optional<int> line) { picks_.push_back(line); }
    void answerPeriod(int64_t code) { periods_.push_back(code); }
    void answerText(std::optional<std::string> text) { texts_.push_back(std::move(text)); }

    void message(std::string_view text) override;
    int ask(std::string_view text, std::string_view buttons, int safe = 1) override;
    void beep() override;
    std::optional<int> pick(const PickRequest& request) override;
    int64_t period(const PeriodRequest& request) override;
    std::optional<std::string> enterText(std::string_view caption, std::string_view prompt,
                                         std::string_view initial) override;
    std::unique_ptr<platform::Progress> progress(std::string_view caption) override;

    const std::vector<Event>& events() const { return events_; }
    // Texts of the messages shown, in order.
    std::vector<std::string> messages() const;
    // Texts of the questions asked, in order.
    std::vector<std::string> questions() const;
    // The pick requests made, in order (full content, for checking lists).
    const std::vector<PickRequest>& pickRequests() const { return pickRequests_; }
    // Prompts that found no answer in the script, and answers never used.
    const std::vector<std::string>& unexpected() const { return unexpected_; }
    bool allAnswersUsed() const { return asks_.empty() && picks_.empty() && periods_.empty() && texts_.empty(); }
    int beeps() const;

private:
    std::vector<Event> events_;
    std::vector<PickRequest> pickRequests_;
    std::vector<std::string> unexpected_;
    std::deque<int> asks_;
    std::deque<std::optional<int>> picks_;
    std::deque<int64_t> periods_;
    std::deque<std::optional<std::string>> texts_;
};

}  // namespace tavir::platform
