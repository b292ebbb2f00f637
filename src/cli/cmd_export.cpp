// tavir-cli export --to PATH …: report export of the installation's own
// reports for the chosen periods, as "Выгрузить" of the form window runs it.

#include "cli/args.h"
#include "cli/batch_port.h"
#include "cli/commands.h"
#include "exchange/report_export.h"
#include "platform/number_format.h"
#include "platform/numeric_text.h"

#include <algorithm>
#include <ostream>
#include <sstream>
#include <tuple>

namespace tavir::cli {

namespace {

// The control results go to standard error, one line per violation.
class ErrorStreamViews : public controls::ControlViews {
public:
    explicit ErrorStreamViews(std::ostream& err) : err_(err) {}
    void showErrorList(controls::ErrorListWindow& window) override {
        for (const auto& l : window.lines()) err_ << tsvCell(l.text) << '\n';
    }
    void showRunResults(controls::RunResultsWindow& window) override {
        for (const auto& l : window.lines()) {
            err_ << l.form << '\t' << l.rule << '\t' << l.subject << '\t' << tsvCell(l.name) << '\t'
                 << tsvCell(l.text) << '\n';
        }
    }

private:
    std::ostream& err_;
};

bool parseForms(const std::string& text, std::vector<int>& forms) {
    std::stringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        const auto code = platform::parseIntegerStrict(item);
        if (!code) return false;
        forms.push_back(static_cast<int>(*code));
    }
    return !forms.empty();
}

int run(Context& ctx, const std::vector<std::string>& argv) {
    Args args;
    std::string error;
    if (!args.parse(argv,
                    {{"--to", true}, {"--month", true}, {"--quarter", true}, {"--half", true}, {"--annual"},
                     {"--forms", true}, {"--on-errors", true}},
                    0, error)) {
        return usageError(ctx, error);
    }
    if (!args.has("--to")) return usageError(ctx, "не указан параметр --to");
    exchange::PeriodChoice periods;
    for (auto [option, bound, target] : {std::tuple{"--month", 12, &periods.month},
                                         std::tuple{"--quarter", 4, &periods.quarter},
                                         std::tuple{"--half", 2, &periods.half}}) {
        if (!args.has(option)) continue;
        const auto n = args.integer(option);
        if (!n || *n < 1 || *n > bound) {
            return usageError(ctx, "неверное значение " + std::string(option) + " " + *args.value(option));
        }
        *target = static_cast<int>(*n);
    }
    periods.annual = args.has("--annual");
    std::vector<int> chosen;
    if (args.has("--forms") && !parseForms(*args.value("--forms"), chosen)) {
        return usageError(ctx, "неверный список --forms " + *args.value("--forms"));
    }
    const std::string onErrors = args.has("--on-errors") ? *args.value("--on-errors") : "stop";
    if (onErrors != "continue" && onErrors != "stop") {
        return usageError(ctx, "--on-errors принимает continue или stop");
    }

    const data::Installation inst(ctx.workdir);
    app::SharedState state;
    state.globYear = ctx.year;
    app::Subject subject;
    if (auto st = installationSubject(inst, subject); !st) return fail(ctx, st.message());
    state.setSubject(subject);
    CliInteraction ui(ctx.err);
    ui.answerQuestions(onErrors == "continue" ? 1 : 2);
    ErrorStreamViews views(ctx.err);
    exchange::ReportExport e(inst, state, ui, views);
    if (!e.open()) return kExitFailure;
    e.setExchangePath(*args.value("--to"));
    e.periods = periods;
    if (!e.proceed()) return kExitFailure;
    for (int form : chosen) {
        auto it = std::find_if(e.forms().begin(), e.forms().end(), [&](const auto& f) { return f.form == form; });
        if (it == e.forms().end()) {
            return fail(ctx, "Форма " + std::to_string(form) + " не выгружается за выбранные периоды");
        }
        e.setMarked(static_cast<size_t>(it - e.forms().begin()), true);
    }
    if (chosen.empty()) e.markAll(true);
    e.exportMarked();
    for (const auto& r : e.results()) {
        ctx.out << r.form << '\t' << tsvCell(r.name) << '\t' << tsvCell(r.periodText) << '\t' << r.count << '\n';
    }
    if (!e.lastRun().written) return kExitFailure;
    ctx.out << e.lastRun().target.string() << '\n';
    return kExitOk;
}

}  // namespace

extern const Command exportCommand{
    "export",
    "выгрузка отчетов в файл обмена",
    "Использование: tavir-cli export --to ПУТЬ [--month М] [--quarter К] [--half П] [--annual]\n"
    "                 [--forms Ф[,…]] [--on-errors continue|stop]\n"
    "Выгружает отчеты субъекта установки (USER1) рабочего года за выбранные периоды в файл\n"
    "обмена в папке ПУТЬ (\"\\\" - разделитель; путь без \":\" - от рабочей папки). Выводит по\n"
    "строке TSV на каждую форму: код, наименование, период, число записей, затем путь\n"
    "записанного файла; если ничего не записано - сообщение и код выхода 1.\n"
    "  --month М, --quarter К, --half П  месяц, квартал, полугодие; --annual - годовые формы\n"
    "  --forms Ф[,…]            выгружаемые формы (без него - все формы выбранных периодов)\n"
    "  --on-errors continue|stop  ответ на вопрос об ошибках контроля (по умолчанию stop)\n",
    run,
};

}  // namespace tavir::cli
