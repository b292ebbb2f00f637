#include "ui/platform/pdf_export.h"

namespace tavir::ui {

std::unique_ptr<QGuiApplication> ensureGuiApplication(int& argc, char** argv) {
    if (QCoreApplication::instance()) return nullptr;
    // A program without windows never needs the display, even when one is
    // there; the offscreen platform still has the system's fonts.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace tavir::ui
