// The help page: a web page beside the program, opened in the web browser at a window's topic.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The name of the topic in the page that answers help context `context` (what F1 asks a window
// for): "context-0x20066" for the window of template 102.
std::wstring HelpTopicFragment(std::uint32_t context);

// The file: URL of a Windows path ("C:\..." or "\\server\share\..."), followed by '#' and
// `fragment` unless that is empty. Everything but letters, digits and the few marks that a path
// keeps as they are is percent-encoded (UTF-8), so the URL holds no space or quote.
std::wstring FileUrl(std::wstring_view windowsPath, std::wstring_view fragment);

// The command line that opens `url` with the command that the system registers for web links, as
// the shell does: "%1" and "%L" become the URL and "%*" nothing; without a placeholder the URL
// goes at the end.
std::wstring BrowserCommandLine(std::wstring_view registeredCommand, std::wstring_view url);
