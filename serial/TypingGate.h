// Between received bytes and key events: whole strokes only, held while the window in front cannot take them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "keys/CharacterDecoder.h"
#include "keys/KeyStrokes.h"
#include "keys/KeyboardLayout.h"
#include "keys/TargetWatch.h"
#include "serial/Sleeper.h"
#include "serial/TypingQueue.h"

// Told, from the reader thread, why the typing waits, and when it goes on (TargetWait::None).
class TypingListener {
public:
    virtual void TypingWaits(TargetWait why) = 0;

protected:
    ~TypingListener() = default;
};

// The typing thread types what the queue holds through the gate; the user-interface thread holds,
// drops and stops it. Strokes go to the platform in pieces, each put into the input stream whole,
// so that no Shift or Ctrl is ever left down and nothing else falls between their keys: every
// decision falls between two pieces.
class TypingGate {
public:
    TypingGate(TypingQueue& queue, KeyEventSink& keys, TargetWatch& target, Sleeper& sleeper,
               TypingListener& listener);

    // Printable characters are typed as themselves on `layout`, the receiving window's layout;
    // without one (the default), every byte strikes the key table's keys. Set before the typing
    // thread starts.
    void TypeCharactersOn(KeyboardLayout* layout) { layout_ = layout; }
    // The bytes are characters of `charset` (ASCII unless told). Set before the typing thread
    // starts.
    void DecodeAs(Charset charset) { decoder_ = CharacterDecoder(charset); }

    // The typing thread's procedure: types what the queue holds until the typing is stopped.
    void Run();
    // Typing thread: waits for bytes in the queue, takes at most one read's worth and types them
    // as one piece. Before the piece goes it looks at the window in front once, and waits while
    // that cannot take strokes or the typing is held; the layout is read again first when the
    // window has changed, or after a wait. A piece that a drop overtakes is not typed. False once
    // the typing is stopped.
    bool TypeNext();

    // User-interface thread. From Hold until the matching Release no piece goes;
    // Hold returns once the piece under way, if any, is in the input stream.
    void Hold();
    void Release();
    // Nothing read so far is typed from now on, nor what reads under way deliver.
    void DropUntyped();
    // Returns once no key that the typing pressed is down; nothing is typed
    // from then on.
    void Stop();

private:
    // Whether the next piece goes; waits while it must. Sets `refreshLayout` when the layout
    // may have changed meanwhile.
    bool PieceMayGo(std::unique_lock<std::mutex>& lock, std::uint64_t generation, bool& refreshLayout);
    // Tells the listener when the reason for waiting changes.
    void Report(TargetWait why);

    TypingQueue& queue_;
    KeyEventSink& keys_;
    KeyboardLayout* layout_ = nullptr;
    TargetWatch& target_;
    Sleeper& sleeper_;
    TypingListener& listener_;

    // Set without the lock, so that setting them never waits for the reader;
    // the reader looks at them again under the lock before a piece goes.
    std::atomic<int> holds_{0};
    std::atomic<bool> stopped_{false};

    // The reader holds it while it decides on a piece and while it sends it, so that a Hold or
    // Stop sees a piece whole or not at all.
    std::mutex mutex_;

    // The typing thread's own: the reason last reported; the decoder, which the bytes of a drop's
    // generation start afresh; the bytes, characters and events of the piece under way.
    TargetWait reported_ = TargetWait::None;
    CharacterDecoder decoder_;
    std::uint64_t decodedGeneration_ = 0;
    std::vector<std::uint8_t> piece_;
    std::u32string characters_;
    KeyEvents events_;
};
