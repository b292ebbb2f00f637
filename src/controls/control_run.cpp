#include "controls/control_run.h"

#include "platform/number_format.h"
#include "platform/numeric_text.h"
#include "platform/text.h"

#include <algorithm>
#include <limits>
#include <map>

namespace tavir::controls {

using platform::Status;

namespace {


// A failure is shown to the user and handed back, as the choosers do.
Status reported(const entry::ChooserContext& ctx, Status status) {
    if (!status.isOk()) ctx.ui.message(status.message());
    return status;
}

int64_t ruleNumber(const ErrorLine& line) { return static_cast<int64_t>(platform::numericValue(line.code)); }

// Sums of stored values: a sum beyond 64 bits of thousandths (far outside
// any DECIMAL 9,3) stays at the limit instead of wrapping round.
void addValues(CheckValues& to, const std::array<Decimal, 35>& from) {
    for (int i = 0; i < kCheckValues; ++i) {
        int64_t sum;
        if (__builtin_add_overflow(to[i].milli(), from[i].milli(), &sum)) {
            sum = from[i].milli() > 0 ? std::numeric_limits<int64_t>::max() : -std::numeric_limits<int64_t>::max();
        }
        to[i] = Decimal::fromMilli(sum);
    }
}

// The rules and tables of one form, read once for all subjects of a run.
struct FormSetup {
    FormRules rules;
    TableList tables;
};

Status setUp(const entry::ChooserContext& ctx, int form, FormSetup& setup) {
    if (Status st = readTableList(ctx.installation, ctx.year, form, setup.tables); !st) return st;
    return loadFormRules(ctx.installation, ctx.year, form, setup.rules);
}

// One subject of a run over stored reports: whose records, and what its
// result lines say about it.
struct Subject {
    CheckSubject who;
    bool labelled = false;  // subject code, name and district go into its result lines
    int64_t code = 0;
    std::string name;
    int district = 0;
};

void appendResults(const std::vector<ErrorLine>& errors, int form, const Subject& subject,
                   std::vector<RunResultLine>& lines) {
    for (const ErrorLine& e : errors) {
        RunResultLine line;
        line.rule = ruleNumber(e);
        line.form = form;
        line.deviation = e.deviation;
        line.text = platform::cutToWidth(e.text, kResultTextWidth);
        if (subject.labelled) {
            line.subject = subject.code;
            line.name = subject.name;
            line.district = subject.district;
        }
        lines.push_back(std::move(line));
    }
}

Subject facilitySubject(const entry::FacilityLine& f) {
    return {{CheckSubject::Facility, f.code}, true, f.code, f.name, f.district};
}

// `checked` counts the subjects whose stored reports were checked.
Status runOverValueFiles(const entry::ChooserContext& ctx, const std::vector<int>& forms, int64_t lower,
                         int64_t upper, const std::vector<Subject>& subjects, std::vector<RunResultLine>& lines,
                         int& checked) {
    for (int form : forms) {
        FormSetup setup;
        if (Status st = setUp(ctx, form, setup); !st) return st;
        data::RecordFile<data::Otchet> file(ctx.installation.valueFile(ctx.year, form));
        if (Status st = file.open(); !st) return st;
        for (const Subject& subject : subjects) {
            CheckRows rows;
            if (Status st = buildCheckRows(file, subject.who, lower, upper, rows); !st) return st;
            if (rows.empty()) continue;
            ++checked;
            appendResults(evaluateForm(setup.rules, rows, setup.tables, ctx.ui), form, subject, lines);
        }
        file.close();
    }
    return Status::ok();
}

// Shows the result lines; with `quietWhenNone` nothing at all when there are
// none. `checked` tells whether any report was checked.
Status showResults(const entry::ChooserContext& ctx, ControlViews& views, RunScope scope, bool oneDistrict,
                   bool quietWhenNone, bool checked, std::vector<RunResultLine> lines,
                   const std::string& districtName, const std::string& facilityName, std::string heading) {
    if (lines.empty()) {
        if (!quietWhenNone) ctx.ui.message(checked ? kNoErrors : kNothingChecked);
        return Status::ok();
    }
    if (Status st = arrangeResults(ctx, scope, oneDistrict, lines); !st) return reported(ctx, st);
    RunResultsWindow window(districtName, facilityName, std::move(lines));
    window.setHeading(std::move(heading));
    views.showRunResults(window);
    return Status::ok();
}

// "Ф12, Ф30": the forms a run checked.
std::string formsText(const std::vector<int>& forms) {
    std::string text;
    for (int form : forms) text += (text.empty() ? "Ф" : ", Ф") + platform::formatNumber(form);
    return text;
}

// The forms, months and subjects of a run, as its printout names them.
std::string runHeading(int year, const RunRequest& r) {
    std::string text = formsText(r.forms) + ", месяцы с " + platform::formatNumber(r.lower) + " по " +
                       platform::formatNumber(r.upper) + " " + platform::formatNumber(year) + " г., ";
    auto name = [](const std::string& n) { return std::string(platform::trimRight(n)); };
    switch (r.scope) {
        case RunScope::Facility: return text + name(r.district.name) + " " + name(r.facility.name);
        case RunScope::Facilities: return text + (r.oneDistrict ? "ЛПУ " + name(r.district.name) : "все ЛПУ");
        case RunScope::District: return text + name(r.district.name);
        case RunScope::Districts: return text + "все районы";
        case RunScope::Region: return text + "область";
    }
    return text;
}

// Error codes of the file manager for files that do not open.
int fileErrorCode(platform::ErrorKind kind) {
    switch (kind) {
        case platform::ErrorKind::NotFound: return 2;
        case platform::ErrorKind::Locked: return 32;
        case platform::ErrorKind::SchemaMismatch: return 47;
        default: return 90;
    }
}

// The check rows of one facility from an exchange file: its records of the
// period (and, with the form in front, of the form) summed by row, a row
// met again added to its first check row.
template <class T>
Status checkRowsFromFile(data::RecordFile<T>& file, int form, int facility, int64_t period, CheckRows& rows) {
    std::map<int, size_t> at;
    auto cursor = file.all();
    T rec;
    while (cursor.next(rec)) {
        if constexpr (requires { rec.CODFORM; }) {
            if (rec.CODFORM != form) continue;
        }
        if (rec.CODUCH != facility || rec.MES != period) continue;
        auto [it, added] = at.emplace(rec.UNICODSTR, rows.size());
        if (added) rows.push_back({rec.UNICODSTR, rec.CODTAB, {}});
        addValues(rows[it->second].DATA, rec.DATA);
    }
    return cursor.status();
}

template <class T>
Status runOverFile(const entry::ChooserContext& ctx, const BatchForm& form, std::string_view label, int64_t period,
                   const std::vector<Subject>& subjects, std::vector<RunResultLine>& lines) {
    data::RecordFile<T> file(form.file, label);
    if (Status st = file.open(platform::OpenMode::Foreign); !st) {
        ctx.ui.message("Otchet2-err" + platform::formatNumber(fileErrorCode(st.kind())) + "|" + st.message());
        return Status::ok();
    }
    FormSetup setup;
    if (Status st = setUp(ctx, form.form, setup); !st) return st;
    for (const Subject& subject : subjects) {
        CheckRows rows;
        if (Status st = checkRowsFromFile(file, form.form, static_cast<int>(subject.code), period, rows); !st) {
            return st;
        }
        if (rows.empty()) continue;
        appendResults(evaluateForm(setup.rules, rows, setup.tables, ctx.ui), form.form, subject, lines);
    }
    return Status::ok();
}

}  // namespace

Status readTableList(const data::Installation& inst, int year, int form, TableList& tables) {
    tables.clear();
    data::RecordFile<data::Tabl> file(inst.tablFile(year));
    if (Status st = file.open(); !st) return st;
    auto cursor = file.byKey("TAB:TAB1", {form});
    data::Tabl t;
    while (cursor.next(t) && t.CODFORM == form) tables.push_back({t.CODTABL, t.SM, t.A});
    return cursor.status();
}

Status evaluateReport(const entry::ChooserContext& ctx, int form, const CheckRows& rows, const TableList& tables,
                      std::vector<ErrorLine>& lines) {
    FormRules rules;
    if (Status st = loadFormRules(ctx.installation, ctx.year, form, rules); !st) return reported(ctx, st);
    lines = evaluateForm(rules, rows, tables, ctx.ui);
    return Status::ok();
}

Status controlRunBatch(const entry::ChooserContext& ctx, int form, const CheckRows& rows, const TableList& tables,
                       std::vector<ResultEntry>& list, int& appended, size_t textWidth) {
    appended = 0;
    std::vector<ErrorLine> lines;
    if (Status st = evaluateReport(ctx, form, rows, tables, lines); !st) return st;
    for (const ErrorLine& line : lines) {
        list.push_back({form, ruleNumber(line), line.deviation, platform::cutToWidth(line.text, textWidth)});
    }
    appended = static_cast<int>(lines.size());
    return Status::ok();
}

Status controlRun(const entry::ChooserContext& ctx, ControlViews& views, int form, const CheckRows& rows,
                  const TableList& tables, int& count, std::string_view checked) {
    count = 0;
    std::vector<ErrorLine> lines;
    if (Status st = evaluateReport(ctx, form, rows, tables, lines); !st) return st;
    count = static_cast<int>(lines.size());
    if (lines.empty()) {
        ctx.ui.message(kNoErrors);
        return Status::ok();
    }
    ErrorListWindow window(ctx.year, std::move(lines));
    window.setHeading(std::string(checked));
    views.showErrorList(window);
    return Status::ok();
}

Status buildCheckRows(data::RecordFile<data::Otchet>& file, CheckSubject subject, int64_t lower, int64_t upper,
                      CheckRows& rows) {
    rows.clear();
    if (Status st = file.open(); !st) return st;
    auto cursor = subject.kind == CheckSubject::Facility   ? file.byKey("OTC:KEYCODTAB", {subject.code, 0, 0})
                  : subject.kind == CheckSubject::District ? file.byKey("OTC:KEYCODREG", {subject.code, 0})
                                                           : file.byKey("OTC:KEYCODSTR");
    data::Otchet rec;
    while (cursor.next(rec)) {
        if (subject.kind == CheckSubject::Facility && rec.CODUCH != subject.code) break;
        if (subject.kind == CheckSubject::District && rec.CODREG != subject.code) break;
        if (rec.MES < lower || rec.MES > upper) continue;
        if (rows.empty() || rows.back().UNICODSTR != rec.UNICODSTR) rows.push_back({rec.UNICODSTR, rec.CODTAB, {}});
        addValues(rows.back().DATA, rec.DATA);
    }
    Status st = cursor.status();
    file.close();
    return st;
}

Status runControls(const entry::ChooserContext& ctx, const RunRequest& request, std::vector<RunResultLine>& lines,
                   int& checked) {
    checked = 0;
    std::vector<Subject> subjects;
    switch (request.scope) {
        case RunScope::Facility:
            subjects.push_back({{CheckSubject::Facility, request.facility.code}});
            break;
        case RunScope::Facilities: {
            std::vector<entry::FacilityLine> facilities;
            const auto district = request.oneDistrict ? std::optional<int>(request.district.code) : std::nullopt;
            if (Status st = entry::listFacilities(ctx, district, facilities); !st) return st;
            for (const auto& f : facilities) subjects.push_back(facilitySubject(f));
            break;
        }
        case RunScope::District:
            subjects.push_back({{CheckSubject::District, request.district.code}});
            break;
        case RunScope::Districts: {
            std::vector<data::Region1> districts;
            if (Status st = data::readAll(ctx.installation.region1File(), districts); !st) return reported(ctx, st);
            for (const auto& d : districts) {
                subjects.push_back({{CheckSubject::District, d.CODREG}, true, d.CODREG, d.NAME, 0});
            }
            break;
        }
        case RunScope::Region:
            subjects.push_back({{CheckSubject::Region, 0}});
            break;
    }
    return reported(ctx, runOverValueFiles(ctx, request.forms, request.lower, request.upper, subjects, lines, checked));
}

Status arrangeResults(const entry::ChooserContext& ctx, RunScope scope, bool oneDistrict,
                      std::vector<RunResultLine>& lines) {
    std::stable_sort(lines.begin(), lines.end(),
                     [](const RunResultLine& a, const RunResultLine& b) { return a.name < b.name; });
    if (scope != RunScope::Facilities || oneDistrict) return Status::ok();
    std::vector<data::Region1> districts;
    if (Status st = data::readAll(ctx.installation.region1File(), districts); !st) return st;
    std::map<int, std::string> names;
    for (const auto& d : districts) names.emplace(d.CODREG, std::string(platform::trimRight(d.NAME)));
    for (RunResultLine& line : lines) {
        auto it = names.find(line.district);
        const std::string district = it == names.end() ? std::string() : it->second;
        line.name = platform::cutToWidth(district + " " + line.name, 150);
    }
    return Status::ok();
}

// --- Run window -------------------------------------------------------------

ControlRunWindow::ControlRunWindow(entry::ChooserContext ctx, ControlViews& views, int currentMonth)
    : ctx_(std::move(ctx)), views_(views) {
    lowerMonth = upperMonth = currentMonth <= 1 ? 12 : currentMonth - 1;
}

Status ControlRunWindow::open() {
    forms_.clear();
    data::RecordFile<data::Forma> file(ctx_.installation.formaFile(ctx_.year));
    if (Status st = file.open(); !st) return reported(ctx_, st);
    auto cursor = file.all();
    data::Forma f;
    while (cursor.next(f)) {
        if (f.UNICOD > 800 || f.VKL == 1) continue;
        forms_.push_back({f.UNICOD, false, platform::cutToWidth(f.NAME, 120)});
    }
    return reported(ctx_, cursor.status());
}

void ControlRunWindow::setMarked(size_t line, bool marked) {
    if (line < forms_.size()) forms_[line].marked = marked;
}

void ControlRunWindow::markAll() {
    for (FormLine& f : forms_) f.marked = true;
}

void ControlRunWindow::clearMarks() {
    for (FormLine& f : forms_) f.marked = false;
}

Status ControlRunWindow::control() {
    if (upperMonth < lowerMonth || upperMonth > 12) {
        ctx_.ui.message("Исправте период");
        return Status::ok();
    }
    district_ = {};
    facility_ = {};
    auto chooseDistrict = [&] { return entry::chooseDistrict(ctx_, entry::DistrictMode::Plain, 30, district_); };
    switch (scope) {
        case RunScope::Facility: {
            if (Status st = chooseDistrict(); !st) return st;
            if (district_.code != 0) {
                entry::FacilityQuery query{district_.code, std::nullopt, district_.name, 50};
                if (Status st = entry::chooseFacility(ctx_, query, facility_); !st) return st;
            }
            // Without a facility the run finds no check rows.
            if (facility_.code == 0) ctx_.ui.beep();
            break;
        }
        case RunScope::Facilities:
            if (!oneDistrict) break;
            [[fallthrough]];
        case RunScope::District:
            if (Status st = chooseDistrict(); !st) return st;
            if (district_.code == 0) {
                ctx_.ui.beep();
                return Status::ok();
            }
            break;
        case RunScope::Districts:
        case RunScope::Region: break;
    }
    RunRequest request{{}, lowerMonth, upperMonth, scope, oneDistrict, district_, facility_};
    for (const FormLine& f : forms_) {
        if (f.marked) request.forms.push_back(f.form);
    }
    std::vector<RunResultLine> lines;
    int checked = 0;
    Status st = runControls(ctx_, request, lines, checked);
    if (st) {
        st = showResults(ctx_, views_, scope, oneDistrict, false, checked > 0, std::move(lines), district_.name,
                         facility_.name, runHeading(ctx_.year, request));
    }
    district_.name.clear();
    facility_.name.clear();
    return st;
}

// --- Batch entry ------------------------------------------------------------

Status controlRunBatchEntry(const entry::ChooserContext& ctx, ControlViews& views, const BatchRequest& request,
                            bool& errors) {
    errors = false;
    std::vector<Subject> subjects;
    if (request.facility) {
        subjects.push_back(facilitySubject(*request.facility));
    } else {
        std::vector<entry::FacilityLine> facilities;
        if (Status st = entry::listFacilities(ctx, request.district, facilities); !st) return st;
        for (const auto& f : facilities) subjects.push_back(facilitySubject(f));
    }
    std::vector<RunResultLine> lines;
    int checked = 0;
    for (const BatchForm& form : request.forms) {
        if (!form.marked) continue;
        Status st;
        if (!request.fromFiles) {
            st = runOverValueFiles(ctx, {form.form}, request.period, request.period, subjects, lines, checked);
        } else if (request.oldFormat) {
            st = runOverFile<data::Otchet>(ctx, form, data::label::otchetOld, request.period, subjects, lines);
        } else {
            st = runOverFile<data::Ot2>(ctx, form, data::label::ot2, request.period, subjects, lines);
        }
        if (!st) return reported(ctx, st);
    }
    errors = !lines.empty();
    std::vector<int> forms;
    for (const BatchForm& form : request.forms) {
        if (form.marked) forms.push_back(form.form);
    }
    std::string heading = formsText(forms) + ", период " + platform::formatNumber(request.period) + " " +
                          platform::formatNumber(ctx.year) + " г.";
    if (request.facility) heading += ", " + std::string(platform::trimRight(request.facility->name));
    return showResults(ctx, views, RunScope::Facilities, false, request.fromFiles, checked > 0, std::move(lines), {},
                       {}, std::move(heading));
}

}  // namespace tavir::controls
