#include "demo/generate.h"

#include "data/periods.h"
#include "demo/rng.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <stdexcept>

namespace tavir::demo {

namespace fs = std::filesystem;
using platform::Status;

namespace {

constexpr int64_t kMilli = 1000;
constexpr int64_t kKopeck = 10;  // 0.01 in thousandths: money is kept to the kopeck

// Pseudo-facility codes of reports that are not one facility's.
constexpr int kRegion = 20000;
constexpr int kRegionDistrict = 250;
int districtReport(int district) { return 21000 + district; }

// Districts and cities report district-level forms; the regional units do not.
bool reportsAsDistrict(int code) { return code < 200; }

int64_t floorStep(double milli, int64_t step) {
    if (milli <= 0) return 0;
    return static_cast<int64_t>(std::floor(milli / double(step))) * step;
}

bool contains(const std::set<int>& set, int v) { return set.empty() || set.count(v) > 0; }

// --- Periods -----------------------------------------------------------------

std::vector<int64_t> periodsOf(const data::Forma& f, int year) {
    const bool done = year < kLastYear;
    std::vector<int64_t> out;
    auto range = [&](int last) {
        for (int p = 1; p <= last; ++p) out.push_back(p);
    };
    switch (f.TIP) {
        case 0: out.push_back(0); break;
        case 1: range(done ? 12 : kLastMonth); break;
        case 2: range(done ? 4 : kLastQuarter); break;
        case 3: range(done ? 2 : kLastHalf); break;
        case 4: range(done ? 52 : kLastWeek); break;
        case 5: {
            const int64_t first = data::dayNumber(year, 1, 1);
            const int64_t last = done ? data::dayNumber(year, 12, 31) : data::dayNumber(year, kLastMonth, 30);
            for (int64_t d = first; d <= last; ++d) out.push_back(d);
            break;
        }
        default: break;
    }
    return out;
}

int daysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Acute respiratory infections peak in late winter and rise again in autumn.
double respiratorySeason(int64_t week) {
    const double w = double(week);
    const double late = (w > 26 ? w - 52 : w) - 6;
    const double autumn = w - 50;
    return 0.3 + 0.9 * std::exp(-(late * late) / 16) + 0.5 * std::exp(-(autumn * autumn) / 20);
}

// Planned admissions stop at weekends.
double weekdayFactor(int64_t day) {
    const int64_t weekday = (day + 6) % 7;  // 28.12.1800 was a Sunday: 0 Monday … 6 Sunday
    return weekday >= 5 ? 0.6 : 1.08;
}

// --- Plain tables from the plan --------------------------------------------

struct Filler {
    const Plan& plan;
    const FormRef& form;
    const Facility& facility;
    Rng& rng;
    double factor;  // the report's share of the facility's yearly size
    // Values of cells that the form's own rule sets (plan scale below 0), by table and row code.
    std::map<std::pair<int, std::string>, int64_t> presets;

    void table(const TableRef& t, Report& report) {
        const int code = t.tabl.CODTABL;
        auto pt = plan.tables.find({form.forma.UNICOD, code});
        if (pt == plan.tables.end() || !contains(pt->second.kinds, facility.rec.VID)) return;
        const size_t ti = size_t(form.tableIndex(code));
        if (pt->second.parent) {
            const size_t pi = size_t(form.tableIndex(pt->second.parent));
            const TableRef& parent = form.tables[pi];
            const double g = rng.uniform(pt->second.lo, pt->second.hi);
            for (size_t r = 0; r < t.rows.size(); ++r) {
                if (t.rowTargets.count(t.rows[r].NUMBER)) continue;
                const int pr = parent.rowIndex(t.rows[r].CODSTR);
                if (pr < 0) continue;
                for (int i = 1; i <= t.tabl.A && i <= kValues; ++i) {
                    if (t.colTargets.count(i)) continue;
                    report.cells[ti][r][size_t(i - 1)] = floorStep(double(report.cells[pi][size_t(pr)][size_t(i - 1)]) * g, stepOf(t, i));
                }
            }
            return;
        }
        for (size_t r = 0; r < t.rows.size(); ++r) {
            const data::Stroka& row = t.rows[r];
            if (t.rowTargets.count(row.NUMBER)) continue;
            auto pr = plan.rows.find({form.forma.UNICOD, code, row.CODSTR});
            if (pr == plan.rows.end() || !contains(pr->second.kinds, facility.rec.VID)) continue;
            Cells& cells = report.cells[ti][r];
            if (!pr->second.parent.empty()) {
                const int parent = t.rowIndex(pr->second.parent);
                const double g = rng.uniform(pr->second.lo, pr->second.hi);
                for (int i = 1; i <= t.tabl.A && i <= kValues; ++i) {
                    if (t.colTargets.count(i)) continue;
                    cells[size_t(i - 1)] = floorStep(double(report.cells[ti][size_t(parent)][size_t(i - 1)]) * g, stepOf(t, i));
                }
                continue;
            }
            for (int i = 1; i <= t.tabl.A && i <= kValues; ++i) {
                if (t.colTargets.count(i)) continue;
                auto pc = plan.columns.find({form.forma.UNICOD, code, t.tabl.SM + i});
                if (pc == plan.columns.end()) continue;
                const Plan::Column& c = pc->second;
                const int64_t step = int64_t(std::llround(c.step * kMilli));
                int64_t v = 0;
                if (c.scale > 0) {
                    const double expected = facility.size * pt->second.scale * pr->second.weight * c.scale * factor * rng.uniform(0.8, 1.2);
                    v = rng.roundRandom(expected * kMilli, step);
                } else if (c.scale < 0) {
                    auto preset = presets.find({code, row.CODSTR});
                    v = preset == presets.end() ? 0 : preset->second;
                } else {
                    const int from = c.parent - t.tabl.SM;
                    v = floorStep(double(cells[size_t(from - 1)]) * rng.uniform(c.lo, c.hi), step);
                }
                cells[size_t(i - 1)] = v;
            }
        }
    }

