// The printouts of the control windows, laid out as pages for the preview.
#pragma once

#include "controls/control_list.h"
#include "controls/interform_run.h"
#include "controls/views.h"
#include "platform/print_pages.h"

namespace tavir::controls {

// "Список": "!!", "НЕ ВЫПОЛНЕН КОНТРОЛЬ ", then the text of each error line
// (its first 200 characters).
platform::Document errorListPrintout(const ErrorListWindow& window);

// "Внутриформенные контроли": headings "форма" and "контроль" on every page,
// then per line the form, the subject name and the text.
platform::Document runResultsPrintout(const RunResultsWindow& window);

// "Межформенные контроли": "!!" and the formula, then per subject its name,
// the sum and the text.
platform::Document interformPrintout(const InterformResultsWindow& window);

// "Список  контролей": the year, "Форма", the form's code and name; then per
// kind a heading "Табл.", "Контроль", "Код" and the rules; "Лист" and the page
// number at the foot of every page.
platform::Document controlListPrintout(const ControlListPrint& print);

}  // namespace tavir::controls
