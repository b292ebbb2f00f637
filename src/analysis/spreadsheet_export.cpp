#include "analysis/spreadsheet_export.h"

#include "platform/text.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <initializer_list>
#include <system_error>
#include <pwd.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tavir::analysis {

namespace fs = std::filesystem;
using platform::Channel;
using platform::ErrorKind;
using platform::SpreadsheetServer;
using platform::Status;

namespace {

// Where the spreadsheet program and the word processor are started from when
// they do not answer; each procedure has its own list.
constexpr std::string_view kTemplateStarts[] = {R"(C:\PROGRA~1\Microsoft Office\Office11\excel.exe)",
                                                R"(C:\PROGRA~1\Microsoft Office\Office\excel.exe)"};
constexpr std::string_view kDirectStarts[] = {R"(C:\PROGRA~1\MICROS~1\Office\excel.exe)",
                                              R"(C:\PROGRA~1\MICROS~1\Office10\excel.exe)"};
constexpr std::string_view kDocumentExcelStarts[] = {R"(C:\Program Files\Microsoft Office\OFFICE11\excel.exe)",
                                                     R"(C:\PROGRA~1\MICROS~1\Office10\excel.exe)"};
constexpr std::string_view kDocumentWordStarts[] = {R"(C:\Program Files\Microsoft Office\OFFICE11\WinWord.exe)",
                                                    R"(C:\Program Files\Microsoft Office\OFFICE10\WinWord.exe)"};

// The number a work copy's name starts with; a name without one reads as 0.
int64_t leadingNumber(std::string_view name) {
    int64_t n = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + name.size(), n);
    return ec == std::errc() && n >= 0 ? n : 0;
}

bool isWorkCopy(const fs::directory_entry& entry) {
    std::error_code ec;
    std::string name = entry.path().filename().string();
    return entry.is_regular_file(ec) && name.size() > kWorkCopyExtension.size() &&
           platform::equalsIgnoreAsciiCase(std::string_view(name).substr(name.size() - kWorkCopyExtension.size()),
                                           kWorkCopyExtension);
}

std::vector<std::string> listWorkCopies(const fs::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (isWorkCopy(*it)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::pair(leadingNumber(a), std::string_view(a)) < std::pair(leadingNumber(b), std::string_view(b));
    });
    return names;
}

// A copy saved this recently may still be on its way into the spreadsheet
// program, which marks it only once it has opened it.
constexpr std::chrono::seconds kOpeningTime{60};

// LibreOffice marks a document it has open with ".~lock.<name>#" beside it;
// such a copy is in use, as one Excel holds open cannot be deleted. So is a
// copy saved within the opening time: a second export started right after
// the first must not take the first one's copy away before it is shown.
bool inUse(const fs::path& folder, const std::string& name) {
    std::error_code ec;
    if (fs::exists(folder / (".~lock." + name + "#"), ec)) return true;
    const fs::file_time_type saved = fs::last_write_time(folder / name, ec);
    return !ec && fs::file_time_type::clock::now() - saved < kOpeningTime;
}

Status ensureFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return Status::ok();
    fs::create_directories(folder, ec);
    if (ec) return Status::fail(ErrorKind::Io, "Не удалось создать папку " + folder.string() + ": " + ec.message());
    return Status::ok();
}

// connect(SYSTEM); when the program does not answer, each start command in
// turn and connect again; at last the user is asked to start it.
template <size_t N>
Channel reachProgram(SpreadsheetServer& server, platform::Interaction& ui, std::string_view app,
                     const std::string_view (&starts)[N], std::string_view prompt) {
    Channel ch = server.connect(app, platform::kSystemTopic);
    for (std::string_view start : starts) {
        if (ch != 0) break;
        server.startProgram(start);
        ch = server.connect(app, platform::kSystemTopic);
    }
    if (ch == 0) {
        ui.message(prompt);
        ch = server.connect(app, platform::kSystemTopic);
    }
    return ch;
}

Status noAnswer(std::string_view app) {
    return Status::fail(ErrorKind::Io, "Программа " + std::string(app) + " не отвечает");
}

fs::path templatePath(const data::Installation& installation, std::string_view templateName) {
    return installation.resolve("XLS\\" + platform::templateFileName(platform::trimRight(templateName)));
}

// Template opened and saved as the work copy in the SYSTEM conversation,
// then the cell conversation on the work copy.
Status openWorkCopy(SpreadsheetServer& server, Channel system, const fs::path& templateFile, const fs::path& folder,
                    std::string number, WorkCopy& out) {
    fs::path workPath = folder / (number + std::string(kWorkCopyExtension));
    Status st = server.execute(system, platform::openCommand(templateFile.string()));
    if (st) st = server.execute(system, platform::saveAsCommand(workPath.string()));
    server.close(system);
    if (!st) return st;
    Channel cells = server.connect(platform::kSpreadsheetApp, workPath.string());
    if (cells == 0) return noAnswer(platform::kSpreadsheetApp);
    out = WorkCopy{cells, std::move(number), std::move(workPath)};
    return Status::ok();
}

}  // namespace

