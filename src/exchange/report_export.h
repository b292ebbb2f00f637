// Report export: the installation's own reports of the chosen periods and
// forms written into one exchange file whose name tells the subject, the
// periods and the forms; and the consolidated export, which writes a
// consolidation under the pseudo-facility code of the installation.
#pragma once

#include "app/shared_state.h"
#include "controls/views.h"
#include "data/paths.h"
#include "data/records.h"
#include "platform/decimal.h"
#include "platform/interaction.h"
#include "platform/status.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::exchange {

inline constexpr std::string_view kExportCaption = "Выгрузка отчетов ";
inline constexpr std::string_view kExportFormsCaption = "Выгрузка отчетов на дискету";
inline constexpr std::string_view kWrongSettings = "Неверные настройки пользователя (меню СЕРВИС)";
inline constexpr std::string_view kNoPeriod = "Укажите период за который выгружается отчет.";
inline constexpr std::string_view kNothingMarked = "Вы забыли отметить формы для выгрузки";
inline constexpr std::string_view kControlErrors =
    "Ошибки в формах! Необходимо исправить ошибки и повторить выгрузку.|    Продолжить выгрузку?";
inline constexpr std::string_view kYesNo = "ДА|НЕТ";
inline constexpr std::string_view kInsertDisk = "ВСТАВТЕ ДИСКЕТУ";
inline constexpr std::string_view kDone = "ГОТОВО ";
inline constexpr std::string_view kNothingExported = "Выгружено 0 записей. Повторите выгрузку.";
inline constexpr std::string_view kCheckReports = "Проверте наличие отчетов";
inline constexpr std::string_view kNoFacility = "Вы не выбрали ЛПУ";
inline constexpr std::string_view kAllFacilities = "Все ЛПУ";

// The periods of the path and period window; 0 is "not chosen".
struct PeriodChoice {
    int month = 0;    // "Ежемесячные отчеты": 1..12
    int quarter = 0;  // "Ежеквартальные отчеты": 1..4
    int half = 0;     // "Полугодовые отчеты": 1..2
    bool annual = false;  // "Годовая отчетность"
};

// "Январь" … "Декабрь", "1квартал" … "4квартал", "1полугодие", "2полугодие":
// the texts of the period buttons and of the result list.
std::string periodButtonText(int periodType, int number);

// A line of the form list.
struct ExportForm {
    int form = 0;
    bool marked = false;
    std::string name;      // first 200 characters of FOR:NAME
    int64_t period = 0;    // the chosen number of the form's period type; 0 for annual
    std::string typeWord;  // "год", "месяц", "квартал", "полугодие"
    int type = 0;          // FOR:TIP
};

// The forms of the year that are switched on and whose period type has a
// choice, sorted by period type and form code. Weekly and daily forms have
// no choice in the window and are left out.
platform::Status exportForms(const data::Installation& installation, int year, const PeriodChoice& periods,
                             std::vector<ExportForm>& forms);

// A line of the result list "Выгруженные отчеты".
struct ExportResult {
    int form = 0;
    std::string name;        // first 100 characters
    std::string periodText;  // the period button's text, the year for annual forms
    int64_t count = 0;
    int type = 0;
};

// The name marker of a period: "_" + year, "m" + month, "k" + quarter,
// "p" + half-year.
std::string nameMarker(int periodType, int64_t period, int year);

// Whose reports are exported, resolved from the subject copies.
struct ExportSubject {
    int type = app::kSubjectRegion;
    int district = 0;
    int facility = 0;  // facility installations
    std::string districtLabel;
    std::string facilityLabel;
    // "u" + facility, "r" + district or "v".
    std::string stem() const;
};

// One export run's request: the forms with their marks and periods, in
// list order.
struct ExportRequest {
    int year = 0;
    ExportSubject subject;
    app::Subject settings;  // the subject copies, for the file's description
    std::vector<ExportForm> forms;
    std::string exchangePath;  // with its final "\"
};

// What a run did.
struct ExportOutcome {
    std::vector<ExportResult> lines;  // one per marked form
    int64_t total = 0;
    std::string name;              // "u284F1F5m10F30F31k3F40.dat"
    std::filesystem::path target;  // where the file went (or would have gone)
    bool written = false;
    bool noWorkingFile = false;    // "ВСТАВТЕ ДИСКЕТУ": the procedure ends
};

// Writes the marked forms' records of the subject into the working file
// export\W<facility>.dat and puts it in place as the exchange path + name,
// showing "ГОТОВО " or "Выгружено 0 записей. Повторите выгрузку.". The
// controls are not run here (see ReportExport). A value file that does not
// open is reported and its form exports nothing.
platform::Status runExport(const data::Installation& installation, platform::Interaction& ui,
                           const ExportRequest& request, ExportOutcome& outcome);

