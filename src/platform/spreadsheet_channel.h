// The spreadsheet channel: a DDE-style conversation with the spreadsheet
// program ("Excel") or the word processor ("WinWord") — connect to a topic,
// execute macro command texts, poke cells named "R<row>C<column>" with text
// values, close — answered by an in-process server that works on .xlsx
// workbooks.
//
// The server: "SYSTEM" is the topic that opens and saves documents; the path
// of an open document is the topic that writes its cells. A poked text that
// reads as a number with a decimal comma ("12,5") becomes a number cell, any
// other text a text cell; the cell keeps its style. Closing a cell
// conversation saves the document and hands it to the desktop opener; a
// document that was only opened (a blank form) is handed over when the
// SYSTEM conversation that opened it closes.
#pragma once

#include "platform/status.h"

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace tavir::platform {

class DesktopOpener;

inline constexpr std::string_view kSpreadsheetApp = "Excel";
inline constexpr std::string_view kWordProcessorApp = "WinWord";
inline constexpr std::string_view kSystemTopic = "SYSTEM";

// Command texts, byte for byte as the conversation carries them.
std::string openCommand(std::string_view path);       // [OPEN.TEXT("path")]
std::string saveAsCommand(std::string_view path);     // [Save.As("path")]
std::string selectCommand(int firstRow, int firstColumn, int lastRow, int lastColumn);  // [SELECT("R1C1:R2C2")]
std::string borderCommand();                          // [BORDER(1,1,1,1,1,0,0,0,0,0,0)]
std::string fileOpenCommand(std::string_view path);   // [FileOpen ("path")], the word processor's
// The item of one cell: "R10C1".
std::string cellItem(int row, int column);

// Template names of the reference data name .xls workbooks; this program
// keeps its templates as .xlsx of the same name ("swod.xls" -> "swod.xlsx").
std::string templateFileName(std::string_view name);

// A conversation handle; 0 is the null handle.
using Channel = int;

class SpreadsheetServer {
public:
    // `answering`: whether the two programs answer before they are started.
    explicit SpreadsheetServer(DesktopOpener& opener, bool answering = true);
    ~SpreadsheetServer();
    SpreadsheetServer(const SpreadsheetServer&) = delete;
    SpreadsheetServer& operator=(const SpreadsheetServer&) = delete;

    // A handle, or 0 when the program does not answer or knows no such topic.
    Channel connect(std::string_view application, std::string_view topic);
    Status execute(Channel channel, std::string_view command);
    Status poke(Channel channel, std::string_view item, std::string_view value);
    Status close(Channel channel);
    // Starts the program a command line names (excel.exe, WinWord.exe, in
    // any folder); it answers from then on.
    Status startProgram(std::string_view commandLine);

private:
    struct Document;
    struct Conversation;

    Document* target(const Conversation& conv);

    DesktopOpener& opener_;
    bool excelAnswers_;
    bool wordAnswers_;
    std::mutex mutex_;
    Channel nextChannel_ = 1;
    std::map<Channel, std::unique_ptr<Conversation>> conversations_;
    std::map<int, std::unique_ptr<Document>> documents_;
    int nextDocument_ = 1;
    int activeDocument_ = 0;  // the spreadsheet program's active workbook
};

}  // namespace tavir::platform
