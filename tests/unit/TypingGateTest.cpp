// The gate between the typing queue and key events: pieces of whole strokes, each after one look at
// the window in front, held while that cannot take them, dropped and stopped only between two pieces.
#include "serial/TypingGate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "fakes/AsciiCharacters.h"
#include "fakes/EventLog.h"
#include "fakes/FakeKeyboardLayout.h"
#include "fakes/RecordingKeySink.h"
#include "fakes/RecordingSleeper.h"
#include "fakes/ScriptedDesktop.h"

namespace {

using Events = std::vector<std::string>;
using namespace std::chrono_literals;

constexpr Desktop::Window Elsewhere = ScriptedDesktop::Elsewhere;
constexpr Desktop::Window OwnWindow = ScriptedDesktop::OwnWindow;

const std::uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }

KeyEvents StrokesOf(const std::string& text) {
    KeyEvents events;
    const std::u32string characters = AsciiCharacters(text);
    AppendKeyTableStrokes(events, characters.data(), characters.size());
    return events;
}

// Puts `text` into the queue as the reader does, then types until the queue is empty or the
// typing stopped.
void PutAndType(TypingQueue& queue, TypingGate& typing, const std::string& text) {
    queue.Put(Bytes(text), text.size(), queue.Generation());
    while (queue.Size() > 0 && typing.TypeNext()) {
    }
}

// Hears the reasons for waiting, in order.
class RecordingListener final : public TypingListener {
public:
    void TypingWaits(TargetWait why) override { heard.push_back(why); }
    std::vector<TargetWait> heard;
};

class TypingGateTest : public testing::Test {
protected:
    void TypeBatch(const std::string& text) { PutAndType(queue, typing, text); }

    EventLog log;
    TypingQueue queue;
    RecordingKeySink keys;
    ScriptedDesktop desktop;
    TargetWatch target{desktop};
    RecordingSleeper sleeper{log};
    RecordingListener listener;
    TypingGate typing{queue, keys, target, sleeper, listener};
};

TEST_F(TypingGateTest, WithAnotherProgramInFrontABatchGoesAtOnceInOnePiece) {
    TypeBatch("Ab\n");

    EXPECT_EQ(keys.Sends(), std::vector<KeyEvents>{StrokesOf("Ab\n")});
    EXPECT_EQ(desktop.Looks(), 1);
    EXPECT_EQ(log.Events(), Events{});
    EXPECT_TRUE(listener.heard.empty());
}

TEST_F(TypingGateTest, ALongerBatchGoesInPiecesOfOneReadEachAfterALook) {
    const std::string text = "0123456789abcdefghijKLMNOPQRSTUVWXYZ01234";
    TypeBatch(text);

    EXPECT_EQ(keys.Sends(), (std::vector<KeyEvents>{StrokesOf(text.substr(0, 20)), StrokesOf(text.substr(20, 20)),
                                                    StrokesOf(text.substr(40))}));
    EXPECT_EQ(desktop.Looks(), 3);
}

TEST_F(TypingGateTest, WhileTheProgramsOwnWindowIsInFrontThePieceWaitsThenGoes) {
    desktop.Script([](int look) { return look <= 3 ? OwnWindow : Elsewhere; });
    TypeBatch("\t\r\x1b");

    EXPECT_EQ(keys.Events(), StrokesOf("\t\r\x1b"));
    EXPECT_EQ(log.Events(), Events(3, "sleep 50 ms"));
}

TEST_F(TypingGateTest, WindowThatComesToTheFrontMidBatchHoldsTheNextPiece) {
    desktop.Script([](int look) { return look == 2 || look == 3 ? OwnWindow : Elsewhere; });
    const std::string text(30, 'x');
    TypeBatch(text);

    EXPECT_EQ(keys.Sends(), (std::vector<KeyEvents>{StrokesOf(text.substr(0, 20)), StrokesOf(text.substr(20))}));
    EXPECT_EQ(log.Events(), Events(2, "sleep 50 ms"));
}

struct WaitCase {
    const char* what;
    Desktop::Window front;
    Desktop::Owner owner;
    bool modifierHeld;
    TargetWait heard;
};

