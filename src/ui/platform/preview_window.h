// The print preview "Просмотр": one page at a time, the page count followed
// directly by "страниц", buttons for the previous and the next page (hidden
// for a single page, disabled at the first and the last), and "Print", which
// prints every page on the current printer and closes the preview. Closing
// the preview discards the pages.
//
// Object names: the window "Preview", the count "?PAGES", the page image
// "?PAGE", the buttons "?PREV", "?NEXT" and "?PRINT".
#pragma once

#include "platform/print_pages.h"
#include "ui/platform/window_positions.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace tavir::ui {

class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    explicit PreviewWindow(platform::Document document, QWidget* parent = nullptr,
                           WindowPositions positions = WindowPositions());

    const platform::Document& document() const { return document_; }
    int currentPage() const { return current_; }
    int pageCount() const { return static_cast<int>(document_.pages.size()); }
    void showPage(int index);

    void done(int result) override;

private:
    void print();

    platform::Document document_;
    WindowPositions positions_;
    int current_ = 0;
    QLabel* page_;
    QPushButton* previous_;
    QPushButton* next_;
};

// Shows the document in the preview and waits until it is printed or closed.
void showPreview(platform::Document document, QWidget* parent);

}  // namespace tavir::ui
