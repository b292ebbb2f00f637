#include "exchange/report_export.h"

#include "controls/control_run.h"
#include "data/dictionary.h"
#include "data/exchange_record.h"
#include "data/record_binding.h"
#include "exchange/exchange_file.h"
#include "exchange/user_settings.h"
#include "platform/number_format.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <map>

namespace tavir::exchange {

using platform::ErrorKind;
using platform::Status;

namespace {

constexpr std::array<std::string_view, 12> kMonths{"Январь", "Февраль", "Март",     "Апрель",  "Май",    "Июнь",
                                                   "Июль",   "Август",  "Сентябрь", "Октябрь", "Ноябрь", "Декабрь"};

std::string trimmed(std::string_view text) { return std::string(platform::trimRight(text)); }

// The chosen number of a period type, or none when the type has no choice.
std::optional<int64_t> chosenPeriod(int type, const PeriodChoice& p) {
    switch (type) {
        case 0: return p.annual ? std::optional<int64_t>(0) : std::nullopt;
        case 1: return p.month > 0 ? std::optional<int64_t>(p.month) : std::nullopt;
        case 2: return p.quarter > 0 ? std::optional<int64_t>(p.quarter) : std::nullopt;
        case 3: return p.half > 0 ? std::optional<int64_t>(p.half) : std::nullopt;
        default: return std::nullopt;
    }
}

std::string_view typeWord(int type) {
    switch (type) {
        case 0: return "год";
        case 1: return "месяц";
        case 2: return "квартал";
        case 3: return "полугодие";
        default: return "";
    }
}

// "export\W0284.dat": the facility in at least four digits.
std::string workingFileName(int facility) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "%04d", facility);
    return std::string("export\\W") + digits + ".dat";
}

// Creates the working file anew; one retry after deleting it again.
bool createWorkingFile(const std::filesystem::path& path) {
    const auto& def = *data::findFile(data::label::ot2);
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        if (platform::KeyedFile::create(def, path)) return true;
    }
    return false;
}

// Adds the subject's records of one form and period to `out`; the count of
// records added.
Status copyRecords(const std::filesystem::path& valueFile, const ExportSubject& subject, int form, int64_t period,
                   data::RecordFile<data::Ot2>& out, int64_t& count) {
    count = 0;
    data::RecordFile<data::Otchet> values(valueFile);
    if (Status st = values.open(); !st) {
        // A form nobody has reported yet has no value file: nothing to export.
        return st.kind() == ErrorKind::NotFound ? Status::ok() : st;
    }
    auto take = [&](const data::Otchet& value) {
        data::Ot2 record = data::exchangeRecord(form, value);
        if (out.add(record)) ++count;
    };
    Status st;
    data::Otchet value;
    if (subject.type == app::kSubjectFacility) {
        auto cursor = values.equal("OTC:KEYCODUCH", {period, subject.facility});
        while (cursor.next(value)) take(value);
        st = cursor.status();
    } else {
        auto cursor = subject.type == app::kSubjectDistrict ? values.equal("OTC:KEYCODREG", {subject.district})
                                                            : values.byKey("OTC:KEYCODREG", {0});
        while (cursor.next(value)) {
            if (value.MES == period) take(value);
        }
        st = cursor.status();
    }
    values.close();
    return st;
}

// The exchange path's text and a file name joined as the user typed them,
// then split at the last separator into folder and name.
void splitPath(const std::string& text, std::string& folder, std::string& name) {
    const size_t cut = text.find_last_of("\\/");
    if (cut == std::string::npos) {
        const size_t drive = text.size() >= 2 && text[1] == ':' ? 2 : 0;
        folder = text.substr(0, drive);
        name = text.substr(drive);
    } else {
        folder = text.substr(0, cut + 1);
        name = text.substr(cut + 1);
    }
}

}  // namespace

std::string periodButtonText(int periodType, int number) {
    switch (periodType) {
        case 1: return number >= 1 && number <= 12 ? std::string(kMonths[static_cast<size_t>(number - 1)]) : "";
        case 2: return platform::formatNumber(number) + "квартал";
        case 3: return platform::formatNumber(number) + "полугодие";
        default: return "";
    }
}

