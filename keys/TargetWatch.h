// Whether the window in front can take synthesized key strokes now, and if not, why.
#pragma once

#include <cstdint>
#include <optional>

// Why strokes wait; None when they may go.
enum class TargetWait : std::uint8_t {
    None,
    OwnWindow,       // one of the program's own windows is in front
    NoWindow,        // no window has the focus: the lock screen, a secure desktop, nothing activated
    Elevated,        // the window in front runs with more rights: Windows drops keys sent to it, silently
    Unknown,         // the rights of the window in front cannot be asked
    ModifierHeld,    // the user holds Shift, Ctrl, Alt or Windows: a byte would become a shortcut
};

// What the platform tells about the desktop that the keys go to.
class Desktop {
public:
    // A top-level window; NoWindow names none.
    using Window = std::uintptr_t;
    static constexpr Window NoWindow = 0;

    struct Owner {
        bool thisProcess;
        // The integrity level of its process (Windows' mandatory label: 0x2000 medium, 0x3000
        // high, ...); none when the process cannot be asked.
        std::optional<std::uint32_t> integrityLevel;
    };

    // The window in front, which receives the keys.
    virtual Window Front() = 0;
    // Who owns `window`.
    virtual Owner OwnerOf(Window window) = 0;
    virtual std::uint32_t OwnIntegrityLevel() = 0;
    // Whether Shift, Ctrl, Alt or a Windows key is down, by the user or another program.
    virtual bool ModifierHeld() = 0;

protected:
    ~Desktop() = default;
};

// Looks at the window in front once per call. What only changes with the window, its owner and
// its rights, is asked again only when another window has come to the front.
class TargetWatch {
public:
    explicit TargetWatch(Desktop& desktop) : desktop_(desktop) {}

    struct Look {
        TargetWait wait;
        // Another window is in front than at the last look (or this is the first look).
        bool changed;
    };
    Look Check();

private:
    TargetWait WaitForOwner(Desktop::Window front);

    Desktop& desktop_;
    bool looked_ = false;
    Desktop::Window front_ = Desktop::NoWindow;
    TargetWait ownerWait_ = TargetWait::NoWindow;
    std::optional<std::uint32_t> ownLevel_;
};
