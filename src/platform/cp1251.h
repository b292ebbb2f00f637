// Windows-1251, the code page of the text files this system exchanges, and
// reading and writing such files line by line.
#pragma once

#include "platform/status.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::platform {

// Every byte has a character: the one byte the code page leaves undefined,
// 0x98, becomes U+0098 and converts back to 0x98, so no byte is lost.
std::string cp1251ToUtf8(std::string_view bytes);
// Nothing when the text is not valid UTF-8 or holds a character outside the code page.
std::optional<std::string> utf8ToCp1251(std::string_view text);
// The same with "?" for each such character or malformed byte.
std::string utf8ToCp1251Lossy(std::string_view text);

// The text of a file's bytes: valid UTF-8 is taken as it is (without a byte
// order mark), anything else is read as Windows-1251.
std::string decodeTextFile(std::string_view bytes);

// The lines of a text file (see decodeTextFile), without their CR/LF ends.
Status readTextLines(const std::filesystem::path& path, std::vector<std::string>& lines);
// Writes the lines in Windows-1251, each ended by CR LF. A line with a
// character outside the code page fails the whole write before the file is touched.
Status writeTextLinesCp1251(const std::filesystem::path& path, const std::vector<std::string>& lines);

}  // namespace tavir::platform
