// Display pictures of value columns: "@N" [ "-" ] width [ "." decimals ],
// for example "@N12.2"; a blank picture is a plain number 12 positions wide.
// One module formats and reads them for grids, entries and printouts.
#pragma once

#include "platform/decimal.h"

#include <optional>
#include <string>
#include <string_view>

namespace tavir::platform {

struct Picture {
    int width = 12;
    int decimals = 0;
    bool negative = false;  // the picture has "-"; negatives show their sign either way
    bool plain = true;      // the blank default: the value as formatNumber writes it
};

// A picture that does not read as above is taken as the blank default.
Picture parsePicture(std::string_view text);

// Right-aligned text of exactly `width` characters with exactly `decimals`
// decimals (point, half away from zero); zero is shown like any other value
// ("0.00"). Negatives always show "-", a picture without "-" included: hiding
// the sign would show a wrong number. The plain default drops decimals from
// the right when the number is longer than 12. What does not fit is width × "#".
std::string formatPicture(const Picture& picture, Decimal value);
std::string formatPicture(const Picture& picture, double value);

// The same, but a value wider than the picture is written as the plain
// number it is: sums and printouts must never hide or cut a number.
std::string formatPictureOrPlain(const Picture& picture, Decimal value);

// A value typed into an entry with the picture: blanks around, point or
// comma, empty means 0; blanks between digits separate groups ("1 000");
// rounded to the picture's decimals. Nothing when the text is not a number
// or the value does not fit the picture.
std::optional<Decimal> parsePictureInput(const Picture& picture, std::string_view typed);

// Whether `typed` can still become a number while it is being typed: digits,
// blanks, one point or comma, a leading minus. Entries refuse other keys.
bool isPartialNumberInput(std::string_view typed);

// The largest value the picture shows, as the limit named to the user.
std::string pictureLimit(const Picture& picture);

// Why an entry refuses the typed text, for its message; empty when the text
// is accepted (parsePictureInput gives a value).
std::string pictureInputError(const Picture& picture, std::string_view typed);

}  // namespace tavir::platform
