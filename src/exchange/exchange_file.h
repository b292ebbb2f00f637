// Exchange files as this program writes them: keyless files of exchange
// records, built under a working name and put in place by a rename, so a
// reader finds the whole file or none; each carries a short description
// (working year, subject, time written, program version).
#pragma once

#include "app/shared_state.h"
#include "data/paths.h"
#include "platform/keyed_file.h"
#include "platform/status.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavir::exchange {

// The fixed entries of the exchange path lists, after the user's folders.
inline constexpr std::string_view kFixedPaths[] = {"A:\\", "F:\\", "\\export\\", "C:\\1\\"};

// The candidate path list: USE:S1 and USE:S2 when not blank, then the fixed
// entries.
std::vector<std::string> candidatePaths(std::string_view s1, std::string_view s2);

// The mount points of removable media (under /media/$USER and
// /run/media/$USER), in name order.
std::vector<std::filesystem::path> removableMedia();

// Where an exchange path and a file name lead on this system. "\" separates
// components. A path beginning with "/" is taken as it is; "A:\" and "F:\"
// stand for the first and the second removable medium (the first when only
// one is mounted); another drive letter stands for the root of the file
// system; any other path is taken under the working directory, each
// component looked up regardless of letter case. Fails with a message when
// the path names removable media and none is mounted.
platform::Status exchangeTarget(const data::Installation& installation, std::string_view path,
                                std::string_view name, std::filesystem::path& target,
                                const std::vector<std::filesystem::path>& media = removableMedia());

// The description written into each exchange file.
platform::KeyedFile::Description describe(int year, const app::Subject& subject);

// Puts the finished file `source` in place as `target`: copied beside the
// target under a working name and renamed over it, so `target` holds the
// old file or the whole new one, never a part. Fails with the target's path
// and the system's text.
platform::Status placeFile(const std::filesystem::path& source, const std::filesystem::path& target);

}  // namespace tavir::exchange