    int64_t stepOf(const TableRef& t, int valueIndex) const {
        auto pc = plan.columns.find({form.forma.UNICOD, t.tabl.CODTABL, t.tabl.SM + valueIndex});
        return pc == plan.columns.end() ? kMilli : int64_t(std::llround(pc->second.step * kMilli));
    }

    void fill(Report& report) {
        for (const TableRef& t : form.tables) table(t, report);
    }
};

// Parts proportional to the weights that add up exactly to `total`.
std::vector<int64_t> split(int64_t total, const std::vector<double>& weights) {
    std::vector<int64_t> parts(weights.size(), 0);
    double sum = 0;
    for (double w : weights) sum += w;
    if (sum <= 0 || weights.empty()) return parts;
    int64_t given = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        parts[i] = static_cast<int64_t>(std::floor(double(total) * weights[i] / sum));
        given += parts[i];
    }
    for (size_t i = 0; given < total; i = (i + 1) % weights.size()) {
        if (weights[i] > 0) {
            ++parts[i];
            ++given;
        }
    }
    return parts;
}

// --- The generator ---------------------------------------------------------

class Generator {
public:
    Generator(const GenerationInput& in, Generated& out) : in_(in), out_(out) {}

    Status run();

private:
    const FormRef& form(int year, int code) const { return in_.references->at(year).form(code); }
    bool gap(int year, int form, int facility, int64_t period, double p) const {
        if (forced_.count({year, form, facility, period})) return false;
        return Rng(keyOf({int64_t(in_.seed), 7, year, form, facility, period})).chance(p);
    }
    Rng reportRng(int year, int form, int facility, int64_t period) const {
        return Rng(keyOf({int64_t(in_.seed), 11, year, form, facility, period}));
    }
    double gapChance(const data::Forma& f, int year, int64_t period) const;
    void add(Report report);

    void plainForm(const Facility& f, int year, int code, const std::function<void(Filler&, int64_t)>& prepare = {});
    void hospital(const Facility& f);
    void finance(const Facility& f);
    void plannedVolumes(const Facility& f);
    void salaries(const Facility& f);
    void population(int year);
    void network(int year);
    void births(const DistrictInfo& d);
    void regionValues(int year);
    void violate();
    void withhold();
    void registryCases();

    Report* find(int year, int form, int facility, int64_t period);
    std::vector<const Facility*> districtFacilities(int district) const;

    const GenerationInput& in_;
    Generated& out_;
    std::set<std::tuple<int, int, int, int64_t>> forced_;
    // Yearly sums of form 16 by facility and profile (2025), for forms 30, 14 and 910.
    std::map<int, std::map<int, std::array<int64_t, 8>>> bedYear_;
    std::map<int, std::map<int, int64_t>> bedsAtStart_;  // facility -> year -> beds at the start of the year
};

double Generator::gapChance(const data::Forma& f, int year, int64_t period) const {
    if (year < kLastYear && (f.UNICOD == 14 || f.UNICOD == 16 || f.UNICOD == 30)) return 0;
    if (year == kLastYear && f.TIP == 1 && period == kLastMonth) return 0.3;
    return 0.02;
}

void Generator::add(Report report) {
    calculate(form(report.year, report.form), report);
    out_.files[{report.year, report.form}].push_back(std::move(report));
}

Report* Generator::find(int year, int form, int facility, int64_t period) {
    auto it = out_.files.find({year, form});
    if (it == out_.files.end()) return nullptr;
    for (Report& r : it->second) {
        if (r.facility == facility && r.period == period) return &r;
    }
    return nullptr;
}

std::vector<const Facility*> Generator::districtFacilities(int district) const {
    std::vector<const Facility*> out;
    for (const Facility& f : *in_.facilities) {
        if (f.rec.CODREG == district) out.push_back(&f);
    }
    return out;
}

void Generator::plainForm(const Facility& f, int year, int code, const std::function<void(Filler&, int64_t)>& prepare) {
    if (!f.forms.count(code) || !f.activeIn(year)) return;
    const FormRef& fr = form(year, code);
    if (year == kLastYear && fr.forma.TIP == 0) {
        // Of the year in progress only some facilities have sent their yearly report early.
        if (code != 12 || !Rng(keyOf({int64_t(in_.seed), 13, year, code, f.rec.UNICOD})).chance(0.15)) return;
    }
    for (int64_t period : periodsOf(fr.forma, year)) {
        if (gap(year, code, f.rec.UNICOD, period, gapChance(fr.forma, year, period))) continue;
        Rng rng = reportRng(year, code, f.rec.UNICOD, period);
        double factor = year == kLastYear ? 1.02 : 1.0;
        if (fr.forma.TIP == 4) factor *= respiratorySeason(period);
        if (fr.forma.TIP == 5) factor *= weekdayFactor(period);
        Filler filler{*in_.plan, fr, f, rng, factor, {}};
        if (prepare) prepare(filler, period);
        Report report(fr, year, f.rec.UNICOD, f.rec.CODREG, period);
        filler.fill(report);
        add(std::move(report));
    }
}

// Beds and patients of every profile, month by month over both years: the
// patients at the start of a month are those at the end of the month
// before, and the yearly forms 30 and 14 take their sums.
void Generator::hospital(const Facility& f) {
    if (!f.forms.count(16) || f.profiles.empty()) return;
    struct Profile {
        double bedsPerSize;
        double stay;
    };
    static const std::map<int, Profile> kProfiles{{2, {1.2, 9.5}}, {3, {0.8, 8}}, {4, {0.5, 7}}, {5, {0.4, 5}},
                                                   {6, {0.3, 6}}, {7, {0.4, 11}}, {8, {0.4, 10}}, {9, {0.3, 7}}};
    Rng rng(keyOf({int64_t(in_.seed), 16, f.rec.UNICOD}));
    struct State {
        int64_t beds, patients, bedsAtYearStart;
    };
    std::map<int, State> state;
    for (int p : f.profiles) {
        const int64_t beds = std::max<int64_t>(5, std::llround(f.size * kProfiles.at(p).bedsPerSize * rng.uniform(0.8, 1.2)));
        state[p] = {beds, std::llround(double(beds) * rng.uniform(0.6, 0.85)), beds};
    }
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        if (!f.activeIn(year)) continue;
        const FormRef& fr = form(year, 16);
        for (auto& [p, s] : state) s.bedsAtYearStart = s.beds;
        bedsAtStart_[f.rec.UNICOD][year] = 0;
        for (auto& [p, s] : state) bedsAtStart_[f.rec.UNICOD][year] += s.beds;
        for (int64_t month : periodsOf(fr.forma, year)) {
            Report report(fr, year, f.rec.UNICOD, f.rec.CODREG, month);
            const int days = daysInMonth(year, int(month));
            const double season = (month <= 2 || month == 12) ? 1.05 : (month >= 6 && month <= 8 ? 0.9 : 1.0);
            for (auto& [p, s] : state) {
                if (rng.chance(0.06)) s.beds = std::max<int64_t>(5, s.beds + rng.between(-5, 5));
                const double occupancy = std::min(0.98, rng.uniform(0.78, 0.95) * season);
                const int64_t start = s.patients;
                const int64_t admitted = std::llround(double(s.beds) * days * occupancy / kProfiles.at(p).stay * rng.uniform(0.95, 1.05));
                const int64_t end = std::min<int64_t>(start + admitted, std::llround(double(s.beds) * occupancy * rng.uniform(0.85, 1.0)));
                const int64_t left = start + admitted - end;
                const int64_t died = static_cast<int64_t>(std::floor(double(left) * rng.uniform(0.004, 0.025)));
                const int64_t discharged = left - died;
                const int64_t bedDays = std::llround(double(start + end) / 2 * days);
                const std::string row = std::to_string(p);
                const std::array<int64_t, 8> v{s.bedsAtYearStart, start, admitted, discharged, died, end, bedDays, s.beds};
                for (int i = 0; i < 8; ++i) report.at(fr, 1000, row, i + 1) = v[size_t(i)] * kMilli;
                if (year == kFirstYear) {
                    auto& sums = bedYear_[f.rec.UNICOD][p];
                    sums[0] = s.beds;  // at the end of the year
                    sums[1] += s.beds;
                    sums[2] += admitted;
                    sums[3] += discharged;
                    sums[4] += bedDays;
                    sums[5] += died;
                }
                s.patients = end;
            }
            if (!gap(year, 16, f.rec.UNICOD, month, gapChance(fr.forma, year, month))) add(std::move(report));
        }
    }
}