// However the window in front cannot take the strokes, they wait, the listener hears why, and
// they go by themselves once it can.
TEST(TypingGate, WaitsWhileTheWindowInFrontCannotTakeTheStrokesAndTellsWhy) {
    constexpr Desktop::Window Front = 9;
    const WaitCase cases[] = {
        {"no window", Desktop::NoWindow, {}, false, TargetWait::NoWindow},
        {"the own window", OwnWindow, {}, false, TargetWait::OwnWindow},
        {"an elevated window", Front, {false, 0x3000}, false, TargetWait::Elevated},
        {"a window that cannot be asked", Front, {false, std::nullopt}, false, TargetWait::Unknown},
        {"a modifier held", Elsewhere, {}, true, TargetWait::ModifierHeld},
    };
    for (const WaitCase& c : cases) {
        SCOPED_TRACE(c.what);
        EventLog log;
        RecordingKeySink keys;
        ScriptedDesktop desktop;
        if (c.front == Front) desktop.SetOwner(Front, c.owner);
        desktop.Script([&](int look) { return look <= 2 ? c.front : Elsewhere; });
        desktop.ScriptModifiers([&](int look) { return c.modifierHeld && look <= 2; });
        TargetWatch target(desktop);
        RecordingSleeper sleeper{log};
        RecordingListener listener;
        TypingQueue queue;
        TypingGate typing(queue, keys, target, sleeper, listener);

        PutAndType(queue, typing, "ok");

        EXPECT_EQ(keys.Events(), StrokesOf("ok"));
        EXPECT_EQ(log.Events(), Events(2, "sleep 50 ms"));
        EXPECT_EQ(listener.heard, (std::vector<TargetWait>{c.heard, TargetWait::None}));
    }
}

TEST_F(TypingGateTest, HoldKeepsPiecesWaitingUntilItsRelease) {
    desktop.Script([this](int look) {
        if (look == 1) typing.Hold();
        if (look == 3) typing.Release();
        return Elsewhere;
    });
    TypeBatch("x");

    EXPECT_EQ(keys.Events(), StrokesOf("x"));
    EXPECT_EQ(log.Events(), Events(2, "sleep 50 ms"));
    EXPECT_TRUE(listener.heard.empty()) << "a hold is the program's own doing: the tip has nothing to tell";
}

struct DropCase {
    const char* what;
    int dropAtLook;  // at which look at the window in front; 0: before the batch starts
    bool held;       // the own window is in front until the drop
    int typed;       // bytes
};

TEST_F(TypingGateTest, DropTakesTheBatchesStartedBeforeItFromTheNextPieceOn) {
    const std::string text(50, 'A');
    const DropCase cases[] = {
        {"held batch", 2, true, 0},
        {"batch being typed", 2, false, 20},
        {"drop before the batch started", 0, false, 50},
    };
    for (const DropCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingKeySink sink;
        ScriptedDesktop lookedAt;
        TargetWatch watch(lookedAt);
        RecordingListener heard;
        TypingQueue pending;
        TypingGate gate(pending, sink, watch, sleeper, heard);
        lookedAt.Script([&](int look) {
            if (look == c.dropAtLook) gate.DropUntyped();
            return c.held && look < c.dropAtLook ? OwnWindow : Elsewhere;
        });
        if (c.dropAtLook == 0) gate.DropUntyped();
        PutAndType(pending, gate, text);

        EXPECT_EQ(sink.Events(), StrokesOf(text.substr(0, c.typed)));
        // What waited is gone: the tip has nothing more to tell.
        if (!heard.heard.empty()) {
            EXPECT_EQ(heard.heard.back(), TargetWait::None);
        }
    }
}

TEST_F(TypingGateTest, BatchStartedAfterADropIsTyped) {
    desktop.Script([this](int look) {
        if (look == 2) typing.DropUntyped();
        return Elsewhere;
    });
    TypeBatch(std::string(25, '\x1e'));  // Shift and Ctrl with the key 6
    TypeBatch("ok");

    EXPECT_EQ(keys.Events(), StrokesOf(std::string(20, '\x1e') + "ok"));
}

TEST_F(TypingGateTest, AfterStopNothingIsTyped) {
    desktop.Script([this](int look) {
        if (look == 2) typing.Stop();
        return Elsewhere;
    });
    TypeBatch(std::string(25, 'A'));
    TypeBatch("C");

    EXPECT_EQ(keys.Events(), StrokesOf(std::string(20, 'A')));
}

TEST_F(TypingGateTest, StopOfHeldTypingReturnsAtOnceAndTheHeldPiecesNeverCome) {
    desktop.Script([this](int look) {
        if (look == 2) typing.Stop();
        return OwnWindow;
    });
    TypeBatch("AB");

    EXPECT_EQ(keys.Events(), KeyEvents{});
}

// A character whose bytes come in two pieces is typed whole, once its last byte is there.
TEST_F(TypingGateTest, DecodesTheCharacterSetAcrossPieces) {
    typing.DecodeAs(Charset::Utf8);
    const std::string text = std::string(19, 'x') + "\xC3\xA9!";  // the e acute's two bytes in two pieces
    TypeBatch(text);

    KeyEvents expected = StrokesOf(std::string(19, 'x'));
    const std::u32string rest = U"\u00E9!";
    AppendKeyTableStrokes(expected, rest.data(), rest.size());
    EXPECT_EQ(keys.Sends().size(), 2u);
    EXPECT_EQ(keys.Events(), expected);
}

TEST_F(TypingGateTest, BytesAfterADropBeginANewStreamOfCharacters) {
    typing.DecodeAs(Charset::Utf8);
    TypeBatch("\xF0\x9F");  // the start of an emoji; then Open
    typing.DropUntyped();
    TypeBatch("\xEF\xBB\xBFok");  // a byte-order mark at the new stream's start

    EXPECT_EQ(keys.Events(), StrokesOf("ok"));
}

