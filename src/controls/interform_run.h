// Inter-form control runs: the list of inter-form rules from SpisMF.TXT, one
// rule evaluated per facility, district or for the region, and the subjects
// that violate it.
#pragma once

#include "controls/evaluation.h"
#include "entry/choosers.h"
#include "platform/status.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavir::controls {

// One rule of the inter-form list.
struct InterformEntry {
    int64_t number = 0;
    std::string name;     // up to 150 characters
    std::string formula;  // up to 250 characters
};

// Pairs of lines: characters 1 to 3 of the first the rule number, 4 to 103
// its name; the second line the formula. A last line without its pair gives
// a rule without formula.
platform::Status readInterformList(const std::filesystem::path& file, std::vector<InterformEntry>& entries);

// Scopes of the inter-form window (option ?OPTION1).
enum class InterformScope {
    Facility = 1,    // "ВЫБОР   ЛПУ"
    Facilities = 2,  // "Разрез ЛПУ"
    District = 3,    // "РАЙОН"
    Districts = 4,   // "Разрез  районы"
    Region = 5,      // "СВОД"
};

// One subject of a result.
struct InterformResult {
    int64_t code = 0;
    std::string name;  // up to 35 characters for facilities
    std::string mark;  // "ОШИБКА" when the rule is violated
    double sum = 0;
    std::string text;
};
inline constexpr std::string_view kInterformMark = "ОШИБКА";
inline constexpr size_t kInterformNameWidth = 35;

// The rule evaluated for the subjects of the scope (chosen already: the
// facility for scope 1, the district for scope 3); only the violating
// subjects are kept, sorted by name. A rule not in ContrMF.dat leaves
// `found` false.
platform::Status runInterform(const entry::ChooserContext& ctx, int64_t rule, InterformScope scope,
                              const entry::Choice& district, const entry::Choice& facility,
                              std::vector<InterformResult>& results, bool& found);

// Window "Межформенные контроли".
class InterformResultsWindow {
public:
    InterformResultsWindow(InterformEntry rule, std::vector<InterformResult> results)
        : rule_(std::move(rule)), results_(std::move(results)) {}

    const std::string& formula() const { return rule_.formula; }
    const std::string& name() const { return rule_.name; }
    const std::vector<InterformResult>& results() const { return results_; }
    size_t selected() const { return selected_; }
    void select(size_t line);
    std::string selectedText() const;

private:
    InterformEntry rule_;
    std::vector<InterformResult> results_;
    size_t selected_ = 0;
};

// Window "Список межформенных контролей".
class InterformListWindow {
public:
    explicit InterformListWindow(entry::ChooserContext ctx) : ctx_(std::move(ctx)) {}

    // Reads SpisMF.TXT of the working directory; a file that cannot be read
    // is shown, and the list stays empty.
    platform::Status open();

    static constexpr std::string_view kPrompt = "Установите курсор на нужный контроль и нажмите кнопку < Контроль>";

    const std::vector<InterformEntry>& entries() const { return entries_; }
    // Makes the line's rule the current one.
    void select(size_t line);
    std::optional<size_t> selected() const { return selected_; }
    // The formula of the current rule, shown in full under the list.
    std::string currentFormula() const;

    InterformScope scope = InterformScope::Facilities;

    // "Контроль": chooses the subjects the scope asks for and evaluates the
    // current rule. `window` is set when the results window is to open (also
    // with no violating subject); it stays empty without a current rule,
    // when a choice ends the run, and for a rule that is not found.
    platform::Status control(std::optional<InterformResultsWindow>& window);

    const std::string& districtName() const { return district_.name; }
    const std::string& facilityName() const { return facility_.name; }

private:
    entry::ChooserContext ctx_;
    std::vector<InterformEntry> entries_;
    std::optional<size_t> selected_;
    entry::Choice district_;
    entry::Choice facility_;
};

}  // namespace tavir::controls
