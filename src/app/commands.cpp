#include "app/commands.h"

namespace tavir::app {

bool isBuilt(Procedure procedure) {
    switch (procedure) {
        case Procedure::UserSettings:
        case Procedure::PrinterSetup:
        case Procedure::InterFormControls:
        case Procedure::IntraFormControl:
        case Procedure::ControlList:
        case Procedure::ReportEntry:
        case Procedure::BlankForms:
        case Procedure::SubmittedReports:
        case Procedure::Completeness:
        case Procedure::ReportList:
        case Procedure::ReportExport:
        case Procedure::Help: return true;
        case Procedure::ReportImport:
        case Procedure::DbfImport:
        case Procedure::OldFormatImport:
        case Procedure::KeyRebuilding:
        case Procedure::FormSwitching: return false;
    }
    return false;
}

const std::vector<Menu>& mainMenus() {
    using enum Procedure;
    constexpr Launch same = Launch::SameThread;
    constexpr Launch own = Launch::NewThread;
    static const std::vector<Menu> menus = {
        {"Ввод отчетов",
         {{"Ввод отчетов", ReportEntry, same},
          {"Список Отчетов", SubmittedReports, same},
          {"Межформенные контроли", InterFormControls, same}}},
        {"Контроли",
         {{"Полнота Отчетов", Completeness, same},
          {"Внутриформенный контроль", IntraFormControl, same},
          {"Список контролей", ControlList, own},
          {"Своды,показатели", ReportList, same},
          {"Печать бланков", BlankForms, same}}},
        {"&Обмен данными",
         {{"Выгрузка отчетов ", ReportExport, same},
          {"Загрузка отчетов", ReportImport, same},
          {"Загрузка отчетов из DBF файлов (ПП счета ОМС)", DbfImport, same},
          {"Загрузка отчетов из старого формата", OldFormatImport, same}}},
        {"&СЕРВИС",
         {{"Настройки пользователя", UserSettings, same},
          {"Восстановление ключей (индексация баз)", KeyRebuilding, same},
          {"Включение/Выключение форм отчетности", FormSwitching, same},
          {"Выбор принтера", PrinterSetup, same}}},
    };
    return menus;
}

const std::vector<ToolbarControl>& mainToolbar() {
    using enum Procedure;
    using K = ToolKind;
    using F = ToolField;
    constexpr Launch same = Launch::SameThread;
    constexpr Launch own = Launch::NewThread;
    static const std::vector<ToolbarControl> controls = {
        {K::Label, "", "Год"},
        {K::YearEntry, "?GLOBYEAR", "", 4, F::WorkingYear},
        {K::Label, "", "Период"},
        {K::Display, "?GLOBYEAR_S", "", 4, F::FirstYear},
        {K::Display, "?GLOBYEAR_E", "", 4, F::LastYear},
        {K::Display, "?VERSIA", "", 30, F::Version},
        {K::Button, "?HELP1", "help", 0, F::None, Help, same},
        {K::Button, "?BUTTON6", "Сдано отчетов", 0, F::None, Completeness, own},
        {K::Button, "?BUTTON5", "Внутриформенные контроли", 0, F::None, IntraFormControl, same},
        {K::Label, "", "ПОЧТА"},
        {K::Display, "?NAM:MAIL", "", 50, F::Mail},
        {K::Button, "?BUTTON8", "Загрузка отчетов", 0, F::None, ReportImport, own},
        {K::Button, "?BUTTON7", "Выгрузка отчетов", 0, F::None, ReportExport, same},
        {K::Button, "?BUTTON4", "Список отчетов, редактирование", 0, F::None, SubmittedReports, own},
        {K::Button, "?BUTTON1", "Свод, разрезы,показатели.", 0, F::None, ReportList, own},
        {K::Button, "?BUTTON3", "Ввод отчетов", 0, F::None, ReportEntry, own},
        // The installation's web sites: texts only, without an action.
        {K::Label, "", "Департамент:"},
        {K::Label, "", "zdrav.tarvin.example"},
        {K::Label, "", "МИАЦ:"},
        {K::Label, "", "miac.tarvin.example"},
    };
    return controls;
}

}  // namespace tavir::app
