// The period window: the period-type word, an entry for the period number
// (a date dd.mm.yy for daily forms) and "Продолжить". A refused entry shows
// "Ошибка" and the window stays open; closing it gives 0.
//
// Object names: the window "Period", the word "?WORD", the entry "?MES",
// the button "?CONTINUE".
#pragma once

#include "data/periods.h"
#include "ui/platform/window_positions.h"

#include <QDialog>

#include <cstdint>

class QLineEdit;

namespace tavir::ui {

class PeriodWindow : public QDialog {
    Q_OBJECT
public:
    // `form` names the form the period is for ("?FORM").
    PeriodWindow(data::PeriodType type, int64_t initial, WindowPositions positions, QWidget* parent = nullptr,
                 const QString& form = {});

    // The period code taken, 0 when the window was closed.
    int64_t code() const { return code_; }

    void done(int result) override;

private:
    void proceed();

    data::PeriodType type_;
    QLineEdit* entry_;
    WindowPositions positions_;
    int64_t code_ = 0;
};

}  // namespace tavir::ui
