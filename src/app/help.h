// The help window "Справка": the topics of help.TXT with their pictures.
#pragma once

#include "data/paths.h"
#include "platform/status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavir::app {

inline constexpr std::string_view kNoTopicText = "Раздел не выбран";

struct HelpTopic {
    std::string picture;  // characters 1 to 20 of the line
    std::string title;    // characters 21 to 100, 50 shown
};

class HelpModel {
public:
    explicit HelpModel(const data::Installation& installation) : installation_(installation) {}

    // Reads help.TXT. With the flag set the first topic is shown, otherwise
    // topic `topic` (counting from 1). A file that cannot be read leaves the
    // list empty and is returned.
    platform::Status open(int topic, bool first);

    const std::vector<HelpTopic>& topics() const { return topics_; }
    // The topic shown, or none.
    std::optional<int> current() const { return current_; }
    // A click on a line of the list, or on no line.
    void click(std::optional<int> line);

    // The picture of the topic shown, looked up in the working directory;
    // none while no topic is shown.
    std::optional<std::filesystem::path> picture() const;

private:
    const data::Installation& installation_;
    std::vector<HelpTopic> topics_;
    std::optional<int> current_;
};

}  // namespace tavir::app
