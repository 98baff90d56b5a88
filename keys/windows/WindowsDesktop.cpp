// The window in front, its owner's rights and the modifier keys held, as Windows tells them.
#include "keys/windows/WindowsDesktop.h"

#include <windows.h>

#include <vector>

#include "keys/windows/SystemError.h"

namespace {

// The integrity level in the mandatory label of a process's token; none when it cannot be read.
std::optional<std::uint32_t> IntegrityLevelOf(HANDLE process) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) {
        TraceFailedCall(L"OpenProcessToken");
        return std::nullopt;
    }
    DWORD size = 0;
    GetTokenInformation(token, TokenIntegrityLevel, nullptr, 0, &size);
    std::vector<BYTE> label(size);
    std::optional<std::uint32_t> level;
    if (size && GetTokenInformation(token, TokenIntegrityLevel, label.data(), size, &size)) {
        const PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
        // The level is the label's last sub-authority.
        level = *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1u);
    } else {
        TraceFailedCall(L"GetTokenInformation(TokenIntegrityLevel)");
    }
    CloseHandle(token);
    return level;
}

}  // namespace

Desktop::Window WindowsDesktop::Front() { return reinterpret_cast<Window>(GetForegroundWindow()); }

Desktop::Owner WindowsDesktop::OwnerOf(Window window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &processId);
    // Every window of the program, the settings window, the About box and the message boxes,
    // belongs to this process.
    if (processId == GetCurrentProcessId()) return {true, std::nullopt};
    // The least that can be asked of a process, which Windows grants also for one that runs with
    // more rights than ours.
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process) {
        TraceFailedCall(L"OpenProcess(the window in front)");
        return {false, std::nullopt};
    }
    const std::optional<std::uint32_t> level = IntegrityLevelOf(process);
    CloseHandle(process);
    return {false, level};
}

std::uint32_t WindowsDesktop::OwnIntegrityLevel() {
    // Should our own token be unreadable, medium is what a program started by the user has.
    return IntegrityLevelOf(GetCurrentProcess()).value_or(SECURITY_MANDATORY_MEDIUM_RID);
}

bool WindowsDesktop::ModifierHeld() {
    // The keys as they are now, whoever pressed them.
    for (const int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LWIN, VK_RWIN})
        if (GetAsyncKeyState(key) & 0x8000) return true;
    return false;
}
