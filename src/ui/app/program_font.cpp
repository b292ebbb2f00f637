#include "ui/app/program_font.h"

namespace tavir::ui {

QFont programFont() {
    static const bool substituted = [] {
        QFont::insertSubstitutions("MS Sans Serif", QStringList{"Microsoft Sans Serif", "Liberation Sans", "DejaVu Sans"});
        return true;
    }();
    (void)substituted;
    QFont font("MS Sans Serif", 9);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace tavir::ui