Status exportForms(const data::Installation& installation, int year, const PeriodChoice& periods,
                   std::vector<ExportForm>& forms) {
    forms.clear();
    std::vector<data::Forma> all;
    if (Status st = data::readAll(installation.formaFile(year), all); !st) return st;
    for (const data::Forma& f : all) {
        if (f.VKL == 1) continue;
        const auto period = chosenPeriod(f.TIP, periods);
        if (!period) continue;
        forms.push_back({f.UNICOD, false, platform::cutToWidth(f.NAME, 200), *period, std::string(typeWord(f.TIP)),
                         f.TIP});
    }
    std::stable_sort(forms.begin(), forms.end(), [](const ExportForm& a, const ExportForm& b) {
        return a.type != b.type ? a.type < b.type : a.form < b.form;
    });
    return Status::ok();
}

std::string nameMarker(int periodType, int64_t period, int year) {
    switch (periodType) {
        case 0: return "_" + platform::formatNumber(year);
        case 1: return "m" + platform::formatNumber(period);
        case 2: return "k" + platform::formatNumber(period);
        case 3: return "p" + platform::formatNumber(period);
        default: return "";
    }
}

std::string ExportSubject::stem() const {
    switch (type) {
        case app::kSubjectFacility: return "u" + platform::formatNumber(facility);
        case app::kSubjectDistrict: return "r" + platform::formatNumber(district);
        default: return "v";
    }
}

std::string destinationAddress(const data::NameProg& program, int district) {
    std::string address;
    if (district == 101) address = trimmed(program.MAILTAR);
    if (district == 102) address = trimmed(program.MAIL_OLM);
    return address.empty() ? trimmed(program.MAIL) : address;
}

Status runExport(const data::Installation& installation, platform::Interaction& ui, const ExportRequest& request,
                 ExportOutcome& outcome) {
    outcome = {};
    const ExportSubject& subject = request.subject;
    const int facility = subject.type == app::kSubjectFacility ? subject.facility : 0;
    const std::filesystem::path working = installation.resolve(workingFileName(facility));
    if (!createWorkingFile(working)) {
        ui.message(kInsertDisk);
        outcome.noWorkingFile = true;
        return Status::fail(ErrorKind::Io, std::string(kInsertDisk));
    }

    std::string name = subject.stem();
    {
        data::RecordFile<data::Ot2> out(working, data::label::ot2);
        if (Status st = out.open(); !st) {
            ui.message(st.message());
            return st;
        }
        platform::Transaction tx(out);
        int previousType = 0;  // the run starts as if an annual form came before
        for (const ExportForm& form : request.forms) {
            if (!form.marked) continue;
            int64_t count = 0;
            if (Status st = copyRecords(installation.valueFile(request.year, form.form), subject, form.form,
                                        form.period, out, count);
                !st) {
                ui.message(st.message());
            }
            if (count > 0) {
                if (form.type != previousType) name += nameMarker(form.type, form.period, request.year);
                name += "F" + platform::formatNumber(form.form);
            }
            previousType = form.type;
            const std::string periodText = form.type == 0 ? platform::formatNumber(request.year)
                                                          : periodButtonText(form.type, static_cast<int>(form.period));
            outcome.lines.push_back({form.form, platform::cutToWidth(form.name, 100), periodText, count, form.type});
            outcome.total += count;
        }
        Status st = tx.commit();
        if (st) st = out.writeDescription(describe(request.year, request.settings));
        out.close();
        if (!st) {
            ui.message(st.message());
            return st;
        }
    }
    outcome.name = name + ".dat";

    if (Status st = exchangeTarget(installation, request.exchangePath, outcome.name, outcome.target); !st) {
        ui.message(st.message());
        return st;
    }
    if (outcome.total == 0) {
        // An older file of this name would pass for this run's result.
        std::error_code ec;
        std::filesystem::remove(outcome.target, ec);
        ui.message(kNothingExported);
        return Status::ok();
    }
    // The rename replaces an older file of this name; a failure leaves it.
    if (Status st = placeFile(working, outcome.target); !st) {
        ui.message(st.message());
        return st;
    }
    outcome.written = true;
    ui.message(kDone);
    return Status::ok();
}

// --- The procedure ---------------------------------------------------------

