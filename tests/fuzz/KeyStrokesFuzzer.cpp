// Types arbitrary bytes and traps unless every byte gives exactly the stroke its
// row of the key table asks for, and no key stays down.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "keys/KeyMap.h"
#include "keys/KeyStrokes.h"
#include "keys/VirtualKeys.h"

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

constexpr std::uint32_t PressFlags = KeyEventExtendedKey;
constexpr std::uint32_t ReleaseFlags = KeyEventExtendedKey | KeyEventKeyUp;
// What receivers see: Shift and Ctrl with scan code 0x45, the key itself with 0.
constexpr std::uint8_t ModifierScanCode = 0x45;
constexpr std::uint8_t KeyScanCode = 0x00;

// Records the events, checking as they arrive that a key goes down only while it
// is up and comes up only while it is down.
class CheckingSink final : public KeyEventSink {
public:
    void Send(const KeyEvents& stroke) override {
        for (const KeyEvent& event : stroke) {
            const bool release = event.flags == ReleaseFlags;
            Check(release || event.flags == PressFlags);
            Check(event.extraInfo == 0);
            Check(down_[event.virtualKey] == release);
            down_[event.virtualKey] = !release;
            events_.push_back(event);
        }
        // Each stroke goes by itself, and leaves nothing down.
        Check(!AnyKeyDown());
    }

    bool AnyKeyDown() const { return std::find(std::begin(down_), std::end(down_), true) != std::end(down_); }

    const std::vector<KeyEvent>& Events() const { return events_; }

private:
    bool down_[256] = {};
    std::vector<KeyEvent> events_;
};

// Gives `stroke` the events that the table's row for `byte` asks for: the key pressed
// and released inside Shift and then Ctrl, as the modifier says, which come up in the
// order they went down. Bytes beyond the table have no stroke.
void FillExpectedStroke(std::uint8_t byte, std::vector<KeyEvent>& stroke) {
    stroke.clear();
    if (byte >= KeyMapRows) return;
    const std::uint8_t modifier = KeyMap.modifier[byte];
    const bool shift = modifier == ModifierShift || modifier == ModifierShiftCtrl;
    const bool ctrl = modifier == ModifierCtrl || modifier == ModifierShiftCtrl;
    const std::uint8_t key = KeyMap.virtualKey[byte];
    if (shift) stroke.push_back({VirtualKey::Shift, ModifierScanCode, PressFlags, 0});
    if (ctrl) stroke.push_back({VirtualKey::Control, ModifierScanCode, PressFlags, 0});
    stroke.push_back({key, KeyScanCode, PressFlags, 0});
    stroke.push_back({key, KeyScanCode, ReleaseFlags, 0});
    if (shift) stroke.push_back({VirtualKey::Shift, ModifierScanCode, ReleaseFlags, 0});
    if (ctrl) stroke.push_back({VirtualKey::Control, ModifierScanCode, ReleaseFlags, 0});
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CheckingSink sink;
    SendBytesAsKeys(sink, data, static_cast<std::uint32_t>(size));
    Check(!sink.AnyKeyDown());

    // Byte by byte, the events are the strokes in input order, with nothing in between.
    const std::vector<KeyEvent>& events = sink.Events();
    std::vector<KeyEvent> stroke;
    std::size_t at = 0;
    for (std::size_t i = 0; i < size; ++i) {
        FillExpectedStroke(data[i], stroke);
        Check(events.size() - at >= stroke.size());
        Check(std::equal(stroke.begin(), stroke.end(), events.begin() + at));
        at += stroke.size();
    }
    // And nothing after them: as many events as the table predicts.
    Check(at == events.size());
    return 0;
}
