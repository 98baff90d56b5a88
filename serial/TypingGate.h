// Between received bytes and key events: whole strokes only, held for the program's own windows.
#pragma once

#include <atomic>
#include <bitset>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "keys/KeyStrokes.h"
#include "keys/KeyboardLayout.h"
#include "serial/Sleeper.h"

// Which window the typing would reach: the platform's answer, or a script in tests.
class FocusWatch {
public:
    // Whether the keyboard focus is in one of the program's own windows (the
    // settings window, the About box, a message box).
    virtual bool OwnWindowHasFocus() = 0;

protected:
    ~FocusWatch() = default;
};

// The reader thread types through the gate; the user-interface thread holds,
// drops and stops it. A stroke that has begun is always finished, so that no
// Shift or Ctrl is ever left down: every decision falls between two strokes.
class TypingGate {
public:
    TypingGate(KeyEventSink& keys, FocusWatch& focus, Sleeper& sleeper);

    // Printable characters are typed as themselves on `layout`, the receiving
    // window's layout; without one (the default), every byte strikes the key
    // table's keys. Set before the reader thread starts.
    void TypeCharactersOn(KeyboardLayout* layout) { layout_ = layout; }

    // Reader thread, before each read: the bytes of that read are a new batch,
    // which a drop from this moment on takes too.
    void StartBatch();
    // Reader thread: types the batch's bytes. Before each stroke it waits while
    // the program's own window has the focus or the typing is held; returns
    // early, without typing the rest, once the batch is dropped or the typing
    // stopped.
    void Type(const std::uint8_t* bytes, std::uint32_t count);

    // User-interface thread. From Hold until the matching Release no stroke
    // begins; Hold returns once the stroke under way, if any, has ended.
    void Hold();
    void Release();
    // The batches started so far type no further stroke.
    void DropUntyped();
    // Returns once no key that the typing pressed is down; nothing is typed
    // from then on.
    void Stop();

private:
    // Between SendBytesAsKeys and the platform: sees every event of a stroke.
    class StrokeFilter final : public KeyEventSink {
    public:
        explicit StrokeFilter(TypingGate& gate) : gate_(gate) {}
        void Emit(const KeyEvent& event) override { gate_.Pass(event); }

    private:
        TypingGate& gate_;
    };

    void Pass(const KeyEvent& event);
    // Whether the stroke that begins now is typed; waits while it must wait.
    bool StrokeMayBegin(std::unique_lock<std::mutex>& lock);
    void WaitForStrokeEnd();

    KeyEventSink& keys_;
    KeyboardLayout* layout_ = nullptr;
    FocusWatch& focus_;
    Sleeper& sleeper_;
    StrokeFilter filter_{*this};

    // Set without the lock, so that setting them never waits for the reader;
    // the reader looks at them again under the lock before a stroke begins.
    std::atomic<int> holds_{0};
    std::atomic<std::uint64_t> drops_{0};
    std::atomic<bool> stopped_{false};

    // The reader holds it while it decides on a stroke and while it passes on
    // each event, so that a Hold or Stop sees a stroke whole or not at all.
    std::mutex mutex_;
    std::condition_variable strokeEnded_;
    bool strokeTyped_ = false;

    // The reader's own: the keys the stroke under way has pressed and not yet
    // released, whether or not its events go through, and the drops counted
    // when its batch started.
    std::bitset<256> keysDown_;
    std::uint64_t dropsBeforeBatch_ = 0;
};