ReportExport::ReportExport(const data::Installation& installation, app::SharedState& state, platform::Interaction& ui,
                           controls::ControlViews& views)
    : installation_(installation), state_(state), ui_(ui), views_(views) {}

Status ReportExport::open() {
    year_ = state_.globYear.load();
    settings_ = state_.subject();
    subject_ = {};
    subject_.type = settings_.type;
    data::User1 record;
    Status st = readSettings(installation_, record);
    if (!st) {
        ui_.message(st.message());
        return st;
    }
    if (settings_.type == app::kSubjectDistrict || settings_.type == app::kSubjectFacility) {
        subject_.district = settings_.type == app::kSubjectDistrict ? settings_.code : settings_.district;
        bool found = false;
        data::RecordFile<data::Region1> districts(installation_.region1File());
        st = districts.forEachEqual("REG:KEYCODREG", {subject_.district}, [&](const data::Region1& r) {
            subject_.districtLabel = trimmed(r.NAME);
            found = true;
        });
        if (!st) {
            ui_.message(st.message());
            return st;
        }
        if (!found) ui_.message(kWrongSettings);
    }
    if (settings_.type == app::kSubjectFacility) {
        subject_.facility = settings_.code;
        bool found = false;
        data::RecordFile<data::Bolnbol> facilities(installation_.bolnFile());
        st = facilities.forEachEqual("BOL:KEYUNICOD", {subject_.facility}, [&](const data::Bolnbol& f) {
            subject_.facilityLabel = trimmed(f.NAZV);
            found = true;
        });
        if (!st) {
            ui_.message(st.message());
            return st;
        }
        if (!found) ui_.message(kWrongSettings);
    } else if (settings_.type == app::kSubjectRegion) {
        subject_.facilityLabel = std::string(kAllFacilities);
    }
    std::vector<data::NameProg> program;
    if (data::readAll(installation_.nameProgFile(), program) && !program.empty()) {
        address_ = destinationAddress(program.front(), settings_.district);
    }
    candidates_ = candidatePaths(record.S1, record.S2);
    state_.setExchangePath(candidates_.front());
    return Status::ok();
}

void ReportExport::pickCandidate(size_t index) {
    if (index < candidates_.size()) state_.setExchangePath(candidates_[index]);
}

bool ReportExport::proceed() {
    std::string path = state_.exchangePath();
    if (path.empty() || path.back() != '\\') {
        path += '\\';
        state_.setExchangePath(path);
    }
    if (Status st = exportForms(installation_, year_, periods, forms_); !st) {
        ui_.message(st.message());
        return false;
    }
    if (forms_.empty()) {
        ui_.message(kNoPeriod);
        return false;
    }
    return true;
}

void ReportExport::setMarked(size_t line, bool marked) {
    if (line < forms_.size()) forms_[line].marked = marked;
}

void ReportExport::markAll(bool marked) {
    for (ExportForm& f : forms_) f.marked = marked;
}

bool ReportExport::exportMarked() {
    if (std::none_of(forms_.begin(), forms_.end(), [](const ExportForm& f) { return f.marked; })) {
        ui_.message(kNothingMarked);
        return true;
    }
    // Each form is checked at the period it is exported for: forms of one
    // period go through the control run together.
    std::map<int64_t, controls::BatchRequest> runs;
    for (const ExportForm& f : forms_) {
        if (!f.marked) continue;
        controls::BatchRequest& run = runs[f.period];
        run.period = f.period;
        run.forms.push_back({f.form, true, f.name, {}});
    }
    const entry::ChooserContext ctx{installation_, ui_, year_, settings_};
    bool errors = false;
    for (auto& [period, run] : runs) {
        if (subject_.type == app::kSubjectFacility) {
            run.facility = entry::FacilityLine{subject_.facility, subject_.district, subject_.facilityLabel};
        } else if (subject_.type == app::kSubjectDistrict) {
            run.district = subject_.district;
        }
        bool found = false;
        if (!controls::controlRunBatchEntry(ctx, views_, run, found)) return true;
        errors = errors || found;
    }
    if (errors && ui_.ask(kControlErrors, kYesNo) != 1) return true;

    ExportRequest request{year_, subject_, settings_, forms_, state_.exchangePath()};
    const Status st = runExport(installation_, ui_, request, last_);
    if (last_.noWorkingFile) return false;
    results_.insert(results_.end(), last_.lines.begin(), last_.lines.end());
    total_ = last_.total;
    if (st && last_.written) {
        textLine_ = "Файл  " + last_.target.string() + "  отправить на   " + address_;
    } else if (st && last_.total == 0) {
        textLine_ = std::string(kCheckReports);
    }
    if (subject_.type == app::kSubjectFacility && subject_.facility == 0) {
        ui_.message(kNoFacility);
        return false;
    }
    return true;
}

