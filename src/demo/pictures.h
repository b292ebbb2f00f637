// The pictures of the demo installation: the district layers of the map page
// for every colour scheme and class, the names overlay and legend samples,
// the region map of the main window and the pictures of the help topics.
#pragma once

#include "demo/model.h"
#include "platform/status.h"

#include <filesystem>
#include <string>
#include <vector>

namespace tavir::demo {

struct HelpTopic {
    std::string picture;  // file name
    std::string title;
    std::vector<std::string> lines;
};

// Images/<s>/<k>/<i>.gif, Images/<s>/<k>/legend.gif and Images/name_r.gif.
platform::Status writeMapImages(const std::filesystem::path& imagesDir, const std::vector<DistrictInfo>& districts);
// karta.bmp: the districts in soft colours with their names.
platform::Status writeRegionMap(const std::filesystem::path& path, const std::vector<DistrictInfo>& districts);
// One picture per help topic (except the region map, written on its own).
platform::Status writeHelpPicture(const std::filesystem::path& path, const HelpTopic& topic);

}  // namespace tavir::demo