// The destination address: NAM:MAILTAR for district 101, NAM:MAIL_OLM for
// 102 when not blank, otherwise NAM:MAIL.
std::string destinationAddress(const data::NameProg& program, int district);

// The export procedure's state: the path and period window, then the form
// window with its runs.
class ReportExport {
public:
    ReportExport(const data::Installation& installation, app::SharedState& state, platform::Interaction& ui,
                 controls::ControlViews& views);

    // Resolves the subject ("Неверные настройки пользователя (меню СЕРВИС)"
    // when its district or facility is missing), the destination address
    // and the candidate paths, whose first becomes the exchange path. A file
    // that does not open is shown and returned; the window does not open.
    platform::Status open();

    int year() const { return year_; }
    const ExportSubject& subject() const { return subject_; }
    const std::vector<std::string>& candidates() const { return candidates_; }
    std::string exchangePath() const { return state_.exchangePath(); }
    void setExchangePath(std::string path) { state_.setExchangePath(std::move(path)); }
    void pickCandidate(size_t index);

    PeriodChoice periods;

    // "Продолжить": completes the exchange path with "\" and builds the form
    // list; false (after "Укажите период за который выгружается отчет.")
    // when no form has a chosen period, and the first window stays.
    bool proceed();

    const std::vector<ExportForm>& forms() const { return forms_; }
    void setMarked(size_t line, bool marked);
    // "отметить все формы".
    void markAll(bool marked);

    // "Выгрузить": the controls of the marked forms, the question on errors,
    // then the run. False when the procedure ends (no working file, or a
    // facility installation without a facility code).
    bool exportMarked();

    const std::vector<ExportResult>& results() const { return results_; }
    int64_t total() const { return total_; }
    const std::string& textLine() const { return textLine_; }
    const std::string& address() const { return address_; }
    const ExportOutcome& lastRun() const { return last_; }

private:
    const data::Installation& installation_;
    app::SharedState& state_;
    platform::Interaction& ui_;
    controls::ControlViews& views_;
    int year_ = 0;
    app::Subject settings_;
    ExportSubject subject_;
    std::string address_;
    std::vector<std::string> candidates_;
    std::vector<ExportForm> forms_;
    std::vector<ExportResult> results_;
    int64_t total_ = 0;
    std::string textLine_;
    ExportOutcome last_;
};

// --- Consolidated export ---------------------------------------------------

struct ConsolidatedExportRow {
    int table = 0;
    int unicod = 0;
    std::array<platform::Decimal, 25> values{};
};

// The pseudo-facility code of the installation's consolidations: 20000 for
// the region, 21000 + district for a district, the facility code for a
// facility.
int consolidatedFacilityCode(const app::Subject& subject);

// The consolidated exchange file: the exchange path as given (no "\" added)
// + "ssw" + USE:KODUSER + "F" + form + ".dat", one exchange record per row
// (values 26 to 35 zero), then "Число записей:" + count + " в файле" + name.
// `written` tells the records written.
platform::Status exportConsolidation(const data::Installation& installation, platform::Interaction& ui, int year,
                                     const app::Subject& subject, std::string_view exchangePath, int form,
                                     int64_t period, const std::vector<ConsolidatedExportRow>& rows,
                                     std::filesystem::path& file, int64_t& written);

// The path window of the consolidated export: the candidate list (built at
// the first use in an open consolidation window), the exchange path, the
// year.
class ConsolidatedExport {
public:
    ConsolidatedExport(const data::Installation& installation, app::SharedState& state, platform::Interaction& ui);

    // Builds the candidate list the first time; the first candidate becomes
    // the exchange path then. A settings file that does not open is shown
    // and returned.
    platform::Status open();
    const std::vector<std::string>& candidates() const { return candidates_; }
    std::string exchangePath() const { return state_.exchangePath(); }
    void setExchangePath(std::string path) { state_.setExchangePath(std::move(path)); }
    void pickCandidate(size_t index);
    int year() const { return state_.globYear.load(); }

    // "Продолжить": writes the file.
    platform::Status write(int form, int64_t period, const std::vector<ConsolidatedExportRow>& rows);
    const std::filesystem::path& file() const { return file_; }

private:
    const data::Installation& installation_;
    app::SharedState& state_;
    platform::Interaction& ui_;
    std::vector<std::string> candidates_;
    std::filesystem::path file_;
};

}  // namespace tavir::exchange
