// Between received bytes and key events: whole strokes only, held while the window in front cannot take them.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include "keys/KeyStrokes.h"
#include "keys/KeyboardLayout.h"
#include "keys/TargetWatch.h"
#include "serial/Sleeper.h"

// Told, from the reader thread, why the typing waits, and when it goes on (TargetWait::None).
class TypingListener {
public:
    virtual void TypingWaits(TargetWait why) = 0;

protected:
    ~TypingListener() = default;
};

// The reader thread types through the gate; the user-interface thread holds, drops and stops it.
// Strokes go to the platform in pieces, each put into the input stream whole, so that no Shift or
// Ctrl is ever left down and nothing else falls between their keys: every decision falls between
// two pieces.
class TypingGate {
public:
    TypingGate(KeyEventSink& keys, TargetWatch& target, Sleeper& sleeper, TypingListener& listener);

    // Printable characters are typed as themselves on `layout`, the receiving window's layout;
    // without one (the default), every byte strikes the key table's keys. Set before the reader
    // thread starts.
    void TypeCharactersOn(KeyboardLayout* layout) { layout_ = layout; }

    // Reader thread, before each read: the bytes of that read are a new batch,
    // which a drop from this moment on takes too.
    void StartBatch();
    // Reader thread: types the batch's bytes, in pieces of at most one read's worth. Before each
    // piece it looks at the window in front once, and waits while that cannot take strokes or the
    // typing is held; the layout is read again first when the window has changed or the piece
    // waited. Returns early, without typing the rest, once the batch is dropped or the typing
    // stopped.
    void Type(const std::uint8_t* bytes, std::uint32_t count);

    // User-interface thread. From Hold until the matching Release no piece goes;
    // Hold returns once the piece under way, if any, is in the input stream.
    void Hold();
    void Release();
    // The batches started so far type no further piece.
    void DropUntyped();
    // Returns once no key that the typing pressed is down; nothing is typed
    // from then on.
    void Stop();

private:
    // Whether the next piece goes; waits while it must. Sets `refreshLayout` when the layout
    // may have changed meanwhile.
    bool PieceMayGo(std::unique_lock<std::mutex>& lock, bool& refreshLayout);
    // Tells the listener when the reason for waiting changes.
    void Report(TargetWait why);

    KeyEventSink& keys_;
    KeyboardLayout* layout_ = nullptr;
    TargetWatch& target_;
    Sleeper& sleeper_;
    TypingListener& listener_;

    // Set without the lock, so that setting them never waits for the reader;
    // the reader looks at them again under the lock before a piece goes.
    std::atomic<int> holds_{0};
    std::atomic<std::uint64_t> drops_{0};
    std::atomic<bool> stopped_{false};

    // The reader holds it while it decides on a piece and while it sends it, so that a Hold or
    // Stop sees a piece whole or not at all.
    std::mutex mutex_;

    // The reader's own: the drops counted when its batch started, the reason last reported, and
    // the events of the piece under way.
    std::uint64_t dropsBeforeBatch_ = 0;
    TargetWait reported_ = TargetWait::None;
    KeyEvents events_;
};
