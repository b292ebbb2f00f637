#include "data/year_range.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

using namespace tavir::data;
namespace fs = std::filesystem;

namespace {

class YearRangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tavir-years-" + std::to_string(std::random_device{}()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path dir_;
};

}  // namespace

TEST_F(YearRangeTest, OnlyFourDigitYearNamesCount) {
    for (const char* name : {"1998", "2003", "2014", "2014a", "3000", "abcd", "12345", "1989", "2100", "201"}) {
        fs::create_directory(dir_ / name);
    }
    std::ofstream(dir_ / "2020.txt") << "x";
    YearRange range = findYearRange(dir_);
    EXPECT_EQ(range.first, 1998);
    EXPECT_EQ(range.last, 2014);
}

TEST_F(YearRangeTest, PlainFilesWithYearNamesCountToo) {
    fs::create_directory(dir_ / "2003");
    std::ofstream(dir_ / "1995") << "x";
    YearRange range = findYearRange(dir_);
    EXPECT_EQ(range.first, 1995);
    EXPECT_EQ(range.last, 2003);
}

TEST_F(YearRangeTest, NoYearDirectoryGivesEmptyRange) {
    fs::create_directory(dir_ / "abcd");
    YearRange range = findYearRange(dir_);
    EXPECT_TRUE(range.empty());
    EXPECT_EQ(range.first, 0);
    EXPECT_EQ(range.last, 0);
    EXPECT_TRUE(findYearRange(dir_ / "missing").empty());
}

TEST(WorkingYear, ClampedToRange) {
    struct Case {
        int calendar;
        YearRange range;
        int expected;
    };
    const Case cases[] = {
        {2014, {2000, 2013}, 2013},  // started on 31 December 2014, directories up to 2013
        {2014, {2015, 2016}, 2015},  // directories starting at 2015
        {2014, {2009, 2020}, 2014},
        {2014, {0, 0}, 0},  // no year directory
    };
    for (const Case& c : cases) {
        EXPECT_EQ(clampWorkingYear(c.calendar, c.range), c.expected) << c.range.first << "-" << c.range.last;
    }
}
