// Report printing: the window "Параметры печати" and the printout of a
// report — the whole report or its current table — laid out from the form's
// reference data: one cell per report column, widths from GRA:L, headings
// from GRA:NAME, values in the column's picture.
//
// The caller hands over the report as it has it (the entry window its report
// cache, the consolidation its sums, tavir-cli a stored report).
#pragma once

#include "data/paths.h"
#include "data/records.h"
#include "entry/report_editor.h"
#include "platform/decimal.h"
#include "platform/print_pages.h"
#include "platform/status.h"

#include <array>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::maintenance {

// One report table of the form, from its tabl record.
struct PrintTable {
    int CODTABL = 0;
    std::string NAME;
    int SM = 0;    // descriptive columns, 0 to 4
    int A = 0;     // value columns, up to 25
    int TYPE = 0;  // 1: list layout
};

// One report row: its row unique code and its values by value index 1..25.
struct PrintRow {
    int UNICODSTR = 0;
    std::array<platform::Decimal, 25> DATA{};
};

// What the calling window hands over.
struct PrintRequest {
    int year = 0;  // the year whose reference data describe the form
    int form = 0;
    std::string formName;
    std::string label;        // the facility's or the consolidation's name
    int headingYear = 0;      // with the period text added to the heading line when not 0
    std::string periodText;
    int currentTable = 0;     // printed alone with "Таблицу"
    std::vector<PrintTable> tables;
    std::vector<PrintRow> rows;
};

// The form's rows and columns, as the printout walks them.
struct PrintReference {
    std::vector<data::Stroka> rows;    // STR:STRNUM order
    std::vector<data::Grafa> columns;  // GRA:GRA1 order
};

platform::Status loadPrintReference(const data::Installation& installation, int year, int form,
                                    PrintReference& out);

// The request for a report stored in the value file of `year`: its tables,
// its rows, the facility's name as the label and the period in the heading.
platform::Status storedReportRequest(const data::Installation& installation, int year, int form, int facility,
                                     int64_t period, PrintRequest& out);

// The request of the entry window: the grid synced into the report first,
// as before every whole-report action, then the report as the editor holds
// it, with its year and period in the heading.
PrintRequest editorPrintRequest(entry::ReportEditor& editor, std::string label);

enum class PrintScope { Report = 1, Table = 2 };

struct PrintOptions {
    std::string heading;
    PrintScope scope = PrintScope::Report;
    bool filledOnly = false;  // rows absent from the report are left out
};

// The preset heading line: the label, then "  " + year + "г." + period text
// when a year is given, each without trailing blanks.
std::string printHeading(const PrintRequest& request);

// "dd.mm.yy  hh:mm:ss" in local time.
std::string printDateText(std::time_t when);

// A value as the printout shows it: zero as "   -", anything else in the
// column's picture, or as the plain number when the picture is too narrow.
std::string printedValue(const std::string& picture, platform::Decimal value);

// The pages: the heading line, the form title, then per table its title, the
// column headings and numbers and its rows. A table starts on a new page when
// the page holds more than 30 lines; within a table a page holding more than
// 55 lines ends and the next repeats the column numbers. Every page carries
// "Лист" with its number and `printDate`.
platform::Document reportPrintout(const PrintRequest& request, const PrintReference& reference,
                                  const PrintOptions& options, std::string_view printDate);

// The model of the window "Параметры печати". Closing the window prints nothing.
class PrintParamsWindow {
public:
    static constexpr std::string_view kCaption = "Параметры печати";
    static constexpr std::string_view kPrompt = "Вы можете отредактировать строку :";
    static constexpr std::string_view kScopeTitle = "Печатать";
    static constexpr std::string_view kWholeReport = "Весь отчет";
    static constexpr std::string_view kTableOnly = "Таблицу";
    static constexpr std::string_view kFilledOnly = "Печатать только заполненные строки";
    static constexpr std::string_view kProceed = "Продолжить";
    static constexpr size_t kHeadingWidth = 170;

    PrintParamsWindow(const data::Installation& installation, PrintRequest request);

    const PrintOptions& options() const { return options_; }
    void setHeading(std::string_view heading);
    void setScope(PrintScope scope) { options_.scope = scope; }
    void setFilledOnly(bool on) { options_.filledOnly = on; }

    // "Продолжить": the printout, dated now. A reference file that does not
    // open is returned.
    platform::Status proceed(platform::Document& out) const;

private:
    const data::Installation& installation_;
    PrintRequest request_;
    PrintOptions options_;
};

}  // namespace tavir::maintenance
