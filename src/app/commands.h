// What the main window offers: its procedures, the menus and the toolbar.
// One table says which procedures exist in this build; a command whose
// procedure is not there yet is shown disabled.
#pragma once

#include <string_view>
#include <vector>

namespace tavir::app {

enum class Procedure {
    ReportEntry,        // report entry, interactive selection
    SubmittedReports,   // facilities that submitted a report
    InterFormControls,  // inter-form controls
    Completeness,       // completeness of reports
    IntraFormControl,   // intra-form control run, stand-alone
    ControlList,        // list of controls
    ReportList,         // report list with consolidation, breakdowns and indicators
    BlankForms,         // printing of blank forms
    ReportExport,
    ReportImport,
    DbfImport,          // billing-program DBF files
    OldFormatImport,
    UserSettings,
    KeyRebuilding,
    FormSwitching,      // switching report forms on and off
    PrinterSetup,       // the system's printer set-up dialog
    Help,
};

// How a command runs: on the main window's thread (the main window waits
// until its window closes) or as a window of its own beside the others.
enum class Launch { SameThread, NewThread };

// Whether the procedure exists in this build: its menu item and toolbar
// button are enabled, and the main window opens its window.
bool isBuilt(Procedure procedure);

struct MenuItem {
    std::string_view text;
    Procedure procedure;
    Launch launch;
};

struct Menu {
    std::string_view title;
    std::vector<MenuItem> items;
};

const std::vector<Menu>& mainMenus();

enum class ToolKind { Label, YearEntry, Display, Button };

// The value a display or entry of the toolbar shows.
enum class ToolField { None, WorkingYear, FirstYear, LastYear, Version, Mail };

struct ToolbarControl {
    ToolKind kind;
    std::string_view objectName;  // empty for labels
    std::string_view text;        // the label's text or the button's tip
    int width = 0;                // characters of an entry or display
    ToolField field = ToolField::None;
    Procedure procedure = Procedure::Help;  // buttons only
    Launch launch = Launch::SameThread;     // buttons only
};

// From left to right.
const std::vector<ToolbarControl>& mainToolbar();

}  // namespace tavir::app
