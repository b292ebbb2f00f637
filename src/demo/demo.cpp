#include "demo/demo.h"

#include "demo/office_files.h"

#include "data/dictionary.h"
#include "data/paths.h"
#include "data/record_binding.h"
#include "data/records.h"
#include "data/tsv_records.h"
#include "demo/import_files.h"
#include "demo/office_files.h"
#include "demo/pictures.h"
#include "demo/rng.h"
#include "demo/text_table.h"
#include "platform/cp1251.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <sstream>

namespace tavir::demo {

namespace fs = std::filesystem;
using platform::ErrorKind;
using platform::Status;

namespace {

Status ioFail(const std::string& what) { return Status::fail(ErrorKind::Io, what); }

// Loads a reference TSV into a new keyed file through the loader of tavir-cli load.
Status loadInto(std::istream& in, std::string_view label, const fs::path& target, const std::string& source) {
    data::LoadReport report;
    Status st = data::loadTsv(*data::findFile(label), target, in, report);
    if (!st) return Status::fail(st.kind(), source + ": " + st.message());
    return st;
}

Status loadFile(const fs::path& dataDir, const std::string& name, std::string_view label, const fs::path& target) {
    std::ifstream in(dataDir / name);
    if (!in) return Status::fail(ErrorKind::NotFound, "Нет файла " + (dataDir / name).string());
    return loadInto(in, label, target, (dataDir / name).string());
}

Status createEmpty(std::string_view label, const fs::path& path) { return platform::KeyedFile::create(*data::findFile(label), path); }

// --- Facilities ------------------------------------------------------------

Status readFacilities(const fs::path& file, std::vector<data::Bolnbol>& out) {
    std::ifstream in(file);
    if (!in) return Status::fail(ErrorKind::NotFound, "Нет файла " + file.string());
    const platform::FileDef& def = *data::findFile(data::label::bolnbol);
    data::TsvDecoder decoder(def);
    platform::Record record(def);
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (n == 1) {
            if (Status st = decoder.readHeader(line); !st) return st;
            continue;
        }
        if (line.empty()) continue;
        if (Status st = decoder.decode(line, record); !st) return Status::fail(st.kind(), file.string() + ", строка " + std::to_string(n) + ": " + st.message());
        data::Bolnbol b;
        data::fromRecord(record, b);
        out.push_back(b);
    }
    return Status::ok();
}

// Village posts and practices of the rural districts may be left out of a
// smaller demo; the facilities that something of the demo relies on stay.
bool droppable(const data::Bolnbol& b) {
    return (b.VID == 3 || b.VID == 5 || b.VID == 6) && b.SEL == 2 && b.S.empty() && b.EYEAR == 0 && b.CODREG < 100;
}

// "Алексеевская ЦРБ" -> "Алексеевской ЦРБ".
std::string genitive(const std::string& hospital) {
    const std::string ending = "ая ЦРБ";
    if (hospital.size() > ending.size() && hospital.compare(hospital.size() - ending.size(), ending.size(), ending) == 0) {
        return hospital.substr(0, hospital.size() - ending.size()) + "ой ЦРБ";
    }
    return hospital;
}

Status scaleFacilities(std::vector<data::Bolnbol>& list, int wanted) {
    if (wanted == 0 || wanted == int(list.size())) return Status::ok();
    if (wanted < int(list.size())) {
        // Drop the last village facilities of every district in turn.
        std::map<int, std::vector<size_t>> byDistrict;
        for (size_t i = 0; i < list.size(); ++i) {
            if (droppable(list[i])) byDistrict[list[i].CODREG].push_back(i);
        }
        std::set<size_t> drop;
        const size_t need = list.size() - size_t(wanted);
        for (bool any = true; any && drop.size() < need;) {
            any = false;
            for (auto& [d, idx] : byDistrict) {
                if (idx.empty() || drop.size() >= need) continue;
                drop.insert(idx.back());
                idx.pop_back();
                any = true;
            }
        }
        if (drop.size() < need) {
            return Status::fail(ErrorKind::Invalid, "Учреждений должно быть не меньше " + std::to_string(list.size() - drop.size()));
        }
        std::vector<data::Bolnbol> kept;
        for (size_t i = 0; i < list.size(); ++i) {
            if (!drop.count(i)) kept.push_back(list[i]);
        }
        list = std::move(kept);
        return Status::ok();
    }
    // More facilities: further village hospitals, practices and posts of the rural districts, in turn.
    std::map<int, int> lastCode;
    std::map<int, std::string> hospital;
    for (const data::Bolnbol& b : list) {
        if (b.CODREG >= 100) continue;
        lastCode[b.CODREG] = std::max(lastCode[b.CODREG], b.UNICOD);
        if (b.VID == 1) hospital[b.CODREG] = b.NAZV;
    }
    int number = 1;
    while (int(list.size()) < wanted) {
        bool added = false;
        for (auto& [d, code] : lastCode) {
            if (int(list.size()) >= wanted) break;
            if (code % 100 == 99) continue;
            ++code;
            static const std::array<std::pair<int, const char*>, 3> kKinds{{{3, "Участковая больница"}, {5, "Врачебная амбулатория"}, {6, "ФАП"}}};
            const auto& [kind, title] = kKinds[size_t(list.size() % kKinds.size())];
            data::Bolnbol b;
            b.UNICOD = code;
            b.CODREG = d;
            b.VID = kind;
            b.NAZV = platform::cutToWidth(std::string(title) + " № " + std::to_string(number) + " " + genitive(hospital[d]), 50);
            b.SEL = 2;
            b.SYEAR = 2000;
            list.push_back(b);
            added = true;
        }
        ++number;
        if (!added) return Status::fail(ErrorKind::Invalid, "Учреждений может быть не больше " + std::to_string(list.size()));
    }
    std::stable_sort(list.begin(), list.end(), [](const data::Bolnbol& a, const data::Bolnbol& b) {
        return a.CODREG != b.CODREG ? a.CODREG < b.CODREG : a.UNICOD < b.UNICOD;
    });
    return Status::ok();
}

Status loadFacilities(const std::vector<data::Bolnbol>& list, const fs::path& target) {
    const platform::FileDef& def = *data::findFile(data::label::bolnbol);
    std::string text;
    for (const std::string& c : data::tsvColumns(def)) text += (text.empty() ? "" : "\t") + c;
    text += '\n';
    platform::Record record(def);
    for (const data::Bolnbol& b : list) {
        data::toRecord(b, record);
        std::string line;
        if (Status st = data::encodeTsvLine(record, line); !st) return st;
        text += line + '\n';
    }
    std::istringstream in(text);
    return loadInto(in, data::label::bolnbol, target, "BOLN.dat");
}

Status describeFacilities(const fs::path& dataDir, const std::vector<data::Bolnbol>& list, uint64_t seed, std::vector<Facility>& out) {
    TextTable kinds;
    if (Status st = kinds.read(dataDir / "kinds.tsv"); !st) return st;
    std::map<int, size_t> byKind;
    for (size_t i = 0; i < kinds.size(); ++i) byKind[kinds.integer(i, "VID")] = i;
    for (const data::Bolnbol& b : list) {
        Facility f;
        f.rec = b;
        auto k = byKind.find(b.VID);
        if (k != byKind.end()) {
            Rng rng(keyOf({int64_t(seed), 1, b.UNICOD}));
            f.size = rng.uniform(kinds.number(k->second, "SMIN"), kinds.number(k->second, "SMAX"));
            f.forms = kinds.integers(k->second, "FORMS");
            for (int p : kinds.integers(k->second, "PROFILES")) f.profiles.push_back(p);
        }
        out.push_back(std::move(f));
    }
    return Status::ok();
}

Status readDistricts(const fs::path& dataDir, std::vector<DistrictInfo>& out) {
    TextTable regions, extra;
    if (Status st = regions.read(dataDir / "region1.tsv"); !st) return st;
    if (Status st = extra.read(dataDir / "districts.tsv"); !st) return st;
    std::map<int, size_t> byCode;
    for (size_t i = 0; i < extra.size(); ++i) byCode[extra.integer(i, "CODREG")] = i;
    for (size_t i = 0; i < regions.size(); ++i) {
        DistrictInfo d;
        d.code = regions.integer(i, "REG:CODREG");
        d.name = regions.text(i, "REG:NAME");
        if (auto it = byCode.find(d.code); it != byCode.end()) {
            d.population = extra.integer(it->second, "POPULATION");
            d.urbanPercent = extra.integer(it->second, "URBAN");
            d.x = extra.integer(it->second, "X");
            d.y = extra.integer(it->second, "Y");
        }
        out.push_back(d);
    }
    return Status::ok();
}

// --- Text files ------------------------------------------------------------

Status writeText(const fs::path& path, const std::vector<std::string>& lines) {
    Status st = platform::writeTextLinesCp1251(path, lines);
    if (!st) return Status::fail(st.kind(), path.string() + ": " + st.message());
    return st;
}

// A text file of the sources copied in Windows-1251.
Status copyText(const fs::path& from, const fs::path& to) {
    std::vector<std::string> lines;
    if (Status st = platform::readTextLines(from, lines); !st) return st;
    return writeText(to, lines);
}

Status writeDeadlines(const fs::path& dataDir, const fs::path& target) {
    TextTable t;
    if (Status st = t.read(dataDir / "sroki.tsv"); !st) return st;
    std::vector<std::string> lines;
    for (size_t i = 0; i < t.size(); ++i) lines.push_back(platform::padLeft(t.text(i, "FORM"), 4) + t.text(i, "TEXT"));
    return writeText(target, lines);
}

Status writeHelp(const fs::path& dataDir, const fs::path& dir, std::vector<HelpTopic>& topics) {
    TextTable t;
    if (Status st = t.read(dataDir / "help.tsv"); !st) return st;
    std::vector<std::string> lines;
    for (size_t i = 0; i < t.size(); ++i) {
        HelpTopic topic{t.text(i, "PICTURE"), t.text(i, "TITLE"), {}};
        std::string text = t.text(i, "TEXT");
        for (size_t start = 0;;) {
            const size_t bar = text.find('|', start);
            topic.lines.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
            if (bar == std::string::npos) break;
            start = bar + 1;
        }
        lines.push_back(platform::padRight(topic.picture, 20) + topic.title);
        topics.push_back(std::move(topic));
    }
    return writeText(dir / "help.TXT", lines);
}

// --- Value files -------------------------------------------------------------

Status writeValueFile(const fs::path& path, const FormRef& form, const std::vector<Report>* reports, int64_t& count) {
    if (Status st = createEmpty(data::label::otchet, path); !st) return st;
    if (!reports || reports->empty()) return Status::ok();
    data::RecordFile<data::Otchet> file(path);
    if (Status st = file.open(); !st) return st;
    platform::Transaction tx(file);
    for (const Report& r : *reports) {
        for (data::Otchet o : toRecords(form, r)) {
            if (Status st = file.add(o); !st) {
                return Status::fail(st.kind(), path.string() + ": " + st.message());
            }
            ++count;
        }
    }
    return tx.commit();
}

std::string periodText(int type, int64_t period) {
    switch (type) {
        case 0: return "годовой";
        case 1: return "месяц " + std::to_string(period);
        case 2: return std::to_string(period) + " квартал";
        case 3: return std::to_string(period) + " полугодие";
        default: return "период " + std::to_string(period);
    }
}

Status writeReadme(const fs::path& path, const DemoSummary& s, const Reference& ref) {
    std::ostringstream out;
    out << "Демонстрационная установка «Тарвинская область»\n"
           "================================================\n\n"
           "Рабочий каталог программы с вымышленными данными: 26 районов (коды 1–26),\n"
           "города Тарвин (101) и Ольмов (102), областные ЛПУ (201), ведомственные ЛПУ (202);\n"
        << s.facilities << " учреждений. Отчетные годы: 2025 (полностью) и 2026 (текущий: месячные\n"
           "отчеты по ноябрь, квартальные по 3 квартал, 1 полугодие, часть годовых).\n\n"
           "Что здесь есть\n"
           "  BOLN.dat, REGION1.dat, VIDUCH.dat       учреждения, районы, виды учреждений\n"
           "  USER1.dat, NAMEPROG.tps, WWOD.dat       настройки (департамент, вся область), программа\n"
           "  2025/, 2026/                            формы, таблицы, строки, графы, расчеты, контроли,\n"
           "                                          межформенные контроли, сроки, файлы отчетов F*.dat\n"
           "  TablP.dat, GrafaP.dat, POKAS.dat,       определения показателей; 7.MDS, 7.MDV — показатель\n"
           "  SapkiP.tps                              по текстовым файлам\n"
           "  RASRES.tps, RASRESN.tps                 сохраненный разрез\n"
           "  SpisMF.TXT                              список межформенных контролей\n"
           "  help.TXT, help*.bmp, karta.bmp          справка и карта области\n"
           "  Images/                                 слои карты районов (схемы 1–7, классы 1–5)\n"
           "  import/                                 файлы для загрузки отчетов, которых еще нет в базе\n"
           "  export/, impfile/, temp1/, doc/, XLS/   рабочие папки\n\n"
           "Файлы для загрузки (import/)\n";
    for (const std::string& n : s.importFiles) out << "  " << n << '\n';
    out << "\nНамеренные нарушения контролей\n";
    for (const Violation& v : s.violations) {
        const FormRef& f = ref.form(v.form);
        out << "  " << v.year << ", форма " << v.form << ", " << periodText(f.forma.TIP, v.period) << ", учреждение "
            << v.facility << " (" << v.rules << "): " << v.what << '\n';
    }
    out << "\nВсе остальные отчеты удовлетворяют расчетам таблиц и контролям.\n";
    out << "\nОсобые случаи для списков отчетов и полноты сдачи\n";
    for (const RegistryCase& c : s.registryCases) {
        const FormRef& f = ref.form(c.form);
        out << "  " << c.year << ", форма " << c.form << ", " << periodText(f.forma.TIP, c.period) << ", код "
            << c.facility << ": " << c.what << '\n';
    }
    out << "  Районы и города, не сдавшие отчет: у большинства форм отчитываются не все районы,\n"
           "  например форму 117 сдают только некоторые учреждения (нулевые строки полноты по районам).\n";
    std::ofstream f(path);
    f << out.str();
    if (!f) return ioFail("Не записан файл " + path.string());
    return Status::ok();
}

}  // namespace

