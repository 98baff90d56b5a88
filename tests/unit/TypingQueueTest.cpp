// The bytes between reading and typing: in order, each once, bounded, dropped by Open, stopped at the end.
#include "serial/TypingQueue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

std::size_t Put(TypingQueue& queue, const std::string& text) {
    return queue.Put(Text(text).data(), text.size(), queue.Generation());
}

Bytes Take(TypingQueue& queue, std::size_t size) {
    Bytes bytes;
    TypingQueue::Taken taken;
    EXPECT_TRUE(queue.Take(bytes, size, taken));
    return bytes;
}

TEST(TypingQueue, GivesTheBytesInOrderEachOnceInTakesOfAtMostTheSizeAsked) {
    TypingQueue queue;
    Put(queue, "0123456789");
    Put(queue, "abcdefghij");

    EXPECT_EQ(Take(queue, 4), Text("0123"));
    EXPECT_EQ(Take(queue, 20), Text("456789abcdefghij"));
    EXPECT_EQ(queue.Size(), 0u);
}

TEST(TypingQueue, KeepsTheOldestBytesPastItsBoundAndSaysHowManyWereLost) {
    TypingQueue queue(8);
    struct Step {
        const char* put;
        std::size_t lost;
    };
    for (const Step& step : {Step{"12345", 0}, Step{"678", 0}, Step{"9", 1}, Step{"abc", 3}})
        EXPECT_EQ(Put(queue, step.put), step.lost) << step.put;

    EXPECT_EQ(Take(queue, 100), Text("12345678"));
    EXPECT_EQ(Put(queue, "room again"), 2u);
}

TEST(TypingQueue, ADropTakesWhatWaitsAndWhatReadsUnderWayDeliver) {
    TypingQueue queue;
    Put(queue, "old");
    const std::uint64_t readBegun = queue.Generation();
    queue.Drop();

    EXPECT_EQ(queue.Put(Text("late").data(), 4, readBegun), 0u);  // nothing lost: dropped on purpose
    EXPECT_EQ(queue.Size(), 0u);
    EXPECT_FALSE(queue.IsCurrent(readBegun));
    Put(queue, "new");
    EXPECT_EQ(Take(queue, 100), Text("new"));
}

TEST(TypingQueue, TellsWhetherTheTypingHadCaughtUpBeforeTheBytesCame) {
    TypingQueue queue;
    Bytes bytes;
    TypingQueue::Taken taken;
    Put(queue, "0123456789");

    ASSERT_TRUE(queue.Take(bytes, 4, taken));
    EXPECT_TRUE(taken.afterPause);  // the first bytes of all
    ASSERT_TRUE(queue.Take(bytes, 4, taken));
    EXPECT_FALSE(taken.afterPause);
    ASSERT_TRUE(queue.Take(bytes, 4, taken));  // takes the last two: the queue runs empty
    EXPECT_FALSE(taken.afterPause);
    Put(queue, "x");
    ASSERT_TRUE(queue.Take(bytes, 4, taken));
    EXPECT_TRUE(taken.afterPause);
}

TEST(TypingQueue, TakeWaitsForBytesAndStopEndsTheWait) {
    TypingQueue queue;
    auto first = std::async(std::launch::async, [&] { return Take(queue, 10); });
    EXPECT_EQ(first.wait_for(50ms), std::future_status::timeout);
    Put(queue, "ok");
    ASSERT_EQ(first.wait_for(10s), std::future_status::ready);
    EXPECT_EQ(first.get(), Text("ok"));

    auto second = std::async(std::launch::async, [&] {
        Bytes bytes;
        TypingQueue::Taken taken;
        return queue.Take(bytes, 10, taken);
    });
    EXPECT_EQ(second.wait_for(50ms), std::future_status::timeout);
    queue.Stop();
    ASSERT_EQ(second.wait_for(10s), std::future_status::ready);
    EXPECT_FALSE(second.get());
}

}  // namespace