// --- Consolidated export ---------------------------------------------------

int consolidatedFacilityCode(const app::Subject& subject) {
    switch (subject.type) {
        case app::kSubjectRegion: return 20000;
        case app::kSubjectDistrict: return 21000 + subject.district;
        default: return subject.code;
    }
}

Status exportConsolidation(const data::Installation& installation, platform::Interaction& ui, int year,
                           const app::Subject& subject, std::string_view exchangePath, int form, int64_t period,
                           const std::vector<ConsolidatedExportRow>& rows, std::filesystem::path& file,
                           int64_t& written) {
    written = 0;
    auto failed = [&](const Status& st) {
        ui.message(st.message());
        return st;
    };
    std::string folder, name;
    splitPath(trimmed(exchangePath) + "ssw" + platform::formatNumber(subject.code) + "F" + platform::formatNumber(form) +
                  ".dat",
              folder, name);
    if (Status st = exchangeTarget(installation, folder, name, file); !st) return failed(st);

    // Built beside the target and renamed over it when whole.
    const std::filesystem::path working = file.parent_path() / ("~" + file.filename().string() + ".part");
    std::error_code ec;
    std::filesystem::remove(working, ec);
    if (Status st = platform::KeyedFile::create(*data::findFile(data::label::ot2), working); !st) return failed(st);
    Status st;
    {
        data::RecordFile<data::Ot2> out(working, data::label::ot2);
        st = out.open();
        if (st) {
            platform::Transaction tx(out);
            for (const ConsolidatedExportRow& row : rows) {
                data::Ot2 record;
                record.CODFORM = form;
                record.CODREG = subject.district;
                record.CODUCH = consolidatedFacilityCode(subject);
                record.CODTAB = row.table;
                record.MES = static_cast<int>(period);
                record.TIP = 0;
                record.UNICODSTR = row.unicod;
                std::copy(row.values.begin(), row.values.end(), record.DATA.begin());
                if (out.add(record)) ++written;
            }
            st = tx.commit();
            if (st) st = out.writeDescription(describe(year, subject));
            out.close();
        }
    }
    if (st) {
        std::filesystem::rename(working, file, ec);
        if (ec) st = Status::fail(ErrorKind::Io, "Файл " + file.string() + " не записан: " + ec.message());
    }
    if (!st) {
        std::filesystem::remove(working, ec);
        written = 0;
        return failed(st);
    }
    ui.message("Число записей:" + platform::formatNumber(written) + " в файле" + file.string());
    return Status::ok();
}

ConsolidatedExport::ConsolidatedExport(const data::Installation& installation, app::SharedState& state,
                                       platform::Interaction& ui)
    : installation_(installation), state_(state), ui_(ui) {}

Status ConsolidatedExport::open() {
    if (!candidates_.empty()) return Status::ok();
    data::User1 record;
    if (Status st = readSettings(installation_, record); !st) {
        ui_.message(st.message());
        return st;
    }
    candidates_ = candidatePaths(record.S1, record.S2);
    state_.setExchangePath(candidates_.front());
    return Status::ok();
}

void ConsolidatedExport::pickCandidate(size_t index) {
    if (index < candidates_.size()) state_.setExchangePath(candidates_[index]);
}

Status ConsolidatedExport::write(int form, int64_t period, const std::vector<ConsolidatedExportRow>& rows) {
    int64_t written = 0;
    return exportConsolidation(installation_, ui_, state_.globYear.load(), state_.subject(), state_.exchangePath(),
                               form, period, rows, file_, written);
}

}  // namespace tavir::exchange
