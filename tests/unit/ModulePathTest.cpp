#include "app/framework/ModulePath.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct PathCase {
    const char* name;
    const wchar_t* modulePath;
    const wchar_t* applicationName;
    const wchar_t* helpFilePath;
    const wchar_t* helpPagePath;
};

void PrintTo(const PathCase& c, std::ostream* os) { *os << c.name; }

class ModulePathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ModulePathTest, ApplicationNameIsTheFileNameWithoutExtension) {
    EXPECT_EQ(ApplicationNameFromPath(GetParam().modulePath), GetParam().applicationName);
}

TEST_P(ModulePathTest, HelpFileReplacesTheExtension) {
    EXPECT_EQ(HelpFilePathFromPath(GetParam().modulePath), GetParam().helpFilePath);
}

TEST_P(ModulePathTest, HelpPageReplacesTheExtension) {
    EXPECT_EQ(HelpPagePathFromPath(GetParam().modulePath), GetParam().helpPagePath);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ModulePathTest,
    ::testing::Values(
        PathCase{"Plain", L"C:\\Tools\\SerialKey.exe", L"SerialKey", L"C:\\Tools\\SerialKey.HLP",
                 L"C:\\Tools\\SerialKey.html"},
        PathCase{"Renamed", L"C:\\Tools\\Scanner.exe", L"Scanner", L"C:\\Tools\\Scanner.HLP",
                 L"C:\\Tools\\Scanner.html"},
        PathCase{"OnlyTheLastExtension", L"C:\\Tools\\Serial.Key.exe", L"Serial.Key", L"C:\\Tools\\Serial.Key.HLP",
                 L"C:\\Tools\\Serial.Key.html"},
        PathCase{"DotInADirectory", L"C:\\My.Tools\\SerialKey", L"SerialKey", L"C:\\My.Tools\\SerialKey.HLP",
                 L"C:\\My.Tools\\SerialKey.html"},
        PathCase{"WineDrivePath", L"Z:\\work\\build/app/SerialKey.exe", L"SerialKey",
                 L"Z:\\work\\build/app/SerialKey.HLP", L"Z:\\work\\build/app/SerialKey.html"},
        PathCase{"NoDirectory", L"SerialKey.exe", L"SerialKey", L"SerialKey.HLP", L"SerialKey.html"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
