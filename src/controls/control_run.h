// Intra-form control runs: the control run procedure over given check rows
// (report entry, consolidation), the run over stored reports of a month range
// for a facility, the facilities, a district, the districts or the region,
// and the batch entry through which export and import check the reports they
// carry.
#pragma once

#include "controls/evaluation.h"
#include "controls/views.h"
#include "entry/choosers.h"
#include "platform/status.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tavir::controls {

// The tables of a form from `tabl` of the year, by table number.
platform::Status readTableList(const data::Installation& inst, int year, int form, TableList& tables);

// The rules of the form evaluated against the check rows (rules read here).
platform::Status evaluateReport(const entry::ChooserContext& ctx, int form, const CheckRows& rows,
                                const TableList& tables, std::vector<ErrorLine>& lines);

// One line the batch mode appends to its caller's list.
struct ResultEntry {
    int form = 0;
    int64_t rule = 0;  // numeric value of the error line's code
    Decimal deviation;
    std::string text;  // cut to the caller's width
};
inline constexpr size_t kResultTextWidth = 250;

// The control run procedure in batch mode: the error lines appended to
// `list` in their order; `appended` tells how many.
platform::Status controlRunBatch(const entry::ChooserContext& ctx, int form, const CheckRows& rows,
                                 const TableList& tables, std::vector<ResultEntry>& list, int& appended,
                                 size_t textWidth = kResultTextWidth);

// The control run procedure in interactive mode: "Ошибок нет", or the window
// "Список" until the user closes it; `count` is the number of error lines.
// `checked` names the report (form, period, subject) in the list's printout.
platform::Status controlRun(const entry::ChooserContext& ctx, ControlViews& views, int form, const CheckRows& rows,
                            const TableList& tables, int& count, std::string_view checked = {});

// --- Runs over stored reports --------------------------------------------

// Run scopes (option ?OPTION1 of the run window).
enum class RunScope {
    Facility = 1,    // "  ЛПУ"
    Facilities = 2,  // "Разрез ЛПУ"
    District = 3,    // "РАЙОН"
    Districts = 4,   // "Разрез  районы"
    Region = 5,      // "ОБЛАСТЬ"
};

// Whose stored records a set of check rows sums.
struct CheckSubject {
    enum Kind { Facility, District, Region } kind = Region;
    int code = 0;
};

// The check rows of one subject from a value file (open or not): its records
// of months `lower` to `upper`, consecutive records of one row summed.
platform::Status buildCheckRows(data::RecordFile<data::Otchet>& file, CheckSubject subject, int64_t lower,
                                int64_t upper, CheckRows& rows);

// A run whose subjects are chosen already.
struct RunRequest {
    std::vector<int> forms;  // in the order of the form list
    int64_t lower = 0, upper = 0;
    RunScope scope = RunScope::District;
    bool oneDistrict = false;      // "1район": scope 2 limited to `district`
    entry::Choice district;        // scopes 2 (with "1район") and 3
    entry::Choice facility;        // scope 1; code 0 finds no check rows
};

// What a run without result lines says: its reports are correct, or it
// found no report of the period to check.
inline constexpr std::string_view kNoErrors = "Ошибок нет";
inline constexpr std::string_view kNothingChecked = "Отчетов за указанный период нет";

// Every marked form for every subject of the request: the result lines in
// the order found (not yet sorted); `checked` counts the subjects whose
// stored reports were checked.
platform::Status runControls(const entry::ChooserContext& ctx, const RunRequest& request,
                             std::vector<RunResultLine>& lines, int& checked);

// The lines sorted by subject name as the results window shows them; for
// the facilities of every district the district's name is put before each
// facility name.
platform::Status arrangeResults(const entry::ChooserContext& ctx, RunScope scope, bool oneDistrict,
                                std::vector<RunResultLine>& lines);

// The run window "Список внутриформенные контроли".
class ControlRunWindow {
public:
    struct FormLine {
        int form = 0;
        bool marked = false;
        std::string name;
    };

    // Months start at the month before `currentMonth` (12 in January).
    ControlRunWindow(entry::ChooserContext ctx, ControlViews& views, int currentMonth);

    // Fills the form list: the forms of the year in file order, without those
    // above 800 and those switched off. A failure is shown and returned.
    platform::Status open();

    int year() const { return ctx_.year; }
    const std::vector<FormLine>& forms() const { return forms_; }
    void setMarked(size_t line, bool marked);
    void markAll();    // "Выделить все формы "
    void clearMarks(); // "Cброс отметки"

    int64_t lowerMonth = 0;
    int64_t upperMonth = 0;
    RunScope scope = RunScope::District;
    bool oneDistrict = false;

    // "Контроль": checks the months, chooses the subjects, runs and shows the
    // results ("Ошибок нет" when there is none).
    platform::Status control();

    const std::string& districtName() const { return district_.name; }
    const std::string& facilityName() const { return facility_.name; }

private:
    entry::ChooserContext ctx_;
    ControlViews& views_;
    std::vector<FormLine> forms_;
    entry::Choice district_;
    entry::Choice facility_;
};

// --- Batch entry (export, import) -----------------------------------------

struct BatchForm {
    int form = 0;
    bool marked = false;
    std::string name;
    std::filesystem::path file;  // exchange file holding the form's reports (import)
};

struct BatchRequest {
    int64_t period = 0;  // both month bounds
    std::vector<BatchForm> forms;
    // One facility; without it every facility of `district` that the
    // facility listing gives, or of the whole region when no district is
    // given.
    std::optional<entry::FacilityLine> facility;
    std::optional<int> district;
    // Check rows come from each form's file instead of the value files.
    bool fromFiles = false;
    // The files are old-format exchange files (bare report value records)
    // rather than exchange records with the form in front.
    bool oldFormat = false;
};

// Runs the marked forms for the facilities of the request and shows the
// results; `errors` becomes true when there is at least one result line.
// Without files "Ошибок нет" is shown when there is none; with files nothing
// is. A file that does not open shows "Otchet2-err" with its error code, and
// the run goes on without check rows from it.
platform::Status controlRunBatchEntry(const entry::ChooserContext& ctx, ControlViews& views,
                                      const BatchRequest& request, bool& errors);

}  // namespace tavir::controls
