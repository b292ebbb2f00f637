// tavir: the desktop program. Works in the current directory or in the one
// given by --workdir DIR.
#include "app/main_window.h"
#include "app/startup.h"
#include "ui/app/main_window.h"
#include "ui/app/program_font.h"
#include "ui/app/translations.h"
#include "ui/platform/qt_interaction.h"
#include "ui/platform/qt_text.h"

#include <QApplication>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>

namespace {

bool hasDisplay() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

}  // namespace

int main(int argc, char** argv) {
    std::filesystem::path workdir = std::filesystem::current_path();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--workdir" && i + 1 < argc) {
            workdir = argv[++i];
        } else if (arg.starts_with("--workdir=")) {
            workdir = arg.substr(std::strlen("--workdir="));
        } else if (arg == "--help" || arg == "-h") {
            std::cout << "Использование: tavir [--workdir КАТАЛОГ]\n"
                         "Запускает программу в рабочем каталоге установки (по умолчанию текущем).\n";
            return 0;
        }
    }
    if (!hasDisplay()) {
        std::cerr << "tavir: нет графического дисплея (не заданы DISPLAY и WAYLAND_DISPLAY).\n"
                     "Запустите программу в графическом сеансе или под виртуальным дисплеем:\n"
                     "  xvfb-run -a tavir --workdir КАТАЛОГ\n"
                     "Без дисплея работает tavir-cli (загрузка, выгрузка и просмотр данных).\n";
        return 2;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("tavir");
    QApplication::setFont(tavir::ui::programFont());
    tavir::ui::loadQtTranslations();

    // Everything the program names lies relative to the working directory.
    std::error_code ec;
    std::filesystem::current_path(workdir, ec);
    if (ec) {
        tavir::ui::showMessageBox(nullptr, "Рабочий каталог " + workdir.string() + " недоступен: " + ec.message());
        return 1;
    }
    const tavir::data::Installation installation(std::filesystem::current_path());

    tavir::app::SharedState& state = tavir::app::sharedState();
    tavir::app::StartupData startup;
    {
        tavir::ui::QtInteraction startupUi(nullptr);
        if (!tavir::app::startUp(installation, state, startupUi, tavir::app::currentCalendarYear(), startup)) return 1;
    }
    tavir::app::MainWindowModel model(state, std::move(startup));
    tavir::ui::MainWindow window(installation, model, [](QWidget* parent) {
        return std::make_unique<tavir::ui::QtInteraction>(parent);
    });
    window.show();
    return application.exec();
}
