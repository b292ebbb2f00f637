#include "ui/platform/desktop_opener_qt.h"

#include "ui/platform/qt_text.h"

#include <QDesktopServices>
#include <QUrl>

namespace tavir::ui {

platform::Status QtDesktopOpener::open(const std::filesystem::path& path) {
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(toQString(path.string())))) return platform::Status::ok();
    // The file is there: the user is told where, to open it by hand.
    return platform::Status::fail(platform::ErrorKind::NotShown, "Файл " + path.string() +
                                                               " сохранен, но не открыт: на рабочем столе нет "
                                                               "программы для таких файлов");
}

}  // namespace tavir::ui
