// Message maps: per-class tables that bind window messages and commands to member handlers.
//
// A class lists its own bindings and names its base class's map; a message goes to the
// first binding found, searching the most derived class first:
//
//     const MessageMap* CMyDlg::GetMessageMap() const {
//         static const MessageMapEntry entries[] = {
//             OnMessage<&CMyDlg::OnPaint>(WM_PAINT),
//             OnCommand<&CMyDlg::OnOpen>(IDC_OPEN),
//         };
//         static const MessageMap map{CDialog::GetMessageMap(), entries, std::size(entries)};
//         return &map;
//     }
//
// A handler takes nothing or (wParam, lParam), and returns nothing or the message's result.
#pragma once

#include <windows.h>

#include <cstddef>
#include <tuple>
#include <type_traits>

class CMessageTarget;

// One binding: a message, or for WM_COMMAND one command identifier with one notification code.
struct MessageMapEntry {
    UINT message;
    UINT commandId;
    UINT notifyCode;
    LRESULT (*call)(CMessageTarget& target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
    const MessageMap* base;
    const MessageMapEntry* entries;
    std::size_t count;
};

// Anything that has a message map: the application object and the windows.
class CMessageTarget {
public:
    virtual ~CMessageTarget() = default;

    // Runs the handler bound to the message, if any; false leaves the message to the caller.
    bool DispatchToHandler(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

protected:
    virtual const MessageMap* GetMessageMap() const { return nullptr; }
};

namespace message_map_detail {

template <class>
struct Handler;

template <class Class_, class Result_, class... Args>
struct Handler<Result_ (Class_::*)(Args...)> {
    using Class = Class_;
    using Result = Result_;
    static constexpr bool takesParameters = sizeof...(Args) != 0;
    using Parameters = std::tuple<Args...>;
};

template <auto handler>
LRESULT Call(CMessageTarget& target, WPARAM wParam, LPARAM lParam) {
    using H = Handler<decltype(handler)>;
    auto& object = static_cast<typename H::Class&>(target);
    auto invoke = [&] {
        // A handler may take wParam as a narrower type, as OnSysCommand takes its command
        // identifier as UINT: the message's value fits, also where WPARAM is 64 bits wide.
        if constexpr (H::takesParameters)
            return (object.*handler)(static_cast<std::tuple_element_t<0, typename H::Parameters>>(wParam), lParam);
        else
            return (object.*handler)();
    };
    if constexpr (std::is_void_v<typename H::Result>) {
        invoke();
        return 0;
    } else if constexpr (std::is_pointer_v<typename H::Result>) {
        return reinterpret_cast<LRESULT>(invoke());
    } else {
        return static_cast<LRESULT>(invoke());
    }
}

}  // namespace message_map_detail

// Binds a window message.
template <auto handler>
constexpr MessageMapEntry OnMessage(UINT message) {
    return {message, 0, 0, &message_map_detail::Call<handler>};
}

// Binds a command: a click on the button (BN_CLICKED) or a menu item with this identifier.
template <auto handler>
constexpr MessageMapEntry OnCommand(UINT commandId) {
    return {WM_COMMAND, commandId, BN_CLICKED, &message_map_detail::Call<handler>};
}