// Debts, money and medicines: the balance at the start of a month is the
// one at the end of the month before, across the turn of the year too.
void Generator::finance(const Facility& f) {
    const bool hospital = !f.profiles.empty();
    if (f.forms.count(342)) {
        static const std::map<int, double> kDebt{{2, 40}, {3, 12}, {4, 30}, {5, 6}, {6, 10}, {7, 15}};
        Rng rng(keyOf({int64_t(in_.seed), 342, f.rec.UNICOD}));
        const bool overdueHabit = rng.chance(0.4);
        std::map<int, std::array<int64_t, 3>> debt;
        for (auto [row, w] : kDebt) {
            if (row == 5 && !hospital) continue;
            const int64_t total = rng.roundRandom(f.size * w * rng.uniform(0.5, 1.5) * kMilli, kKopeck);
            const int64_t overdue = overdueHabit ? floorStep(double(total) * rng.uniform(0, 0.2), kKopeck) : 0;
            debt[row] = {total, overdue, floorStep(double(overdue) * rng.uniform(0, 0.5), kKopeck)};
        }
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            if (!f.activeIn(year)) continue;
            const FormRef& fr = form(year, 342);
            for (int64_t month : periodsOf(fr.forma, year)) {
                Report report(fr, year, f.rec.UNICOD, f.rec.CODREG, month);
                for (auto& [row, d] : debt) {
                    const std::string code = std::to_string(row);
                    for (int i = 0; i < 3; ++i) report.at(fr, 1, code, i + 1) = d[size_t(i)];
                    const int64_t total = rng.roundRandom(double(d[0]) * rng.uniform(0.85, 1.12) + f.size * kDebt.at(row) * rng.uniform(0, 0.1) * kMilli, kKopeck);
                    const int64_t overdue = overdueHabit && rng.chance(0.7) ? floorStep(double(total) * rng.uniform(0, 0.25), kKopeck) : 0;
                    d = {total, overdue, floorStep(double(overdue) * rng.uniform(0, 0.5), kKopeck)};
                    for (int i = 0; i < 3; ++i) report.at(fr, 1, code, i + 4) = d[size_t(i)];
                }
                if (!gap(year, 342, f.rec.UNICOD, month, gapChance(fr.forma, year, month))) add(std::move(report));
            }
        }
    }
    if (f.forms.count(117)) {
        std::map<int, double> kinds{{2, 180}};
        if (hospital) kinds[3] = 420;
        if (f.rec.VID == 1 || f.rec.VID == 7 || f.rec.VID == 8 || f.rec.VID == 13) kinds[4] = 40;
        if (f.rec.VID == 1 || f.rec.VID == 12) kinds[5] = 90;
        if (f.rec.VID == 12) kinds.erase(2);
        Rng rng(keyOf({int64_t(in_.seed), 117, f.rec.UNICOD}));
        std::map<int, std::array<int64_t, 2>> balance;
        for (auto [row, w] : kinds) {
            balance[row] = {rng.roundRandom(f.size * w * rng.uniform(0.2, 0.6) * kMilli, kKopeck),
                            rng.roundRandom(f.size * w * rng.uniform(0, 0.05) * kMilli, kKopeck)};
        }
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            if (!f.activeIn(year)) continue;
            const FormRef& fr = form(year, 117);
            for (int64_t month : periodsOf(fr.forma, year)) {
                Report report(fr, year, f.rec.UNICOD, f.rec.CODREG, month);
                for (auto& [row, b] : balance) {
                    const std::string code = std::to_string(row);
                    const int64_t inOms = rng.roundRandom(f.size * kinds.at(row) * rng.uniform(0.85, 1.15) * kMilli, kKopeck);
                    const int64_t inOther = rng.roundRandom(double(inOms) * rng.uniform(0.02, 0.1), kKopeck);
                    const int64_t outOms = floorStep(double(b[0] + inOms) * rng.uniform(0.7, 0.97), kKopeck);
                    const int64_t outOther = floorStep(double(b[1] + inOther) * rng.uniform(0.5, 0.95), kKopeck);
                    const double spent = double(outOms + outOther);
                    const std::array<std::pair<int, int64_t>, 9> cells{{
                        {2, b[0]}, {3, b[1]}, {5, inOms}, {6, inOther}, {8, outOms}, {9, outOther},
                        {10, floorStep(spent * rng.uniform(0.5, 0.62), kKopeck)},
                        {11, floorStep(spent * rng.uniform(0.08, 0.2), kKopeck)},
                        {12, row == 3 ? floorStep(spent * rng.uniform(0.01, 0.04), kKopeck) : 0}}};
                    for (auto [i, v] : cells) report.at(fr, 1, code, i) = v;
                    b = {b[0] + inOms - outOms, b[1] + inOther - outOther};
                }
                if (!gap(year, 117, f.rec.UNICOD, month, gapChance(fr.forma, year, month))) add(std::move(report));
            }
        }
    }
    if (f.forms.count(124)) {
        static const std::map<int, double> kUse{{2, 8}, {3, 6}, {4, 3}, {5, 5}, {6, 10}};
        Rng rng(keyOf({int64_t(in_.seed), 124, f.rec.UNICOD}));
        // Stock kept in four parts: essential or not, paid by insurance or not.
        struct Stock {
            std::array<double, 4> share;
            std::array<int64_t, 4> amount;
        };
        std::map<int, Stock> stock;
        for (auto [row, w] : kUse) {
            Stock s;
            const double essential = rng.uniform(0.5, 0.8), insured = rng.uniform(0.4, 0.7);
            s.share = {essential * insured, essential * (1 - insured), (1 - essential) * insured, (1 - essential) * (1 - insured)};
            for (int k = 0; k < 4; ++k) s.amount[size_t(k)] = rng.roundRandom(f.size * w * s.share[size_t(k)] * rng.uniform(1, 2) * kMilli, kKopeck);
            stock[row] = s;
        }
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            if (!f.activeIn(year)) continue;
            const FormRef& fr = form(year, 124);
            for (int64_t month : periodsOf(fr.forma, year)) {
                Report report(fr, year, f.rec.UNICOD, f.rec.CODREG, month);
                for (auto& [row, s] : stock) {
                    // Columns 1–3 stock, 4–6 received, 7–9 used, 10–12 written off: all, essential, insured.
                    std::array<int64_t, 12> v{};
                    for (int k = 0; k < 4; ++k) {
                        const int64_t have = s.amount[size_t(k)];
                        const int64_t in = rng.roundRandom(f.size * kUse.at(row) * s.share[size_t(k)] * rng.uniform(0.8, 1.2) * kMilli, kKopeck);
                        const int64_t used = floorStep(double(have + in) * rng.uniform(0.4, 0.7), kKopeck);
                        const int64_t off = floorStep(double(have + in - used) * rng.uniform(0, 0.01), kKopeck);
                        const std::array<int64_t, 4> flow{have, in, used, off};
                        for (int j = 0; j < 4; ++j) {
                            v[size_t(3 * j)] += flow[size_t(j)];
                            if (k < 2) v[size_t(3 * j + 1)] += flow[size_t(j)];
                            if (k % 2 == 0) v[size_t(3 * j + 2)] += flow[size_t(j)];
                        }
                        s.amount[size_t(k)] = have + in - used - off;
                    }
                    for (int i = 0; i < 12; ++i) report.at(fr, 1, std::to_string(row), i + 1) = v[size_t(i)];
                }
                if (!gap(year, 124, f.rec.UNICOD, month, gapChance(fr.forma, year, month))) add(std::move(report));
            }
        }
    }
}

