// The gate between received bytes and key events: held for the program's own windows, dropped and
// stopped only between two strokes, so that no key is ever left down.
#include "serial/TypingGate.h"

#include <gtest/gtest.h>

#include <bitset>
#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/EventLog.h"
#include "fakes/RecordingKeySink.h"
#include "fakes/RecordingSleeper.h"
#include "fakes/ScriptedFocus.h"

namespace {

using Events = std::vector<std::string>;
using KeyEvents = std::vector<KeyEvent>;
using namespace std::chrono_literals;

KeyEvents StrokesOf(const std::string& text) {
    RecordingKeySink sink;
    SendBytesAsKeys(sink, reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
    return sink.Events();
}

std::bitset<256> KeysLeftDown(const KeyEvents& events) {
    std::bitset<256> down;
    for (const KeyEvent& event : events) down.set(event.virtualKey, (event.flags & KeyEventKeyUp) == 0);
    return down;
}

class TypingGateTest : public testing::Test {
protected:
    void TypeBatch(const std::string& text) {
        typing.StartBatch();
        typing.Type(reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size()));
    }

    EventLog log;
    RecordingKeySink keys;
    ScriptedFocus focus;
    RecordingSleeper sleeper{log};
    TypingGate typing{keys, focus, sleeper};
};

TEST_F(TypingGateTest, WithTheFocusElsewhereEveryStrokeIsTypedAtOnce) {
    TypeBatch("Ab\n");

    EXPECT_EQ(keys.Events(), StrokesOf("Ab\n"));
    EXPECT_EQ(focus.Looks(), 3);  // once before each stroke
    EXPECT_EQ(log.Events(), Events{});
}

TEST_F(TypingGateTest, WhileTheProgramsOwnWindowHasTheFocusTheStrokesWaitThenAllAreTyped) {
    focus.Script([](int look) { return look <= 3; });
    TypeBatch("\t\r\x1b");

    EXPECT_EQ(keys.Events(), StrokesOf("\t\r\x1b"));
    EXPECT_EQ(log.Events(), Events(3, "sleep 50 ms"));
}

TEST_F(TypingGateTest, FocusThatMovesToTheProgramMidBatchHoldsTheRestFromTheNextStroke) {
    focus.Script([](int look) { return look == 2 || look == 3; });
    TypeBatch("AB");

    EXPECT_EQ(keys.Events(), StrokesOf("AB"));
    EXPECT_EQ(log.Events(), Events(2, "sleep 50 ms"));
}

TEST_F(TypingGateTest, HoldKeepsStrokesWaitingUntilItsRelease) {
    focus.Script([this](int look) {
        if (look == 1) typing.Hold();
        if (look == 3) typing.Release();
        return false;
    });
    TypeBatch("x");

    EXPECT_EQ(keys.Events(), StrokesOf("x"));
    EXPECT_EQ(log.Events(), Events(2, "sleep 50 ms"));
}

struct DropCase {
    const char* what;
    int dropAtLook;  // before which stroke's look at the focus; 0: before the batch starts
    std::string typed;
};

TEST_F(TypingGateTest, DropTakesTheBatchesStartedBeforeItFromTheNextStrokeOn) {
    const DropCase cases[] = {
        {"held batch", 2, ""},
        {"batch being typed", 3, "AB"},
        {"drop before the batch started", 0, "ABCD"},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingKeySink sink;
        ScriptedFocus lookedAt;
        TypingGate gate(sink, lookedAt, sleeper);
        lookedAt.Script([&](int look) {
            if (look == c.dropAtLook) gate.DropUntyped();
            return c.dropAtLook == 2 && look < 2;  // the held batch waits for the focus until the drop
        });
        if (c.dropAtLook == 0) gate.DropUntyped();
        gate.StartBatch();
        gate.Type(reinterpret_cast<const std::uint8_t*>("ABCD"), 4);

        EXPECT_EQ(sink.Events(), StrokesOf(c.typed));
        EXPECT_EQ(KeysLeftDown(sink.Events()), std::bitset<256>{});
    }
}

TEST_F(TypingGateTest, BatchStartedAfterADropIsTyped) {
    focus.Script([this](int look) {
        if (look == 2) typing.DropUntyped();
        return false;
    });
    TypeBatch("\x1e\x1e");  // Shift and Ctrl with the key 6
    TypeBatch("ok");

    EXPECT_EQ(keys.Events(), StrokesOf("\x1eok"));
    EXPECT_EQ(KeysLeftDown(keys.Events()), std::bitset<256>{});
}

TEST_F(TypingGateTest, AfterStopNothingIsTyped) {
    focus.Script([this](int look) {
        if (look == 2) typing.Stop();
        return false;
    });
    TypeBatch("AB");
    TypeBatch("C");

    EXPECT_EQ(keys.Events(), StrokesOf("A"));
    EXPECT_EQ(KeysLeftDown(keys.Events()), std::bitset<256>{});
}

TEST_F(TypingGateTest, StopOfHeldTypingReturnsAtOnceAndTheHeldStrokesNeverCome) {
    focus.Script([this](int look) {
        if (look == 2) typing.Stop();
        return true;
    });
    TypeBatch("AB");

    EXPECT_EQ(keys.Events(), KeyEvents{});
}

// Takes the events, but holds up the typing right after Shift's press until the test lets it go on.
class StrokeStoppingSink final : public KeyEventSink {
public:
    void Emit(const KeyEvent& event) override {
        std::unique_lock<std::mutex> lock(mutex_);
        events_.push_back(event);
        if (events_.size() != 1) return;
        shiftDown_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, 10s, [this] { return goOn_; });
    }

    bool WaitUntilShiftDown() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 10s, [this] { return shiftDown_; });
    }

    void GoOn() {
        std::lock_guard<std::mutex> lock(mutex_);
        goOn_ = true;
        changed_.notify_all();
    }

    KeyEvents Events() {
        std::lock_guard<std::mutex> lock(mutex_);
        return events_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    KeyEvents events_;
    bool shiftDown_ = false;
    bool goOn_ = false;
};

struct WaitingCall {
    const char* what;
    void (TypingGate::*call)();
    std::string typed;
};

TEST(TypingGateFromAnotherThread, StopAndHoldWaitForTheStrokeUnderWayToEnd) {
    const WaitingCall calls[] = {
        {"Stop: nothing after the stroke", &TypingGate::Stop, "A"},
        {"Hold: the rest after the release", &TypingGate::Hold, "ABC"},
    };
    for (const WaitingCall& c : calls) {
        SCOPED_TRACE(c.what);
        EventLog log;
        StrokeStoppingSink sink;
        ScriptedFocus focus;
        RecordingSleeper sleeper{log};
        TypingGate typing(sink, focus, sleeper);
        auto reader = std::async(std::launch::async, [&] {
            typing.StartBatch();
            typing.Type(reinterpret_cast<const std::uint8_t*>("ABC"), 3);
        });
        ASSERT_TRUE(sink.WaitUntilShiftDown());

        auto call = std::async(std::launch::async, [&] { (typing.*c.call)(); });
        EXPECT_EQ(call.wait_for(50ms), std::future_status::timeout) << "returned with Shift down";
        sink.GoOn();
        EXPECT_EQ(call.wait_for(10s), std::future_status::ready);
        EXPECT_EQ(KeysLeftDown(sink.Events()), std::bitset<256>{});
        if (c.call == &TypingGate::Hold) typing.Release();

        EXPECT_EQ(reader.wait_for(10s), std::future_status::ready);
        EXPECT_EQ(sink.Events(), StrokesOf(c.typed));
    }
}

}  // namespace
