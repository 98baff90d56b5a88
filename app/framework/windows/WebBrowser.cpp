// Starts the web browser on a URL with the command that the browser registered for web links.
#include "app/framework/windows/WebBrowser.h"

#include <windows.h>
#include <shlwapi.h>

#include <optional>

#include "app/framework/HelpPage.h"

namespace {

// ASSOCF_IS_PROTOCOL, from Windows 8 on (the program builds for Windows 7): the browser that the
// user chose for web links rather than the http class's own command.
constexpr ASSOCF UsersChoiceOfProtocolHandler = static_cast<ASSOCF>(0x1000);

std::optional<std::wstring> OpenCommandForWebLinks(ASSOCF flags) {
    DWORD length = 0;
    if (AssocQueryStringW(flags, ASSOCSTR_COMMAND, L"http", L"open", nullptr, &length) != S_FALSE) return std::nullopt;
    std::wstring command(length, L'\0');
    if (FAILED(AssocQueryStringW(flags, ASSOCSTR_COMMAND, L"http", L"open", command.data(), &length)))
        return std::nullopt;
    command.resize(length - 1);  // without the terminating zero
    return command;
}

}  // namespace

bool OpenInWebBrowser(const std::wstring& url) {
    // Where that query fails (Windows 7 does not know the flag), the http class's command.
    std::optional<std::wstring> command = OpenCommandForWebLinks(UsersChoiceOfProtocolHandler);
    if (!command) command = OpenCommandForWebLinks(ASSOCF_NONE);
    if (!command) return false;

    std::wstring commandLine = BrowserCommandLine(*command, url);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}
