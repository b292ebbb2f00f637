// The desktop opener: shows a file to the user in the desktop's program for
// its kind (work copies in the spreadsheet program, blank forms, the map
// page in the browser). The desktop program opens files through the
// desktop's default applications; tavir-cli and tests record the requests.
#pragma once

#include "platform/status.h"

#include <filesystem>
#include <vector>

namespace tavir::platform {

class DesktopOpener {
public:
    virtual ~DesktopOpener() = default;
    virtual Status open(const std::filesystem::path& path) = 0;
};

// Opens nothing; remembers what it was asked to open.
class RecordingDesktopOpener : public DesktopOpener {
public:
    Status open(const std::filesystem::path& path) override {
        opened_.push_back(path);
        return Status::ok();
    }
    const std::vector<std::filesystem::path>& opened() const { return opened_; }

private:
    std::vector<std::filesystem::path> opened_;
};

}  // namespace tavir::platform
