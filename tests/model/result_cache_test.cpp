#include "model/real.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

using namespace coning;

std::uint64_t bitsOf(double x)
{
    return std::bit_cast<std::uint64_t>(x);
}

// Far more distinct arguments than the caches hold, so slots are shared and overwritten, and each
// base with several exponents; every repeat, in any order, must still give the library's bits.
void checkAgainstLibrary()
{
    std::vector<std::pair<double, double>> arguments;
    for (int i = 0; i < 3000; ++i)
        arguments.emplace_back(0.5 + (i / 3) * 0.37, i % 7 == 0 ? 2.0 : 0.5 + (i % 13) * 0.25);
    for (int pass = 0; pass < 3; ++pass) {
        for (std::size_t k = 0; k < arguments.size(); ++k) {
            const auto [b, e] = arguments[pass == 1 ? arguments.size() - 1 - k : k];
            ASSERT_EQ(bitsOf(power(b, e).value()), bitsOf(std::pow(b, e))) << b << "^" << e;
            ASSERT_EQ(bitsOf(naturalLog(b).value()), bitsOf(std::log(b))) << b;
        }
    }
}

TEST(ResultCache, RepeatsGiveTheLibrarysBits)
{
    checkAgainstLibrary();
    // Signed zeros are different keys.
    EXPECT_FALSE(std::signbit(power(0.0, 3.0).value()));
    EXPECT_TRUE(std::signbit(power(-0.0, 3.0).value()));
    EXPECT_FALSE(std::signbit(power(0.0, 3.0).value()));
}

TEST(ResultCache, FailuresFailEveryTime)
{
    for (int i = 0; i < 2; ++i) {
        EXPECT_THROW(power(1e300, 2.0), ArithmeticError);
        EXPECT_THROW(power(0.0, -1.0), ArithmeticError);
        EXPECT_THROW(power(-2.0, 0.5), ArithmeticError);
        EXPECT_THROW(naturalLog(0.0), ArithmeticError);
    }
}

TEST(ResultCache, EachThreadHasItsOwn)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back(checkAgainstLibrary);
    for (std::thread &thread : threads)
        thread.join();
}

} // namespace
