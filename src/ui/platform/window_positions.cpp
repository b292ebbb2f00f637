#include "ui/platform/window_positions.h"

#include "data/paths.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <system_error>

namespace tavir::ui {

WindowPositions::WindowPositions(std::filesystem::path iniFile) : iniFile_(std::move(iniFile)) {}

QString WindowPositions::file() const {
    std::filesystem::path path = iniFile_;
    if (path.empty()) {
        std::error_code ec;
        const std::filesystem::path cwd = std::filesystem::current_path(ec);
        path = data::Installation(ec ? std::filesystem::path(".") : cwd).iniFile();
    }
    return QString::fromStdU16String(path.u16string());
}

void WindowPositions::restore(QWidget& window, const QString& name) const {
    if (name.isEmpty()) return;
    QSettings settings(file(), QSettings::IniFormat);
    settings.beginGroup(name);
    bool okX = false, okY = false, okW = false, okH = false;
    const QRect rect(settings.value("X").toInt(&okX), settings.value("Y").toInt(&okY),
                     settings.value("Width").toInt(&okW), settings.value("Height").toInt(&okH));
    if (!okW || !okH || rect.width() <= 0 || rect.height() <= 0) return;
    if (okX && okY && QGuiApplication::screenAt(rect.center())) {
        window.setGeometry(rect);
    } else {
        window.resize(rect.size());
    }
}

void WindowPositions::save(const QWidget& window, const QString& name) const {
    if (name.isEmpty()) return;
    QSettings settings(file(), QSettings::IniFormat);
    settings.beginGroup(name);
    const QRect rect = window.geometry();
    settings.setValue("X", rect.x());
    settings.setValue("Y", rect.y());
    settings.setValue("Width", rect.width());
    settings.setValue("Height", rect.height());
}

QList<int> WindowPositions::columnWidths(const QString& name) const {
    QList<int> widths;
    if (name.isEmpty()) return widths;
    QSettings settings(file(), QSettings::IniFormat);
    for (const QString& w : settings.value(name + "/Columns").toString().split(' ', Qt::SkipEmptyParts)) {
        bool ok = false;
        const int width = w.toInt(&ok);
        if (!ok || width <= 0) return {};
        widths.push_back(width);
    }
    return widths;
}

void WindowPositions::saveColumnWidths(const QString& name, const QList<int>& widths) const {
    if (name.isEmpty()) return;
    QStringList texts;
    for (int w : widths) texts << QString::number(w);
    QSettings settings(file(), QSettings::IniFormat);
    settings.setValue(name + "/Columns", texts.join(' '));
}

}  // namespace tavir::ui