// Planned volumes of care: the yearly plan, its share up to the quarter,
// what was done since the start of the year and the per cent of the plan.
void Generator::plannedVolumes(const Facility& f) {
    if (!f.forms.count(62)) return;
    const int vid = f.rec.VID;
    std::map<int, double> rows;
    if (vid == 1 || vid == 4 || vid == 8 || vid == 9) {
        rows[1] = 2900;
        rows[2] = 1800;
    }
    if (vid == 1 || vid == 7 || vid == 13 || vid == 14) {
        rows[3] = 170;
        rows[4] = 60;
    }
    if (vid == 1 || vid == 12) rows[5] = 300;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        if (!f.activeIn(year)) continue;
        const FormRef& fr = form(year, 62);
        Rng rng(keyOf({int64_t(in_.seed), 62, year, f.rec.UNICOD}));
        std::map<int, std::pair<int64_t, int64_t>> planDone;  // plan for the year, done so far
        for (auto [row, w] : rows) planDone[row] = {std::llround(f.size * w * rng.uniform(0.9, 1.1)), 0};
        for (int64_t q : periodsOf(fr.forma, year)) {
            Report report(fr, year, f.rec.UNICOD, f.rec.CODREG, q);
            for (auto& [row, pd] : planDone) {
                const int64_t planned = pd.first * q / 4;
                pd.second += std::llround(double(pd.first) / 4 * rng.uniform(0.85, 1.08));
                const std::string code = std::to_string(row);
                report.at(fr, 1000, code, 1) = pd.first * kMilli;
                report.at(fr, 1000, code, 2) = planned * kMilli;
                report.at(fr, 1000, code, 3) = pd.second * kMilli;
                report.at(fr, 1000, code, 4) = planned ? std::llround(double(pd.second) * 1000.0 / double(planned)) * 100 : 0;
            }
            if (!gap(year, 62, f.rec.UNICOD, q, gapChance(fr.forma, year, q))) add(std::move(report));
        }
    }
}

