// A region of three districts with the facilities of district 5 chosen to
// exercise every facility filter, and forms of 2014 with deadline texts.
#pragma once

#include "../app/installation_fixture.h"

namespace tavir::fixture {

inline void buildRegion(InstallationFixture& fx) {
    fx.regions({{5, "Береговой"}, {7, "Озерный"}, {101, "г. Тарвин"}});
    auto f = &InstallationFixture::facility;
    auto unitOf = [](data::Bolnbol b, std::string s) {
        b.S = std::move(s);
        return b;
    };
    auto years = [](data::Bolnbol b, int start, int end) {
        b.SYEAR = start;
        b.EYEAR = end;
        return b;
    };
    // Added out of the chooser's order: it sorts by kind, then settlement mark.
    fx.facilities({
        f(7312, 5, "Стоматология Береговой ЦРБ", 5, 1),
        unitOf(f(313, 5, "Участковая больница Ключи", 2, 2), "  312"),
        f(312, 5, "Береговая ЦРБ", 1, 1),
        unitOf(f(314, 5, "ФАП Луговое", 2, 1), "xx00312 и прочее"),
        unitOf(f(315, 5, "Больница Заречье", 1, 2), "  315"),
        f(7315, 5, "Стоматология Заречье", 5, 1),
        years(f(316, 5, "Закрытая больница", 1, 1), 0, 2012),
        years(f(317, 5, "Новая больница", 1, 1), 2015, 0),
        f(318, 5, "Санаторий", 1, 3),
        f(700, 7, "Озерная ЦРБ", 1, 1),
    });
    fx.forms(2014, {
                       InstallationFixture::form(12, "12", "Сведения о заболеваемости", 1),
                       InstallationFixture::form(7, "7", "Отключенная форма", 0, 1),
                       InstallationFixture::form(120, "30", "Сведения об учреждении", 2),
                       InstallationFixture::form(910, "910", "Свод по району", 0),
                       InstallationFixture::form(950, "950", "Свод по области", 4),
                   });
    fx.text("2014/sroki.txt", {"0012до 5 числа следующего месяца", "0007не показывается", "abcdмусор"});
}

}  // namespace tavir::fixture
