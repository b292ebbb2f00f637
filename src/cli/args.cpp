#include "cli/args.h"

#include "platform/numeric_text.h"

#include <algorithm>

namespace tavir::cli {

bool Args::parse(const std::vector<std::string>& args, const std::vector<OptionSpec>& options, size_t maxPositional,
                 std::string& error) {
    given_.clear();
    positional_.clear();
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!arg.starts_with("--")) {
            if (positional_.size() == maxPositional) {
                error = "лишний аргумент " + arg;
                return false;
            }
            positional_.push_back(arg);
            continue;
        }
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        auto known = std::find_if(options.begin(), options.end(), [&](const OptionSpec& o) { return o.name == name; });
        if (known == options.end()) {
            error = "неизвестный параметр " + name;
            return false;
        }
        if (given_.contains(name)) {
            error = "параметр " + name + " указан дважды";
            return false;
        }
        std::string value;
        if (known->takesValue) {
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                error = "после " + name + " нужно значение";
                return false;
            }
        } else if (eq != std::string::npos) {
            error = "параметр " + name + " не принимает значения";
            return false;
        }
        given_.emplace(name, std::move(value));
    }
    return true;
}

const std::string* Args::value(std::string_view option) const {
    auto it = given_.find(option);
    return it == given_.end() ? nullptr : &it->second;
}

std::optional<int64_t> Args::integer(std::string_view option) const {
    const std::string* text = value(option);
    return text ? platform::parseIntegerStrict(*text) : std::nullopt;
}

}  // namespace tavir::cli
