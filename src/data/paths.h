// Where the files of an installation live and how their names are formed.
// Names are relative to the working directory, with "\" or "/" between
// components; they are looked up case-insensitively because installations
// are copied from Windows.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace tavir::data {

// `relative` looked up inside `dir` component by component, an exact match
// preferred over one that differs in letter case. From the first component
// that does not exist on, the rest is appended as given, so the caller can
// report or create it. Empty components (leading, doubled or trailing
// separators) are skipped.
std::filesystem::path findCaseInsensitive(const std::filesystem::path& dir, std::string_view relative);

// Name of the reference directory of a year: the year in 4 digits, "2014".
std::string yearDirName(int year);
// Name of the value file of a form inside its year directory: "F0007.dat".
std::string valueFileName(int form);
// Dictionary label of a data file from its name (a path is allowed; only the
// part after the last separator counts), ignoring letter case: "Forma.dat"
// gives "forma", "F0012.dat" "otchet", "BOLN.dat" "bolnbol". Empty when the
// name is not one of the installation's data files.
std::string_view labelForFileName(std::string_view fileName);

// Every file name of one working directory, each resolved case-insensitively.
class Installation {
public:
    explicit Installation(std::filesystem::path workdir) : workdir_(std::move(workdir)) {}

    const std::filesystem::path& workdir() const { return workdir_; }
    // Any name relative to the working directory, such as "doc\blanki.txt".
    std::filesystem::path resolve(std::string_view relative) const;

    // Reference year directory and its files.
    std::filesystem::path yearDir(int year) const;
    std::filesystem::path formaFile(int year) const;
    std::filesystem::path tablFile(int year) const;
    std::filesystem::path strokaFile(int year) const;
    std::filesystem::path grafaFile(int year) const;
    std::filesystem::path contrStrFile(int year) const;
    std::filesystem::path contrGrFile(int year) const;
    std::filesystem::path contrTabFile(int year) const;
    std::filesystem::path rashFile(int year) const;
    std::filesystem::path sapkiFile(int year) const;
    std::filesystem::path contrMFFile(int year) const;
    std::filesystem::path deadlineFile(int year) const;
    std::filesystem::path valueFile(int year, int form) const;

    // Files at the top of the working directory.
    std::filesystem::path bolnFile() const;
    std::filesystem::path region1File() const;
    std::filesystem::path viduchFile() const;
    std::filesystem::path user1File() const;
    std::filesystem::path wwodFile() const;
    std::filesystem::path pokasFile() const;
    std::filesystem::path nameProgFile() const;
    std::filesystem::path rasresFile() const;
    std::filesystem::path rasresnFile() const;
    std::filesystem::path tablPFile() const;
    std::filesystem::path grafaPFile() const;
    std::filesystem::path sapkiPFile() const;
    std::filesystem::path spisMFFile() const;
    std::filesystem::path helpFile() const;
    std::filesystem::path mapPicture() const;
    std::filesystem::path iniFile() const;

private:
    std::filesystem::path yearFile(int year, std::string_view name) const;

    std::filesystem::path workdir_;
};

// Deadline texts of a year's "sroki.txt" by form code: characters 1 to 4 of
// a line are the form code, characters 5 to 100 the text (trailing blanks
// removed). Lines whose first four characters are not a number are skipped;
// a later line for the same form replaces an earlier one. A missing or
// unreadable file gives no texts.
std::map<int, std::string> readDeadlines(const std::filesystem::path& file);

}  // namespace tavir::data
