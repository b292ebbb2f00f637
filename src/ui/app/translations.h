// Qt's own texts (printer and file dialogs, standard buttons) in Russian.
#pragma once

namespace tavir::ui {

// Loads Qt's Russian translations into the application; false when the
// system has none, and Qt's texts then stay English.
bool loadQtTranslations();

}  // namespace tavir::ui
