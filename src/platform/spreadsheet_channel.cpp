#include "platform/spreadsheet_channel.h"

#include "platform/desktop_opener.h"
#include "platform/text.h"
#include "platform/xlsx_workbook.h"

#include <charconv>
#include <optional>
#include <vector>

namespace tavir::platform {

namespace {

namespace fs = std::filesystem;

constexpr char kQuote = '"';

std::string quotedCommand(std::string_view head, std::string_view argument) {
    std::string out(head);
    out += kQuote;
    out += argument;
    out += kQuote;
    out += ")]";
    return out;
}

// The argument of `[NAME("argument")]` when `text` has exactly that form.
std::optional<std::string_view> quotedArgument(std::string_view text, std::string_view head) {
    constexpr std::string_view tail = "\")]";
    if (text.size() < head.size() + 1 + tail.size() || text.substr(0, head.size()) != head ||
        text[head.size()] != kQuote || text.substr(text.size() - tail.size()) != tail)
        return std::nullopt;
    return text.substr(head.size() + 1, text.size() - head.size() - 1 - tail.size());
}

// Digits without a leading zero, as items are written.
std::optional<int> itemNumber(std::string_view digits, int max) {
    if (digits.empty() || digits[0] == '0') return std::nullopt;
    int n = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
    if (ec != std::errc() || end != digits.data() + digits.size() || n > max) return std::nullopt;
    return n;
}

bool parseItem(std::string_view item, int& row, int& column) {
    if (item.size() < 4 || item[0] != 'R') return false;
    size_t c = item.find('C');
    if (c == std::string_view::npos) return false;
    auto r = itemNumber(item.substr(1, c - 1), XlsxWorkbook::kMaxRow);
    auto col = itemNumber(item.substr(c + 1), XlsxWorkbook::kMaxColumn);
    if (!r || !col) return false;
    row = *r;
    column = *col;
    return true;
}

// A poked text that the spreadsheet program takes as a number: an optional
// "-", digits, optionally a decimal comma and more digits. Codes with a
// leading zero ("01") stay texts so the zero is not lost, and so do digit
// strings longer than a double holds exactly.
std::optional<double> numberOfText(std::string_view text) {
    size_t i = 0;
    if (i < text.size() && text[i] == '-') ++i;
    size_t intStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    size_t intDigits = i - intStart;
    if (intDigits == 0 || (intDigits > 1 && text[intStart] == '0')) return std::nullopt;
    size_t fracDigits = 0;
    if (i < text.size() && text[i] == ',') {
        size_t fracStart = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        fracDigits = i - fracStart;
        if (fracDigits == 0) return std::nullopt;
    }
    if (i != text.size() || intDigits + fracDigits > 15) return std::nullopt;
    std::string plain(text);
    for (char& ch : plain) {
        if (ch == ',') ch = '.';
    }
    double value = 0;
    std::from_chars(plain.data(), plain.data() + plain.size(), value);
    return value == 0 ? 0.0 : value;
}

enum class App { Excel, Word };

std::optional<App> appOf(std::string_view name) {
    if (equalsIgnoreAsciiCase(name, kSpreadsheetApp)) return App::Excel;
    if (equalsIgnoreAsciiCase(name, kWordProcessorApp)) return App::Word;
    return std::nullopt;
}

Status noChannel() { return Status::fail(ErrorKind::Invalid, "Нет связи с программой электронных таблиц"); }

}  // namespace

std::string openCommand(std::string_view path) { return quotedCommand("[OPEN.TEXT(", path); }
std::string saveAsCommand(std::string_view path) { return quotedCommand("[Save.As(", path); }
std::string selectCommand(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    return quotedCommand("[SELECT(", cellItem(firstRow, firstColumn) + ":" + cellItem(lastRow, lastColumn));
}
std::string borderCommand() { return "[BORDER(1,1,1,1,1,0,0,0,0,0,0)]"; }
std::string fileOpenCommand(std::string_view path) { return quotedCommand("[FileOpen (", path); }
std::string cellItem(int row, int column) { return "R" + std::to_string(row) + "C" + std::to_string(column); }

std::string templateFileName(std::string_view name) {
    std::string out(name);
    if (out.size() >= 4 && equalsIgnoreAsciiCase(std::string_view(out).substr(out.size() - 4), ".xls")) out += "x";
    return out;
}

struct SpreadsheetServer::Document {
    fs::path path;                     // where it was opened from, or last saved to
    std::optional<XlsxWorkbook> book;  // read when its content is first needed
    Channel openedBy = 0;
    bool untouched = true;             // opened and nothing else asked of it
    bool savedAs = false;
    int firstRow = 1, firstColumn = 1, lastRow = 1, lastColumn = 1;  // the selection