// Wage fund, head count and the average monthly wage of each staff group.
void Generator::salaries(const Facility& f) {
    if (!f.forms.count(820)) return;
    static const std::array<std::pair<double, double>, 4> kGroups{{{3.5, 78000}, {8, 42000}, {2.5, 30000}, {4, 35000}}};
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        if (!f.activeIn(year)) continue;
        const FormRef& fr = form(year, 820);
        for (int64_t q : periodsOf(fr.forma, year)) {
            if (gap(year, 820, f.rec.UNICOD, q, gapChance(fr.forma, year, q))) continue;
            Rng rng = reportRng(year, 820, f.rec.UNICOD, q);
            Report report(fr, year, f.rec.UNICOD, f.rec.CODREG, q);
            for (int g = 0; g < 4; ++g) {
                const auto [perSize, wage] = kGroups[size_t(g)];
                const int64_t heads = std::max<int64_t>(1, std::llround(f.size * perSize * rng.uniform(0.8, 1.2) * 10));  // tenths
                const double monthly = wage * (year == kLastYear ? 1.08 : 1.0) * rng.uniform(0.85, 1.15);
                // The fund in thousands of roubles to the kopeck, and the wage it gives per head and month.
                const int64_t fund = std::llround(double(heads) / 10 * monthly * 3 / 10) * kKopeck;
                const double wagePerMonth = double(fund) / (double(heads) / 10 * 3);
                const std::string code = std::to_string(g + 1);
                report.at(fr, 1, code, 1) = fund;
                report.at(fr, 1, code, 2) = heads * 100;
                report.at(fr, 1, code, 3) = std::llround(wagePerMonth * 100) * kKopeck;
            }
            add(std::move(report));
        }
    }
}

// Population of every district and city at the start of the year, and the
// population attached to each facility that serves one: the district's
// people shared out, towns among the town facilities, villages among the
// village ones and the central hospital.
void Generator::population(int year) {
    const FormRef& fr = form(year, 999);
    for (const DistrictInfo& d : *in_.districts) {
        if (!reportsAsDistrict(d.code)) continue;
        Rng rng(keyOf({int64_t(in_.seed), 999, year, d.code}));
        const double total = double(d.population) * (year == kLastYear ? 0.994 : 1.0);
        const double urban = d.code >= 100 ? 1.0 : d.urbanPercent / 100.0;
        Report report(fr, year, districtReport(d.code), d.code, 0);
        std::array<std::array<int64_t, 4>, 2> parts{};  // urban, rural: children, adolescents, adults, elderly
        for (int k = 0; k < 2; ++k) {
            const double people = total * (k == 0 ? urban : 1 - urban);
            if (people < 1) continue;
            const double children = rng.uniform(0.15, 0.19), teens = rng.uniform(0.03, 0.04);
            const int64_t c = std::llround(people * children), t = std::llround(people * teens);
            const int64_t a = std::llround(people) - c - t;
            parts[size_t(k)] = {c, t, a, std::llround(double(a) * rng.uniform(k == 0 ? 0.28 : 0.34, k == 0 ? 0.34 : 0.42))};
            for (int i = 0; i < 4; ++i) report.at(fr, 1, k == 0 ? "2" : "3", i + 2) = parts[size_t(k)][size_t(i)] * kMilli;
        }
        add(report);
        // Shares of the facilities.
        std::vector<const Facility*> town, village;
        for (const Facility* f : districtFacilities(d.code)) {
            if (!f->forms.count(999) || !f->activeIn(year)) continue;
            (f->rec.SEL == 1 ? town : village).push_back(f);
            if (f->rec.VID == 1) village.push_back(f);
        }
        for (int k = 0; k < 2; ++k) {
            const auto& list = k == 0 ? town : village;
            std::vector<double> weights;
            for (const Facility* f : list) weights.push_back(f->size);
            std::vector<std::vector<int64_t>> columns;
            for (int i = 0; i < 4; ++i) columns.push_back(split(parts[size_t(k)][size_t(i)], weights));
            for (size_t j = 0; j < list.size(); ++j) {
                Report* r = find(year, 999, list[j]->rec.UNICOD, 0);
                if (!r) {
                    add(Report(fr, year, list[j]->rec.UNICOD, d.code, 0));
                    r = &out_.files[{year, 999}].back();
                }
                for (int i = 0; i < 4; ++i) r->at(fr, 1, k == 0 ? "2" : "3", i + 2) += columns[size_t(i)][j] * kMilli;
                calculate(fr, *r);
            }
        }
    }
}

