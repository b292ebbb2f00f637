// The desktop opener of the desktop program: the desktop's default
// application for the file's kind.
#pragma once

#include "platform/desktop_opener.h"

namespace tavir::ui {

class QtDesktopOpener : public platform::DesktopOpener {
public:
    // Fails, naming the file, when the desktop has no program for it.
    platform::Status open(const std::filesystem::path& path) override;
};

}  // namespace tavir::ui