std::string nextWorkCopyNumber(const fs::path& folder, size_t width) {
    std::vector<std::string> names = listWorkCopies(folder);
    if (names.empty()) return platform::cutToWidth("1", width);
    for (const auto& name : names) {
        std::error_code ec;
        if (!inUse(folder, name)) fs::remove(folder / name, ec);
    }
    std::vector<std::string> again = listWorkCopies(folder);
    names.insert(names.end(), again.begin(), again.end());
    return platform::cutToWidth(std::to_string(leadingNumber(names.back()) + 1), width);
}

fs::path workCopyFolder(const data::Installation& installation) {
    // The user's own folder: workstations share the working directory, and
    // one user's export must never delete or overwrite another's copy.
    std::string user;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name) user = pw->pw_name;
    if (user.empty() || user.find_first_of("/\\.") != std::string::npos) user = "uid" + std::to_string(::getuid());
    return installation.resolve("temp1") / user;
}

fs::path directStartFolder() {
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) base = "/tmp";
    // One folder per user: another user's folder in the shared temporary
    // directory would not be writable.
    return base / ("tavir-" + std::to_string(::getuid()));
}

Status openTemplate(SpreadsheetServer& server, platform::Interaction& ui, const data::Installation& installation,
                    std::string_view templateName, size_t numberWidth, WorkCopy& out) {
    auto wait = ui.progress("ЖДЕМ...");
    fs::path folder = workCopyFolder(installation);
    if (Status st = ensureFolder(folder); !st) return st;
    std::string number = nextWorkCopyNumber(folder, numberWidth);
    Channel system = reachProgram(server, ui, platform::kSpreadsheetApp, kTemplateStarts, "ЗАПУСТИТЕ Excel");
    if (system == 0) return noAnswer(platform::kSpreadsheetApp);
    return openWorkCopy(server, system, templatePath(installation, templateName), folder, std::move(number), out);
}

Status directStart(SpreadsheetServer& server, platform::Interaction& ui, const data::Installation& installation,
                   const fs::path& folder, std::string_view templateName, WorkCopy& out) {
    Channel system = reachProgram(server, ui, platform::kSpreadsheetApp, kDirectStarts, "ЗАПУСТИТЕ Excel");
    if (system == 0) return noAnswer(platform::kSpreadsheetApp);
    if (Status st = ensureFolder(folder); !st) {
        server.close(system);
        return st;
    }
    std::string number = nextWorkCopyNumber(folder, kWorkCopyNumberWidth);
    return openWorkCopy(server, system, templatePath(installation, templateName), folder, std::move(number), out);
}

Status frameTable(SpreadsheetServer& server, const WorkCopy& copy, int firstRow, int firstColumn, int lastRow,
                  int lastColumn) {
    Status st = server.execute(copy.channel, platform::selectCommand(firstRow, firstColumn, lastRow, lastColumn));
    if (st) st = server.execute(copy.channel, platform::borderCommand());
    return st;
}

Status finishExport(SpreadsheetServer& server, platform::Interaction& ui, WorkCopy& copy, Status status) {
    if (copy.channel != 0) {
        Status closed = server.close(copy.channel);
        copy.channel = 0;
        if (status) status = closed;
    }
    if (status) {
        ui.message("Выгрузка в Excel завершена");
    } else if (status.kind() == platform::ErrorKind::NotShown) {
        // The work copy is written: the export is done, only its showing failed.
        ui.message("Выгрузка в Excel завершена|" + status.message());
        return Status::ok();
    } else {
        ui.message("Выгрузка в Excel не выполнена|" + status.message());
    }
    return status;
}

Status openDocument(SpreadsheetServer& server, platform::Interaction& ui, const data::Installation& installation,
                    std::string_view storedName, DocumentKind kind) {
    if (kind == DocumentKind::None) return Status::ok();
    auto failed = [&](Status st) {
        ui.message("Документ не открыт|" + st.message());
        return st;
    };
    size_t slash = storedName.find_last_of("\\/");
    std::string copyName =
        platform::cutToWidth(slash == std::string_view::npos ? storedName : storedName.substr(slash + 1), 50);
    fs::path folder = workCopyFolder(installation);
    if (Status st = ensureFolder(folder); !st) return failed(st);
    fs::path source = installation.resolve("doc\\" + std::string(storedName));
    fs::path copy = folder / copyName;
    std::error_code ec;
    if (!fs::is_regular_file(source, ec))
        return failed(Status::fail(ErrorKind::NotFound, "Не найден файл " + source.string()));
    fs::remove(copy, ec);
    fs::copy_file(source, copy, fs::copy_options::overwrite_existing, ec);
    if (ec)
        return failed(Status::fail(ErrorKind::Io, "Не удалось скопировать " + source.string() + " в " +
                                                      copy.string() + ": " + ec.message()));

    bool spreadsheet = kind == DocumentKind::Spreadsheet;
    std::string_view app = spreadsheet ? platform::kSpreadsheetApp : platform::kWordProcessorApp;
    Channel system = spreadsheet ? reachProgram(server, ui, app, kDocumentExcelStarts, "ЗАПУСТИТЕ Excel")
                                 : reachProgram(server, ui, app, kDocumentWordStarts, "ЗАПУСТИТЕ word");
    if (system == 0) return failed(noAnswer(app));
    Status st = server.execute(system, spreadsheet ? platform::openCommand(copy.string())
                                                   : platform::fileOpenCommand(copy.string()));
    Status closed = server.close(system);
    if (st) st = closed;
    return st ? st : failed(st);
}

}  // namespace tavir::analysis
