// A small installation for the registry windows, year 2013:
//   districts 5 "Береговой", 7 "Озерный" (rural), 101 "Тарвин", 102 "Ольмов"
//   (cities), 201 "Областные учреждения"; kinds 1 ЦРБ, 2 участковая
//   больница, 3 поликлиника;
//   form 12 monthly (a column of kind 1 among the values: the column-kind
//   switch is offered), 14 quarterly, 15 half-yearly, 16 daily, 30 annual.
//   Form 12 holds March reports of every kind of entry (a report stored
//   under three rows, pseudo-facilities, a facility missing from the
//   registry, a facility stored under another district than its own) and a
//   February report of 310.
#pragma once

#include "../app/installation_fixture.h"
#include "app/shared_state.h"
#include "platform/scripted_interaction.h"

namespace tavir::fixture {

class RegistryInstallation : public InstallationFixture {
public:
    static constexpr int kYear = 2013;

    RegistryInstallation() {
        regions({{5, "Береговой"}, {7, "Озерный"}, {101, "Тарвин"}, {102, "Ольмов"}, {201, "Областные учреждения"}});
        write<data::Viduch>(dir() / "VIDUCH.dat", {{1, "ЦРБ"}, {2, "Участковая больница"}, {3, "Поликлиника"}});
        facilities({facility(310, 5, "Береговая ЦРБ", 1, 2), facility(320, 5, "Участковая больница Мыс", 2, 2),
                    facility(330, 5, "участковая больница Бор", 2, 3), facility(340, 5, "УЧАСТКОВАЯ больница Лог", 2, 2),
                    facility(710, 7, "Озерная ЦРБ", 1, 2), facility(720, 7, "Озерная поликлиника", 3, 1),
                    facility(1010, 101, "Городская поликлиника 1", 3, 1),
                    facility(2010, 201, "Областная больница", 1, 1)});
        write<data::Wwod>(dir() / "WWOD.dat", {});
        forms(kYear, {form(12, "12", "Сведения о заболеваемости", 1), form(14, "14", "Квартальный отчет", 2),
                      form(15, "15", "Полугодовой отчет", 3), form(16, "16", "Ежедневная сводка", 5),
                      form(30, "30", "Сведения об учреждении", 0)});
        data::Grafa kindOne = column(12, 1, 3, "Число коек", 0);
        kindOne.VID = 1;
        data::Grafa descriptive = column(14, 1, 1, "Наименование", 1);
        descriptive.VID = 1;
        write<data::Grafa>(file("Grafa.dat"), {column(12, 1, 1, "Наименование", 1), kindOne, descriptive,
                                               column(14, 1, 2, "Всего", 0)});
        write<data::Otchet>(valueFile(12),
                            {value(3, 310, 3, 5), value(3, 310, 1, 5), value(3, 310, 2, 5), value(2, 310, 1, 5),
                             value(3, 320, 1, 5), value(3, 330, 1, 5), value(3, 340, 1, 5), value(3, 710, 1, 7),
                             value(3, 720, 1, 5), value(3, 999, 1, 7), value(3, 1010, 1, 101),
                             value(3, 2010, 1, 201), value(3, 20000, 1, 0), value(3, 20001, 1, 0),
                             value(3, 21005, 1, 5), value(3, 21101, 1, 101), value(3, 21009, 1, 9)});
        write<data::Otchet>(valueFile(14), {value(1, 310, 1, 5), value(2, 310, 1, 5)});
        write<data::Otchet>(valueFile(15), {});
        write<data::Otchet>(valueFile(16), {});
        write<data::Otchet>(valueFile(30), {value(0, 310, 1, 5), value(0, 710, 1, 7)});
        state.globYear = kYear;
        state.globYearS = kYear;
        state.globYearE = kYear;
    }

    static data::Otchet value(int period, int facility, int row, int district) {
        data::Otchet o;
        o.MES = period;
        o.CODUCH = facility;
        o.UNICODSTR = row;
        o.CODREG = district;
        o.TIP = 1;
        o.DATA[0] = platform::Decimal::fromMilli(1000);
        return o;
    }

    std::filesystem::path file(const std::string& name) const { return dir() / data::yearDirName(kYear) / name; }
    std::filesystem::path valueFile(int form) const { return file(data::valueFileName(form)); }

    app::SharedState state;
    platform::ScriptedInteraction ui;
};

}  // namespace tavir::fixture