// The district's network, beds and staff at the start and the end of the year.
void Generator::network(int year) {
    const FormRef& fr = form(year, 910);
    static const std::set<int> kHospitals{1, 2, 3, 7, 11, 13, 14, 15, 17}, kClinics{4, 5, 8, 9, 10, 16};
    Report region(fr, year, kRegion, kRegionDistrict, 0);
    for (const DistrictInfo& d : *in_.districts) {
        if (!reportsAsDistrict(d.code)) continue;
        Rng rng(keyOf({int64_t(in_.seed), 910, year, d.code}));
        if (year == kLastYear && !rng.chance(0.5)) continue;
        Report report(fr, year, districtReport(d.code), d.code, 0);
        int64_t beds[2] = {0, 0}, doctors = 0, nurses = 0;
        for (const Facility* f : districtFacilities(d.code)) {
            const bool atStart = f->rec.SYEAR < year && (f->rec.EYEAR == 0 || f->rec.EYEAR >= year);
            const bool atEnd = f->rec.SYEAR <= year && (f->rec.EYEAR == 0 || f->rec.EYEAR > year);
            const char* row = kHospitals.count(f->rec.VID) ? "1" : kClinics.count(f->rec.VID) ? "2" : f->rec.VID == 6 ? "3" : nullptr;
            if (row) {
                report.at(fr, 1, row, 1) += atStart ? kMilli : 0;
                report.at(fr, 1, row, 2) += atEnd ? kMilli : 0;
            }
            auto start = bedsAtStart_.find(f->rec.UNICOD);
            if (start != bedsAtStart_.end() && start->second.count(year)) beds[0] += start->second.at(year);
            auto sums = bedYear_.find(f->rec.UNICOD);
            if (sums != bedYear_.end()) {
                for (auto& [p, s] : sums->second) beds[1] += s[0];
            }
            if (Report* staff = find(kFirstYear, 30, f->rec.UNICOD, 0)) {
                const FormRef& f30 = form(kFirstYear, 30);
                doctors += staff->at(f30, 1100, "1", 3) / kMilli;
                nurses += staff->at(f30, 1100, "10", 3) / kMilli;
            }
        }
        if (year == kLastYear) beds[1] = std::llround(double(beds[0]) * rng.uniform(0.97, 1.02));
        const double drift = year == kLastYear ? rng.uniform(0.98, 1.03) : 1.0;
        report.at(fr, 1, "4", 1) = beds[0] * kMilli;
        report.at(fr, 1, "4", 2) = beds[1] * kMilli;
        report.at(fr, 1, "5", 1) = std::llround(double(doctors) * rng.uniform(0.97, 1.03)) * kMilli;
        report.at(fr, 1, "5", 2) = std::llround(double(doctors) * drift) * kMilli;
        report.at(fr, 1, "6", 1) = std::llround(double(nurses) * rng.uniform(0.97, 1.03)) * kMilli;
        report.at(fr, 1, "6", 2) = std::llround(double(nurses) * drift) * kMilli;
        for (size_t r = 0; r < report.cells[0].size(); ++r) {
            for (int i = 0; i < 2; ++i) region.cells[0][r][size_t(i)] += report.cells[0][r][size_t(i)];
        }
        add(std::move(report));
    }
    if (year < kLastYear) add(std::move(region));
}

// Births and deaths of infants and mothers, month by month, with the running sums since January.
void Generator::births(const DistrictInfo& d) {
    if (!reportsAsDistrict(d.code)) return;
    Rng rng(keyOf({int64_t(in_.seed), 950, d.code}));
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        const FormRef& fr = form(year, 950);
        std::array<int64_t, 5> sinceJanuary{};
        for (int64_t month : periodsOf(fr.forma, year)) {
            const int64_t born = rng.roundRandom(double(d.population) * rng.uniform(8, 12) / 1000 / 12, 1);
            const int64_t infants = rng.roundRandom(double(born) * rng.uniform(0.003, 0.007), 1);
            const int64_t early = std::min(infants, rng.roundRandom(double(infants) * rng.uniform(0.3, 0.6), 1));
            const int64_t still = rng.roundRandom(double(born) * 0.004, 1);
            const int64_t mothers = rng.chance(double(born) / 40000) ? 1 : 0;
            const std::array<int64_t, 5> month_{born, infants, early, still, mothers};
            Report report(fr, year, districtReport(d.code), d.code, month);
            for (int r = 0; r < 5; ++r) {
                sinceJanuary[size_t(r)] += month_[size_t(r)];
                report.at(fr, 1, std::to_string(r + 1), 1) = month_[size_t(r)] * kMilli;
                report.at(fr, 1, std::to_string(r + 1), 2) = sinceJanuary[size_t(r)] * kMilli;
            }
            add(std::move(report));
        }
    }
}

// The region's standards and targets, entered for the region as a whole.
void Generator::regionValues(int year) {
    const FormRef& fr = form(year, 998);
    static const std::array<std::array<int64_t, 2>, 5> k2025{{{375, 400}, {950, 1000}, {800, 750}, {45, 42}, {16500, 16000}}};
    Report report(fr, year, kRegion, kRegionDistrict, 0);
    for (int r = 0; r < 5; ++r) {
        for (int i = 0; i < 2; ++i) {
            const int64_t tenths = k2025[size_t(r)][size_t(i)] - (year == kLastYear && i == 1 ? k2025[size_t(r)][1] / 50 : 0);
            report.at(fr, 1, std::to_string(r + 1), i + 1) = tenths * 100;
        }
    }
    add(std::move(report));
}

// The deliberate control violations listed in the demo's README.
void Generator::violate() {
    auto change = [&](int year, int formCode, int facility, int64_t period, const std::string& rules, const std::string& what,
                      const std::function<void(const FormRef&, Report&)>& edit) {
        Report* r = find(year, formCode, facility, period);
        if (!r) return;
        const FormRef& fr = form(year, formCode);
        edit(fr, *r);
        calculate(fr, *r);
        out_.violations.push_back({year, formCode, facility, period, rules, what});
    };
    change(kFirstYear, 12, 701, 0, "ContrStr",
           "т.3000 стр.10.1 гр.4 больше стр.10.0: повышенное давление без болезней кровообращения",
           [](const FormRef& f, Report& r) {
               int64_t slack = 0;
               for (int t : {1000, 2000}) slack += r.at(f, t, "10.0", 1) - r.at(f, t, "10.1", 1);
               r.at(f, 3000, "10.1", 1) = r.at(f, 3000, "10.0", 1) + slack + 15 * kMilli;
           });
    change(kFirstYear, 30, 1001, 0, "ContrGr", "т.1100 стр.2: занятых должностей терапевтов больше штатных",
           [](const FormRef& f, Report& r) { r.at(f, 1100, "2", 2) = r.at(f, 1100, "2", 1) + 1500; });
    change(kLastYear, 117, 3004, 5, "ContrGr", "стр.2: расходы по статьям (гр.12–14) больше израсходованного (гр.9)",
           [](const FormRef& f, Report& r) { r.at(f, 1, "2", 10) = r.at(f, 1, "2", 8) + r.at(f, 1, "2", 9) + 50 * kMilli; });
    change(kFirstYear, 12, 2201, 0, "ContrTab", "т.4000 стр.10.0 гр.4 больше, чем в т.3000",
           [](const FormRef& f, Report& r) { r.at(f, 4000, "10.0", 1) = r.at(f, 3000, "10.0", 1) + 40 * kMilli; });
    change(kFirstYear, 14, 1901, 0, "ContrMF", "т.2000 стр.7: 12 выписанных лишних, ф.14 не сходится с ф.30 (межформенный контроль 1)",
           [](const FormRef& f, Report& r) { r.at(f, 2000, "7", 1) += 12 * kMilli; });
    change(kLastYear, 950, districtReport(5), 4, "ContrStr ContrGr", "стр.3 за месяц больше стр.2: умерших в 0–6 суток больше умерших до 1 года",
           [](const FormRef& f, Report& r) { r.at(f, 1, "3", 1) = r.at(f, 1, "2", 1) + kMilli; });
}

