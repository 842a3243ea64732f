#include "core/base/ParallelFor.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>
#include <vector>

namespace quiltara {
namespace {

// Every index is visited exactly once, whatever the count and grain, including loops
// started from inside another loop's chunks and loops started by two threads at once.
TEST(ParallelFor, VisitsEveryIndexOnceAndReportsTheEnd) {
    struct Case {
        int count, grain;
    };
    for (const Case c : {Case{1, 1}, Case{7, 3}, Case{1000, 1}, Case{1001, 64}, Case{5, 100}}) {
        std::vector<std::atomic<int>> hits(c.count);
        int lastProgress = -1;
        bool ordered = true;
        ParallelFor(
            c.count, c.grain,
            [&](int begin, int end) {
                // Nested loops must not wait for helpers that are busy with this one.
                ParallelFor(end - begin, 1, [&](int b, int e) {
                    for (int i = begin + b; i < begin + e; ++i) hits[i].fetch_add(1);
                });
            },
            [&](int done) {
                ordered = ordered && done >= lastProgress && done <= c.count;
                lastProgress = done;
            });
        for (int i = 0; i < c.count; ++i) ASSERT_EQ(hits[i].load(), 1) << c.count << " @" << i;
        EXPECT_EQ(lastProgress, c.count);
        EXPECT_TRUE(ordered);
    }

    std::atomic<long> sum{0};
    std::vector<std::thread> callers;
    for (int t = 0; t < 4; ++t)
        callers.emplace_back([&] {
            for (int round = 0; round < 50; ++round)
                ParallelFor(100, 7, [&](int b, int e) {
                    for (int i = b; i < e; ++i) sum.fetch_add(i);
                });
        });
    for (auto& t : callers) t.join();
    EXPECT_EQ(sum.load(), 4L * 50 * (99 * 100 / 2));
}

TEST(ParallelFor, AFailingChunkStopsTheLoopAndReachesTheCaller) {
    std::atomic<int> ran{0};
    EXPECT_THROW(ParallelFor(1 << 20, 1,
                             [&](int begin, int) {
                                 ran.fetch_add(1);
                                 if (begin == 3) throw std::runtime_error("chunk 3");
                             }),
                 std::runtime_error);
    EXPECT_LT(ran.load(), 1 << 20);
    // The pool is still usable afterwards.
    std::atomic<int> after{0};
    ParallelFor(100, 1, [&](int b, int e) { after.fetch_add(e - b); });
    EXPECT_EQ(after.load(), 100);
}

} // namespace
} // namespace quiltara
