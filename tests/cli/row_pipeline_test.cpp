#include "cli/row_pipeline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace {

using coning::cli::RowOutput;
using coning::cli::RowPipeline;

// Rows made in a scrambled order of finishing still come out in input order, each once, with
// never more than the workers making rows and the held rows waiting.
TEST(RowPipeline, WritesInInputOrderWithinItsBounds)
{
    constexpr unsigned workers = 3;
    constexpr std::size_t held = 5;
    std::vector<std::string> written;
    std::atomic<int> making = 0;
    std::atomic<int> mostMaking = 0;
    {
        RowPipeline pipeline(
            workers,
            held,
            [&](RowOutput &row) {
                written.push_back(row.text);
                return true;
            },
            [] { return false; });
        for (int i = 0; i < 40; ++i) {
            const std::string text = std::to_string(i);
            if (i % 4 == 3) {
                ASSERT_TRUE(pipeline.add(RowOutput{text, {}, false}));
                continue;
            }
            ASSERT_TRUE(pipeline.add([&, text, i] {
                const int now = ++making;
                for (int most = mostMaking;
                     now > most && !mostMaking.compare_exchange_weak(most, now);) {
                }
                std::this_thread::sleep_for(std::chrono::milliseconds((i * 7) % 5));
                --making;
                return RowOutput{text, {}, false};
            }));
        }
        ASSERT_TRUE(pipeline.finish());
    }
    ASSERT_EQ(written.size(), 40u);
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(written[i], std::to_string(i));
    EXPECT_LE(mostMaking, static_cast<int>(workers));
    EXPECT_GE(mostMaking, 2); // rows were made at once
}

// An output that cannot be written stops everything: no row after it, and adding fails.
TEST(RowPipeline, AFailedWriteStopsIt)
{
    std::vector<std::string> written;
    RowPipeline pipeline(
        2,
        4,
        [&](RowOutput &row) {
            written.push_back(row.text);
            return row.text != "1";
        },
        [] { return false; });
    EXPECT_TRUE(pipeline.add(RowOutput{"0", {}, false}));
    EXPECT_TRUE(pipeline.add([] { return RowOutput{"1", {}, false}; }));
    EXPECT_FALSE(pipeline.finish());
    EXPECT_FALSE(pipeline.add(RowOutput{"2", {}, false}));
    EXPECT_TRUE(pipeline.stopping());
    EXPECT_EQ(written, (std::vector<std::string>{"0", "1"}));
}

} // namespace
