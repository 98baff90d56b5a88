// The help page's topic names, the file: URLs that reach them and the browser command that opens one.
#include "app/framework/HelpPage.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

TEST(HelpTopicFragment, NamesTheContextInHex) {
    EXPECT_EQ(HelpTopicFragment(0x20066), L"context-0x20066");
    EXPECT_EQ(HelpTopicFragment(0x20064), L"context-0x20064");
    EXPECT_EQ(HelpTopicFragment(0xFFFFFFFF), L"context-0xffffffff");
}

struct UrlCase {
    const char* name;
    const wchar_t* path;
    const wchar_t* fragment;
    const wchar_t* url;
};

void PrintTo(const UrlCase& c, std::ostream* os) { *os << c.name; }

class FileUrlTest : public ::testing::TestWithParam<UrlCase> {};

TEST_P(FileUrlTest, IsTheUrlOfThePathAtTheTopic) {
    EXPECT_EQ(FileUrl(GetParam().path, GetParam().fragment), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FileUrlTest,
    ::testing::Values(
        UrlCase{"Plain", L"C:\\SerialKey\\SerialKey.html", L"context-0x20066",
                L"file:///C:/SerialKey/SerialKey.html#context-0x20066"},
        UrlCase{"NoTopic", L"C:\\SerialKey\\SerialKey.html", L"", L"file:///C:/SerialKey/SerialKey.html"},
        UrlCase{"ProgramFilesX86", L"C:\\Program Files (x86)\\SerialKey\\SerialKey.html", L"t",
                L"file:///C:/Program%20Files%20(x86)/SerialKey/SerialKey.html#t"},
        // A '#', '%' or '?' in a folder name is part of the path, not the start of a fragment or query.
        UrlCase{"MarksThatAUrlReads", L"D:\\C# 100%?\\SerialKey.html", L"t",
                L"file:///D:/C%23%20100%25%3F/SerialKey.html#t"},
        UrlCase{"Accents", L"C:\\Outils\\Caf\u00e9\\SerialKey.html", L"t",
                L"file:///C:/Outils/Caf%C3%A9/SerialKey.html#t"},
        UrlCase{"Chinese", L"C:\\\u5de5\u5177\\SerialKey.html", L"t",
                L"file:///C:/%E5%B7%A5%E5%85%B7/SerialKey.html#t"},
        UrlCase{"BeyondTheBasicPlane", L"C:\\\U0001F600\\SerialKey.html", L"t",
                L"file:///C:/%F0%9F%98%80/SerialKey.html#t"},
        UrlCase{"NetworkShare", L"\\\\station-7\\tools\\SerialKey.html", L"t",
                L"file://station-7/tools/SerialKey.html#t"},
        UrlCase{"WineDrive", L"Z:\\tmp\\unpacked zip\\SerialKey.html", L"t",
                L"file:///Z:/tmp/unpacked%20zip/SerialKey.html#t"}),
    [](const auto& info) { return std::string(info.param.name); });

struct CommandCase {
    const char* name;
    const wchar_t* registered;
    const wchar_t* commandLine;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class BrowserCommandLineTest : public ::testing::TestWithParam<CommandCase> {};

constexpr const wchar_t* Url = L"file:///C:/SerialKey/SerialKey.html#context-0x20066";

TEST_P(BrowserCommandLineTest, PutsTheUrlWhereTheCommandTakesIt) {
    EXPECT_EQ(BrowserCommandLine(GetParam().registered, Url), GetParam().commandLine);
}

// The commands that browsers register for web links.
INSTANTIATE_TEST_SUITE_P(
    Browsers, BrowserCommandLineTest,
    ::testing::Values(
        CommandCase{"Edge",
                    L"\"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe\" --single-argument %1",
                    L"\"C:\\Program Files (x86)\\Microsoft\\Edge\\Application\\msedge.exe\" --single-argument "
                    L"file:///C:/SerialKey/SerialKey.html#context-0x20066"},
        CommandCase{"Firefox", L"\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" -osint -url \"%1\"",
                    L"\"C:\\Program Files\\Mozilla Firefox\\firefox.exe\" -osint -url "
                    L"\"file:///C:/SerialKey/SerialKey.html#context-0x20066\""},
        CommandCase{"Wine", L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"",
                    L"\"C:\\windows\\system32\\winebrowser.exe\" \"file:///C:/SerialKey/SerialKey.html#context-0x20066\""},
        CommandCase{"LongNamePlaceholder", L"browser.exe %L",
                    L"browser.exe file:///C:/SerialKey/SerialKey.html#context-0x20066"},
        CommandCase{"FurtherArgumentsDropped", L"browser.exe \"%1\" %*",
                    L"browser.exe \"file:///C:/SerialKey/SerialKey.html#context-0x20066\" "},
        CommandCase{"NoPlaceholder", L"\"C:\\Browser\\browser.exe\" -new-tab",
                    L"\"C:\\Browser\\browser.exe\" -new-tab \"file:///C:/SerialKey/SerialKey.html#context-0x20066\""},
        CommandCase{"OtherPercentsKept", L"browser.exe --profile=%APPDATA%x %1",
                    L"browser.exe --profile=%APPDATA%x file:///C:/SerialKey/SerialKey.html#context-0x20066"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