fs::path defaultDataDir() { return fs::path(TAVIR_SOURCE_DIR) / "data" / "demo"; }

Status buildDemo(const DemoOptions& options, DemoSummary& summary) {
    std::error_code ec;
    const fs::path dir = options.dir;
    if (fs::exists(dir, ec) && !fs::is_empty(dir, ec)) {
        return Status::fail(ErrorKind::Invalid, "Каталог " + dir.string() + " не пуст: демонстрационная установка пишется в новый каталог");
    }
    const fs::path& src = options.dataDir;
    std::vector<data::Bolnbol> facilities;
    if (Status st = readFacilities(src / "bolnbol.tsv", facilities); !st) return st;
    if (Status st = scaleFacilities(facilities, options.facilities); !st) return st;
    for (const char* sub : {"", "temp1", "export", "import", "impfile", "doc", "XLS", "Images"}) {
        fs::create_directories(dir / sub, ec);
        if (ec) return ioFail("Не создан каталог " + (dir / sub).string() + ": " + ec.message());
    }
    const data::Installation inst(dir);

    // Reference files of both years.
    static const std::vector<std::pair<std::string, std::string_view>> kYearFiles{
        {"forma.tsv", data::label::forma},       {"tabl.tsv", data::label::tabl},         {"stroka.tsv", data::label::stroka},
        {"grafa.tsv", data::label::grafa},       {"Rash.tsv", data::label::rash},         {"ContrStr.tsv", data::label::contrStr},
        {"ContrGr.tsv", data::label::contrGr},   {"ContrTab.tsv", data::label::contrTab}, {"ContrMF.tsv", data::label::contrMF}};
    static const std::map<std::string_view, std::string> kYearNames{
        {data::label::forma, "Forma.dat"},       {data::label::tabl, "Tabl.dat"},         {data::label::stroka, "Stroka.dat"},
        {data::label::grafa, "Grafa.dat"},       {data::label::rash, "Rash.dat"},         {data::label::contrStr, "ContrStr.dat"},
        {data::label::contrGr, "ContrGr.dat"},   {data::label::contrTab, "ContrTab.dat"}, {data::label::contrMF, "ContrMF.dat"}};
    std::map<int, Reference> references;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        const fs::path yd = dir / data::yearDirName(year);
        fs::create_directories(yd, ec);
        if (ec) return ioFail("Не создан каталог " + yd.string() + ": " + ec.message());
        for (const auto& [name, label] : kYearFiles) {
            if (Status st = loadFile(src, name, label, yd / kYearNames.at(label)); !st) return st;
        }
        if (Status st = createEmpty(data::label::sapki, yd / "Sapki.tps"); !st) return st;
        if (Status st = references[year].read(yd); !st) return st;
        if (Status st = writeDeadlines(src, yd / "sroki.txt"); !st) return st;
    }

    // Registry, settings and analysis files (the facility registry once the
    // reports are made, which add facilities of their own).
    static const std::vector<std::tuple<std::string, std::string_view, std::string>> kTopFiles{
        {"region1.tsv", data::label::region1, "REGION1.dat"}, {"viduch.tsv", data::label::viduch, "VIDUCH.dat"},
        {"USER1.tsv", data::label::user1, "USER1.dat"},       {"NameProg.tsv", data::label::nameProg, "NAMEPROG.tps"},
        {"Pokas.tsv", data::label::pokas, "POKAS.dat"},       {"TablP.tsv", data::label::tablP, "TablP.dat"},
        {"GrafaP.tsv", data::label::grafaP, "GrafaP.dat"},    {"RASRES.tsv", data::label::rasres, "RASRES.tps"},
        {"RASRESN.tsv", data::label::rasresn, "RASRESN.tps"}};
    for (const auto& [name, label, target] : kTopFiles) {
        if (Status st = loadFile(src, name, label, dir / target); !st) return st;
    }
    if (Status st = createEmpty(data::label::wwod, dir / "WWOD.dat"); !st) return st;
    if (Status st = createEmpty(data::label::sapkiP, dir / "SapkiP.tps"); !st) return st;
    if (Status st = copyText(src / "SpisMF.txt", dir / "SpisMF.TXT"); !st) return st;
    if (Status st = copyText(src / "7.MDS", dir / "7.MDS"); !st) return st;
    if (Status st = copyText(src / "7.MDV", dir / "7.MDV"); !st) return st;

    // Report values.
    std::vector<Facility> described;
    if (Status st = describeFacilities(src, facilities, options.seed, described); !st) return st;
    std::vector<DistrictInfo> districts;
    if (Status st = readDistricts(src, districts); !st) return st;
    Plan plan;
    if (Status st = plan.read(src); !st) return st;
    Generated generated;
    const GenerationInput input{&references, &described, &districts, &plan, options.seed};
    if (Status st = generateValues(input, generated); !st) return st;
    std::vector<data::Bolnbol> registry = facilities;
    registry.insert(registry.end(), generated.unlistedFacilities.begin(), generated.unlistedFacilities.end());
    if (Status st = loadFacilities(registry, inst.bolnFile()); !st) return st;
    for (int year = kFirstYear; year <= kLastYear; ++year) {
        for (const auto& [code, form] : references.at(year).forms) {
            auto it = generated.files.find({year, code});
            const std::vector<Report>* reports = it == generated.files.end() ? nullptr : &it->second;
            if (Status st = writeValueFile(inst.valueFile(year, code), form, reports, summary.valueRecords); !st) return st;
        }
    }
    if (Status st = writeImportFiles(dir / "import", references.at(kLastYear), generated.withheld, summary.importFiles); !st) return st;

    // Pictures and help.
    std::vector<HelpTopic> topics;
    if (Status st = writeHelp(src, dir, topics); !st) return st;
    for (const HelpTopic& t : topics) {
        if (platform::equalsIgnoreAsciiCase(t.picture, "karta.bmp")) continue;
        if (Status st = writeHelpPicture(dir / t.picture, t); !st) return st;
    }
    if (Status st = writeRegionMap(dir / "karta.bmp", districts); !st) return st;
    if (Status st = writeMapImages(dir / "Images", districts); !st) return st;
    if (Status st = writeTemplates(dir / "XLS", references.at(kLastYear)); !st) return st;
    if (Status st = writeBlankForms(dir / "doc", references.at(kLastYear)); !st) return st;

    summary.facilities = int(facilities.size());
    summary.violations = generated.violations;
    summary.registryCases = generated.registryCases;
    return writeReadme(dir / "README.txt", summary, references.at(kFirstYear));
}

}  // namespace tavir::demo
