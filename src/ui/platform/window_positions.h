// Window positions kept in tavir.INI: one section per window name with the
// keys X, Y, Width and Height of the window's inner area.
#pragma once

#include <QList>
#include <QString>

#include <filesystem>

class QWidget;

namespace tavir::ui {

class WindowPositions {
public:
    // An empty path means tavir.INI of the current working directory (found
    // whatever the letter case of its name), looked up at each use.
    explicit WindowPositions(std::filesystem::path iniFile = {});

    // Puts the window where it was last saved under `name`; a position that
    // lies on no screen any more keeps only its size. Without a saved
    // position, or with an empty name, the window is left as it is.
    void restore(QWidget& window, const QString& name) const;
    void save(const QWidget& window, const QString& name) const;

    // Column widths a user dragged in a list, kept under `name` (key
    // "Columns"); empty when none are kept.
    QList<int> columnWidths(const QString& name) const;
    void saveColumnWidths(const QString& name, const QList<int>& widths) const;

    QString file() const;

private:
    std::filesystem::path iniFile_;
};

}  // namespace tavir::ui
