// The help window "Справка": the topic list of help.TXT, the picture of the
// topic clicked, and the support contacts.
#pragma once

#include "app/help.h"
#include "ui/app/interaction_factory.h"

#include <QWidget>

class QLabel;
class QListWidget;

namespace tavir::ui {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Opened on the first topic (`first`) or on topic `topic`; `contacts`
    // is the support block shown under the picture.
    HelpWindow(const data::Installation& installation, const InteractionFactory& interactions, int topic, bool first,
               const QString& contacts, QWidget* parent = nullptr);

protected:
    // Esc closes the window, as it does every dialog.
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showTopic();

    app::HelpModel model_;
    QListWidget* list_;
    QLabel* picture_;
};

}  // namespace tavir::ui
