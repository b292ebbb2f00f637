// The texts of a printout, as tests check what was laid out.
#pragma once

#include "platform/print_pages.h"

#include <string>
#include <variant>
#include <vector>

namespace tavir::fixture {

// Every text of a printout, page by page, in the order laid out.
inline std::vector<std::string> pageTexts(const platform::Document& document) {
    std::vector<std::string> texts;
    for (const auto& page : document.pages) {
        for (const auto& item : page.items) {
            if (const auto* t = std::get_if<platform::TextItem>(&item)) texts.push_back(t->text);
        }
    }
    return texts;
}

}  // namespace tavir::fixture
