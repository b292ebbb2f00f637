// A working directory for export tests: templates in "XLS", documents in
// "doc", a folder for the direct start's work copies, a recording desktop
// opener and a scripted user. Removed when the test ends.
#pragma once

#include "data/paths.h"
#include "platform/desktop_opener.h"
#include "platform/scripted_interaction.h"
#include "platform/spreadsheet_channel.h"
#include "platform/xlsx_workbook.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

namespace tavir::fixture {

class ExportWorkdir {
public:
    ExportWorkdir()
        : dir_(std::filesystem::temp_directory_path() / ("tavir-export-" + std::to_string(std::random_device{}()))),
          installation_(dir_ / "work"), server_(opener_) {
        std::filesystem::create_directories(dir_ / "work");
    }
    ~ExportWorkdir() {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ExportWorkdir(const ExportWorkdir&) = delete;
    ExportWorkdir& operator=(const ExportWorkdir&) = delete;

    const std::filesystem::path& workdir() const { return installation_.workdir(); }
    const data::Installation& installation() const { return installation_; }
    std::filesystem::path directFolder() const { return dir_ / "windows-temp"; }
    platform::SpreadsheetServer& server() { return server_; }
    platform::ScriptedInteraction& ui() { return ui_; }
    platform::RecordingDesktopOpener& opener() { return opener_; }

    // A template "XLS/<name>" with `text` in R1C1.
    void templateWorkbook(const std::string& name, const std::string& text = "Шаблон") {
        std::filesystem::create_directories(workdir() / "XLS");
        platform::XlsxWorkbook book = platform::XlsxWorkbook::createNew();
        ASSERT_TRUE(book.setText(1, 1, text));
        ASSERT_TRUE(book.save(workdir() / "XLS" / name));
    }

    static platform::XlsxWorkbook read(const std::filesystem::path& path) {
        platform::XlsxWorkbook book;
        platform::Status st = platform::XlsxWorkbook::load(path, book);
        EXPECT_TRUE(st) << st.message();
        return book;
    }

private:
    std::filesystem::path dir_;
    data::Installation installation_;
    platform::RecordingDesktopOpener opener_;
    platform::SpreadsheetServer server_;
    platform::ScriptedInteraction ui_;
};

}  // namespace tavir::fixture