    Status content() {
        if (book) return Status::ok();
        XlsxWorkbook loaded;
        Status st = XlsxWorkbook::load(path, loaded);
        if (st) book = std::move(loaded);
        return st;
    }
};

struct SpreadsheetServer::Conversation {
    App app;
    int document = 0;  // 0: the SYSTEM topic
};

SpreadsheetServer::SpreadsheetServer(DesktopOpener& opener, bool answering)
    : opener_(opener), excelAnswers_(answering), wordAnswers_(answering) {}

SpreadsheetServer::~SpreadsheetServer() = default;

Channel SpreadsheetServer::connect(std::string_view application, std::string_view topic) {
    std::lock_guard lock(mutex_);
    auto app = appOf(application);
    if (!app || !(*app == App::Excel ? excelAnswers_ : wordAnswers_)) return 0;
    int document = 0;
    if (!equalsIgnoreAsciiCase(topic, kSystemTopic)) {
        fs::path wanted = fs::path(topic).lexically_normal();
        for (const auto& [id, doc] : documents_) {
            if (doc->path.lexically_normal() == wanted) document = id;
        }
        if (document == 0 || *app != App::Excel) return 0;
    }
    Channel ch = nextChannel_++;
    conversations_[ch] = std::make_unique<Conversation>(Conversation{*app, document});
    return ch;
}

SpreadsheetServer::Document* SpreadsheetServer::target(const Conversation& conv) {
    auto it = documents_.find(conv.document != 0 ? conv.document : activeDocument_);
    return it == documents_.end() ? nullptr : it->second.get();
}

Status SpreadsheetServer::execute(Channel channel, std::string_view command) {
    std::lock_guard lock(mutex_);
    auto it = conversations_.find(channel);
    if (it == conversations_.end()) return noChannel();
    Conversation& conv = *it->second;
    auto unknown = [&] { return Status::fail(ErrorKind::Invalid, "Неизвестная команда " + std::string(command)); };

    std::optional<std::string_view> path = conv.app == App::Excel ? quotedArgument(command, "[OPEN.TEXT(")
                                                                  : quotedArgument(command, "[FileOpen (");
    if (path) {
        std::error_code ec;
        if (path->empty()) return unknown();
        if (!fs::is_regular_file(*path, ec))
            return Status::fail(ErrorKind::NotFound, "Не найден файл " + std::string(*path));
        int id = nextDocument_++;
        auto doc = std::make_unique<Document>();
        doc->path = fs::path(*path);
        doc->openedBy = conv.document == 0 ? channel : 0;
        documents_[id] = std::move(doc);
        if (conv.app == App::Excel) activeDocument_ = id;
        return Status::ok();
    }
    if (conv.app != App::Excel) return unknown();

    Document* doc = target(conv);
    auto selection = quotedArgument(command, "[SELECT(");
    bool border = command == borderCommand();
    auto saveAs = quotedArgument(command, "[Save.As(");
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    if (selection) {
        size_t colon = selection->find(':');
        if (colon == std::string_view::npos || !parseItem(selection->substr(0, colon), r1, c1) ||
            !parseItem(selection->substr(colon + 1), r2, c2))
            return unknown();
    } else if (!border && (!saveAs || saveAs->empty())) {
        return unknown();
    }
    if (!doc) return Status::fail(ErrorKind::Invalid, "Нет открытой книги");
    doc->untouched = false;
    if (Status st = doc->content(); !st) return st;
    if (selection) {
        doc->firstRow = r1, doc->firstColumn = c1, doc->lastRow = r2, doc->lastColumn = c2;
        return Status::ok();
    }
    if (border) return doc->book->addBorders(doc->firstRow, doc->firstColumn, doc->lastRow, doc->lastColumn);
    if (Status st = doc->book->save(fs::path(*saveAs)); !st) return st;
    doc->path = fs::path(*saveAs);
    doc->savedAs = true;
    return Status::ok();
}

Status SpreadsheetServer::poke(Channel channel, std::string_view item, std::string_view value) {
    std::lock_guard lock(mutex_);
    auto it = conversations_.find(channel);
    if (it == conversations_.end()) return noChannel();
    if (it->second->document == 0)
        return Status::fail(ErrorKind::Invalid, "Ячейки записываются только в разговоре о книге");
    int row = 0, column = 0;
    if (!parseItem(item, row, column))
        return Status::fail(ErrorKind::Invalid, "Неверное имя ячейки " + std::string(item));
    Document* doc = target(*it->second);
    if (Status st = doc->content(); !st) return st;
    doc->untouched = false;
    if (auto number = numberOfText(value)) return doc->book->setNumber(row, column, *number);
    return doc->book->setText(row, column, value);
}

Status SpreadsheetServer::close(Channel channel) {
    std::vector<fs::path> toShow;
    Status result;
    {
        std::lock_guard lock(mutex_);
        auto it = conversations_.find(channel);
        if (it == conversations_.end()) return noChannel();
        int document = it->second->document;
        conversations_.erase(it);
        if (document != 0) {
            auto d = documents_.find(document);
            if (d != documents_.end()) {
                Document& doc = *d->second;
                if (doc.book) result = doc.book->save(doc.path);
                if (result) toShow.push_back(doc.path);
                if (activeDocument_ == document) activeDocument_ = 0;
                documents_.erase(d);
            }
        } else {
            // A document only opened was opened for the user to see; one the
            // SYSTEM conversation failed to save has nobody to go to.
            for (auto d = documents_.begin(); d != documents_.end();) {
                Document& doc = *d->second;
                bool keep = doc.openedBy != channel || (!doc.untouched && doc.savedAs);
                if (!keep && doc.untouched) toShow.push_back(doc.path);
                if (keep) {
                    ++d;
                    continue;
                }
                if (activeDocument_ == d->first) activeDocument_ = 0;
                d = documents_.erase(d);
            }
        }
    }
    // The desktop may take a moment; other conversations need not wait for it.
    for (const auto& path : toShow) {
        Status st = opener_.open(path);
        if (result && !st) result = st;
    }
    return result;
}

Status SpreadsheetServer::startProgram(std::string_view commandLine) {
    std::lock_guard lock(mutex_);
    size_t slash = commandLine.find_last_of("\\/");
    std::string_view program = slash == std::string_view::npos ? commandLine : commandLine.substr(slash + 1);
    if (equalsIgnoreAsciiCase(program, "excel.exe")) {
        excelAnswers_ = true;
    } else if (equalsIgnoreAsciiCase(program, "winword.exe")) {
        wordAnswers_ = true;
    } else {
        return Status::fail(ErrorKind::NotFound, "Не удалось запустить " + std::string(commandLine));
    }
    return Status::ok();
}

}  // namespace tavir::platform
