// Options of one command line: "--name value", "--name=value" and flags;
// everything else is a positional argument.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::cli {

struct OptionSpec {
    std::string_view name;  // "--label"
    bool takesValue = false;
};

class Args {
public:
    // Splits `args` by `options`; false with a message for an unknown
    // option, a missing value, an option given twice or too many positionals.
    bool parse(const std::vector<std::string>& args, const std::vector<OptionSpec>& options, size_t maxPositional,
               std::string& error);

    bool has(std::string_view option) const { return given_.contains(std::string(option)); }
    // The value of an option, or nullptr when it was not given.
    const std::string* value(std::string_view option) const;
    // The value as a whole number; none when not given or not a number.
    std::optional<int64_t> integer(std::string_view option) const;
    const std::vector<std::string>& positional() const { return positional_; }

private:
    std::map<std::string, std::string, std::less<>> given_;
    std::vector<std::string> positional_;
};

}  // namespace tavir::cli
