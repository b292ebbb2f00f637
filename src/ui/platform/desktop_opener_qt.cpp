#include "ui/platform/desktop_opener_qt.h"

#include "ui/platform/qt_text.h"

#include <QDesktopServices>
#include <QUrl>

namespace tavir::ui {

platform::Status QtDesktopOpener::open(const std::filesystem::path& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(toQString(path.string())))) return platform::Status::ok();
    return platform::Status::fail(platform::ErrorKind::Io, "Не удалось открыть файл " + path.string());
}

}  // namespace tavir::ui
