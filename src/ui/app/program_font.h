// The font of the program's windows: "MS Sans Serif", which Linux desktops
// lack; a metric-compatible free font stands in for it.
#pragma once

#include <QFont>
#include <QStringList>

namespace tavir::ui {

QFont programFont();

}  // namespace tavir::ui