// Reports that travel to the region in the files of the import folder
// instead of being in the value files already.
void Generator::withhold() {
    auto take = [&](Delivery how, int year, int formCode, int facility, int64_t period) {
        auto it = out_.files.find({year, formCode});
        if (it == out_.files.end()) return;
        auto& list = it->second;
        for (auto r = list.begin(); r != list.end(); ++r) {
            if (r->facility == facility && r->period == period) {
                out_.withheld.emplace_back(how, std::move(*r));
                list.erase(r);
                return;
            }
        }
    };
    for (int f : {16, 117, 124, 342}) take(Delivery::FacilityFile, kLastYear, f, 401, kLastMonth);
    for (const Facility* f : districtFacilities(9)) take(Delivery::DistrictFile, kLastYear, 16, f->rec.UNICOD, kLastMonth);
    take(Delivery::ConsolidatedFile, kLastYear, 950, districtReport(7), kLastMonth);
    for (int f : {3001, 3002}) take(Delivery::OldFormat, kLastYear, 342, f, 10);
    take(Delivery::Billing, kLastYear, 117, 1601, 10);
}

// Month 11 of the year in progress: reports of forms 117 and 950 as real
// installations come to hold them. Each is a copy or a sum of stored
// reports, so the calculations and controls hold for them too.
void Generator::registryCases() {
    auto stored = [&](int formCode) -> std::vector<Report>* {
        auto it = out_.files.find({kLastYear, formCode});
        return it == out_.files.end() ? nullptr : &it->second;
    };
    std::vector<Report>* finance = stored(117);
    std::vector<Report>* births = stored(950);
    if (!finance || !births) return;
    auto firstOf = [](std::vector<Report>& reports, auto&& wanted) -> const Report* {
        const Report* first = nullptr;
        for (const Report& r : reports) {
            if (r.period == kLastMonth && wanted(r) && (!first || r.facility < first->facility)) first = &r;
        }
        return first;
    };
    std::set<int> districtCodes, facilityCodes;
    for (const DistrictInfo& d : *in_.districts) districtCodes.insert(d.code);
    for (const Facility& f : *in_.facilities) facilityCodes.insert(f.rec.UNICOD);
    auto note = [&](const Report& r, std::string what) {
        out_.registryCases.push_back({r.year, r.form, r.facility, r.period, r.district, std::move(what)});
    };

    const Report* source = firstOf(*finance, [](const Report& r) { return r.facility < kRegion; });
    if (!source) return;
    const Report original = *source;
    std::vector<Report> added;
    {
        // Stored under the next rural district: the facility was moved in the registry after it reported.
        Report& moved = *find(kLastYear, 117, original.facility, kLastMonth);
        auto next = districtCodes.upper_bound(moved.district);
        if (next == districtCodes.end() || *next >= 100) next = districtCodes.begin();
        moved.district = *next;
        note(moved, "хранится с кодом района " + std::to_string(moved.district) + ", в справочнике учреждение района " +
                        std::to_string(original.district));
    }
    int missing = 9001;
    while (facilityCodes.count(missing)) ++missing;
    Report unknown = original;
    unknown.facility = missing;
    note(unknown, "учреждения нет в справочнике учреждений");
    added.push_back(std::move(unknown));
    // A private clinic of a kind the list of kinds lacks.
    data::Bolnbol clinic;
    clinic.UNICOD = missing + 1;
    while (facilityCodes.count(clinic.UNICOD)) ++clinic.UNICOD;
    clinic.CODREG = original.district;
    clinic.VID = 77;
    clinic.NAZV = "Медицинский центр «Здоровье»";
    clinic.SEL = 1;
    clinic.SYEAR = kLastYear;
    out_.unlistedFacilities.push_back(clinic);
    Report unlisted = original;
    unlisted.facility = clinic.UNICOD;
    note(unlisted, "вид учреждения 77 отсутствует в справочнике видов");
    added.push_back(std::move(unlisted));
    for (Report& r : added) finance->push_back(std::move(r));

    const FormRef& f950 = form(kLastYear, 950);
    Report districts(f950, kLastYear, kRegion + 1, kRegionDistrict + 1, kLastMonth);
    const Report* firstDistrict = nullptr;
    for (const Report& r : *births) {
        if (r.period != kLastMonth || r.facility <= kRegion || r.district >= 100) continue;
        if (!firstDistrict || r.facility < firstDistrict->facility) firstDistrict = &r;
        for (size_t t = 0; t < r.cells.size(); ++t) {
            for (size_t row = 0; row < r.cells[t].size(); ++row) {
                for (size_t i = 0; i < r.cells[t][row].size(); ++i) districts.cells[t][row][i] += r.cells[t][row][i];
            }
        }
    }
    if (!firstDistrict) return;
    int absent = 27;
    while (districtCodes.count(absent)) ++absent;
    Report orphan = *firstDistrict;
    orphan.facility = districtReport(absent);
    orphan.district = absent;
    note(orphan, "района " + std::to_string(absent) + " нет в справочнике районов");
    note(districts, "свод по районам области (без городов)");
    births->push_back(std::move(orphan));
    births->push_back(std::move(districts));
}

