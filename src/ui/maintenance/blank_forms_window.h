// The window "Список" of blank forms: the heading "!! Печать чистых бланков"
// over the list with columns "имя файла" and "Форма"; Enter or a double
// click opens a copy of the entry's document in the desktop's program.
//
// Object names: the window "BlankForms", the list "?LIST".
#pragma once

#include "maintenance/blank_forms.h"
#include "platform/spreadsheet_channel.h"
#include "ui/app/interaction_factory.h"
#include "ui/platform/desktop_opener_qt.h"

#include <QWidget>

#include <memory>

class QTreeWidget;

namespace tavir::ui {

class BlankFormsView : public QWidget {
    Q_OBJECT
public:
    // `opener` stands in for the desktop's (tests record the requests).
    BlankFormsView(const data::Installation& installation, const InteractionFactory& interactions,
                   std::unique_ptr<platform::DesktopOpener> opener = std::make_unique<QtDesktopOpener>(),
                   QWidget* parent = nullptr);

    const maintenance::BlankFormsWindow& model() const { return *model_; }
    // Enter or a double click on the current entry.
    void activateCurrent();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<platform::Interaction> ui_;
    std::unique_ptr<platform::DesktopOpener> opener_;
    platform::SpreadsheetServer server_;
    std::unique_ptr<maintenance::BlankFormsWindow> model_;
    QTreeWidget* list_;
};

}  // namespace tavir::ui