// The keys of each piece are chosen on the layout of the window that receives them.
class TypingGateOnALayoutTest : public TypingGateTest {
protected:
    void SetUp() override { typing.TypeCharactersOn(&layout); }

    KeyEvents TypedOn(FakeKeyboardLayout other, const std::string& text) {
        KeyEvents events;
        const std::u32string characters = AsciiCharacters(text);
        AppendCharacterStrokes(events, other, characters.data(), characters.size());
        return events;
    }

    FakeKeyboardLayout layout = fake_layouts::Us();
};

TEST_F(TypingGateOnALayoutTest, ALayoutChangedDuringAWaitIsUsedForTheStrokesAfterIt) {
    desktop.Script([this](int look) {
        if (look == 2) layout.ChangeOnNextUpdate(fake_layouts::German());
        return look == 2 ? OwnWindow : Elsewhere;
    });
    TypeBatch("y@");
    TypeBatch("y@");

    EXPECT_EQ(keys.Sends(), (std::vector<KeyEvents>{TypedOn(fake_layouts::Us(), "y@"),
                                                    TypedOn(fake_layouts::German(), "y@")}));
}

TEST_F(TypingGateOnALayoutTest, TheLayoutIsReadAgainWhenBytesComeAfterTheTypingHasCaughtUp) {
    TypeBatch("y@");
    layout.ChangeOnNextUpdate(fake_layouts::German());  // switched by the user while nothing came
    TypeBatch("y@");

    EXPECT_EQ(keys.Sends(), (std::vector<KeyEvents>{TypedOn(fake_layouts::Us(), "y@"),
                                                    TypedOn(fake_layouts::German(), "y@")}));
}

TEST_F(TypingGateOnALayoutTest, TheLayoutIsReadAtTheFirstLookAndAgainWhenAnotherWindowComesToTheFront) {
    constexpr Desktop::Window Other = 5;
    desktop.SetOwner(Other, {false, ScriptedDesktop::OwnLevel});
    desktop.Script([this](int look) {
        if (look == 3) layout.ChangeOnNextUpdate(fake_layouts::German());
        return look >= 3 ? Other : Elsewhere;
    });
    const std::string text = std::string(40, 'y') + "@";
    TypeBatch(text);

    EXPECT_EQ(layout.Updates(), 2);  // at the first look, and when the other window came
    EXPECT_EQ(keys.Events(), [&] {
        KeyEvents expected = TypedOn(fake_layouts::Us(), text.substr(0, 40));
        const KeyEvents german = TypedOn(fake_layouts::German(), "@");
        expected.insert(expected.end(), german.begin(), german.end());
        return expected;
    }());
}

// Takes the first piece, but holds up the typing inside the platform's call until the test lets it
// go on.
class BlockingSink final : public KeyEventSink {
public:
    void Send(const KeyEvents& events) override {
        std::unique_lock<std::mutex> lock(mutex_);
        events_.insert(events_.end(), events.begin(), events.end());
        if (++sends_ != 1) return;
        inside_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, 10s, [this] { return goOn_; });
    }

    bool WaitUntilInside() {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, 10s, [this] { return inside_; });
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
    int sends_ = 0;
    bool inside_ = false;
    bool goOn_ = false;
};

struct WaitingCall {
    const char* what;
    void (TypingGate::*call)();
    int typed;
};

TEST(TypingGateFromAnotherThread, StopAndHoldWaitForThePieceUnderWay) {
    const std::string text(30, 'A');
    const WaitingCall calls[] = {
        {"Stop: nothing after the piece", &TypingGate::Stop, 20},
        {"Hold: the rest after the release", &TypingGate::Hold, 30},
    };
    for (const WaitingCall& c : calls) {
        SCOPED_TRACE(c.what);
        EventLog log;
        BlockingSink sink;
        ScriptedDesktop desktop;
        TargetWatch target(desktop);
        RecordingSleeper sleeper{log};
        RecordingListener listener;
        TypingQueue queue;
        TypingGate typing(queue, sink, target, sleeper, listener);
        auto reader = std::async(std::launch::async, [&] { PutAndType(queue, typing, text); });
        ASSERT_TRUE(sink.WaitUntilInside());

        auto call = std::async(std::launch::async, [&] { (typing.*c.call)(); });
        EXPECT_EQ(call.wait_for(50ms), std::future_status::timeout) << "returned while the piece was under way";
        sink.GoOn();
        EXPECT_EQ(call.wait_for(10s), std::future_status::ready);
        if (c.call == &TypingGate::Hold) typing.Release();

        EXPECT_EQ(reader.wait_for(10s), std::future_status::ready);
        EXPECT_EQ(sink.Events(), StrokesOf(text.substr(0, c.typed)));
    }
}

}  // namespace