Status Generator::run() {
    for (int f : {16, 117, 124, 342}) forced_.insert({kLastYear, f, 401, kLastMonth});
    for (const Facility* f : districtFacilities(9)) forced_.insert({kLastYear, 16, f->rec.UNICOD, kLastMonth});
    for (int f : {3001, 3002}) forced_.insert({kLastYear, 342, f, 10});
    forced_.insert({kLastYear, 117, 1601, 10});
    for (auto [year, formCode, facility, period] : std::initializer_list<std::tuple<int, int, int, int64_t>>{
             {kLastYear, 117, 3004, 5}, {kFirstYear, 12, 701, 0}, {kFirstYear, 12, 2201, 0}}) {
        forced_.insert({year, formCode, facility, period});
    }
    for (const Facility& f : *in_.facilities) {
        if (f.rec.EYEAR == kFirstYear) forced_.insert({kFirstYear, 5, f.rec.UNICOD, 2});
    }
    const std::set<int> special{14, 16, 30, 62, 117, 124, 342, 820, 910, 950, 998, 999};
    for (const Facility& f : *in_.facilities) {
        hospital(f);
        finance(f);
        plannedVolumes(f);
        salaries(f);
        for (int year = kFirstYear; year <= kLastYear; ++year) {
            for (int code : f.forms) {
                if (!special.count(code)) plainForm(f, year, code);
            }
            if (year == kLastYear) continue;
            // Yearly forms of the hospitals: the beds and patients of form 30 are
            // the sums of form 016/у, and the patients of form 14 are those of form 30.
            plainForm(f, year, 30);
            if (Report* r = find(year, 30, f.rec.UNICOD, 0); r && bedYear_.count(f.rec.UNICOD)) {
                const FormRef& fr = form(year, 30);
                for (auto& [p, s] : bedYear_.at(f.rec.UNICOD)) {
                    const std::string row = std::to_string(p);
                    r->at(fr, 3100, row, 1) = s[0] * kMilli;
                    r->at(fr, 3100, row, 2) = std::llround(double(s[1]) / 12 * 10) * 100;
                    for (int i = 2; i < 6; ++i) r->at(fr, 3100, row, i + 1) = s[size_t(i)] * kMilli;
                }
                calculate(fr, *r);
            }
            plainForm(f, year, 14, [&](Filler& filler, int64_t) {
                const FormRef& f14 = form(year, 14);
                const TableRef& t = *f14.table(2000);
                int64_t discharged = 0;
                if (bedYear_.count(f.rec.UNICOD)) {
                    for (auto& [p, s] : bedYear_.at(f.rec.UNICOD)) discharged += s[3];
                }
                std::vector<std::string> rows;
                std::vector<double> weights;
                for (const data::Stroka& row : t.rows) {
                    auto pr = in_.plan->rows.find({14, 2000, row.CODSTR});
                    if (pr == in_.plan->rows.end() || !pr->second.parent.empty() || !contains(pr->second.kinds, f.rec.VID)) continue;
                    rows.push_back(row.CODSTR);
                    weights.push_back(pr->second.weight * filler.rng.uniform(0.8, 1.2));
                }
                const std::vector<int64_t> parts = split(discharged, weights);
                for (size_t i = 0; i < rows.size(); ++i) filler.presets[{2000, rows[i]}] = parts[i] * kMilli;
            });
        }
    }
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        population(year);
        network(year);
        regionValues(year);
    }
    for (const DistrictInfo& d : *in_.districts) births(d);
    // The hospital that closed did no vaccinations in its last half-year and sent its report empty.
    for (const Facility& f : *in_.facilities) {
        if (f.rec.EYEAR != kFirstYear) continue;
        if (Report* r = find(kFirstYear, 5, f.rec.UNICOD, 2)) {
            r->empty = true;
            for (auto& table : r->cells) std::fill(table.begin(), table.end(), Cells{});
            break;
        }
    }
    violate();
    withhold();
    registryCases();
    return Status::ok();
}

}  // namespace

Status Plan::read(const fs::path& dataDir) {
    TextTable t;
    if (Status st = t.read(dataDir / "plan_tables.tsv"); !st) return st;
    for (size_t i = 0; i < t.size(); ++i) {
        tables[{t.integer(i, "FORM"), t.integer(i, "TABLE")}] = {t.number(i, "SCALE"), t.integer(i, "PARENT"), t.number(i, "LO"),
                                                                  t.number(i, "HI"), t.integers(i, "KINDS")};
    }
    TextTable r;
    if (Status st = r.read(dataDir / "plan_rows.tsv"); !st) return st;
    for (size_t i = 0; i < r.size(); ++i) {
        rows[{r.integer(i, "FORM"), r.integer(i, "TABLE"), r.text(i, "ROW")}] = {r.number(i, "WEIGHT"), r.text(i, "PARENT"),
                                                                                r.number(i, "LO"), r.number(i, "HI"), r.integers(i, "KINDS")};
    }
    TextTable c;
    if (Status st = c.read(dataDir / "plan_cols.tsv"); !st) return st;
    for (size_t i = 0; i < c.size(); ++i) {
        columns[{c.integer(i, "FORM"), c.integer(i, "TABLE"), c.integer(i, "COL")}] = {c.number(i, "SCALE"), c.integer(i, "PARENT"),
                                                                                      c.number(i, "LO"), c.number(i, "HI"), c.number(i, "STEP")};
    }
    return Status::ok();
}

Status generateValues(const GenerationInput& input, Generated& out) {
    try {
        return Generator(input, out).run();
    } catch (const std::out_of_range& e) {
        // The reference of data/demo lacks a row or table that the generator fills.
        return Status::fail(platform::ErrorKind::Invalid, std::string("Справочники демонстрации не подходят к генератору отчетов: ") + e.what());
    }
}

}  // namespace tavir::demo
