#include "calc/calculation_run.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

using namespace coning;

// A well as typed into the fields.
struct TypedWell
{
    const char *k, *mu, *B, *drho, *re, *rw, *h, *D, *T, *p;
};

ParameterSet typed(const TypedWell &w)
{
    ParameterSet m;
    permin_Change(m, w.k);
    vin_Change(m, w.mu);
    bin_Change(m, w.B);
    rhoin_Change(m, w.drho);
    rein_Change(m, w.re);
    rwin_Change(m, w.rw);
    hin_Change(m, w.h);
    din_Change(m, w.D);
    topin_Change(m, w.T);
    bhpin_Change(m, w.p);
    return m;
}

// Rates recorded to the bit from an unoptimised build. Optimised builds must give the same bits:
// every power goes through the library's pow at run time and nothing is contracted or reordered.
struct Golden
{
    const char *system;
    bool partialPenetration;
    bool partialCompletion;
    TypedWell well;
    double percent;
    std::array<double, correlationCount> rates;
    std::array<double, correlationCount> sweepAt37;
};

// clang-format off
const Golden golden[] = {
    {"Oil-Water", true, false, {"100", "1", "1.2", "0.3", "1000", "3", "50", "15", "0", "0"},
     0x1.ep+4,
     {0x1.51ca7676f684cp+4, 0x1.6a142a31fe194p+4, 0x1.50da918a8b931p+3,
      0x1.5d6a17c2818e1p+4, 0x1.d9cc764eda63ep+3, 0x1.3edce6260bba4p+4},
     {0x1.30030437ddddep+4, 0x1.5189d18b029e3p+4, 0x1.3f7e2be936cb1p+3,
      0x1.40614446ceef1p+4, 0x1.c1613c3910e83p+3, 0x1.3d8f2cece5abdp+4}},
    {"Gas-Water", true, false, {"250", "0.02", "0.9", "0.7", "1500", "4", "80", "20", "0", "2000"},
     0x1.9p+4,
     {0x1.5af04b19934f6p+14, 0x1.9cd2f52420989p+14, 0x1.8aab95fe3504cp+13,
      0x1.8332488007432p+14, 0x1.dbbb9ad249bdfp+13, 0x1.6012c92f5ab78p+14},
     {0x1.236dafb952c7cp+14, 0x1.6e29a57f28503p+14, 0x1.6b22f43c62afep+13,
      0x1.52990e29bafb2p+14, 0x1.b5fa8a5b5d09fp+13, 0x1.6d9334d5cc699p+14}},
    {"Gas-Oil", true, false, {"75", "0.8", "1.1", "0.25", "800", "3.5", "60", "0", "25", "0"},
     0x1.d2aaaaaaaaaabp+5,
     {0x1.0285e0637e53p+4, 0x1.2ef8a4b1d5edfp+4, 0x1.39fe84629d556p+3,
      0x1.25353f6281dd6p+4, 0x1.c81c66f91a8afp+3, 0x1.2120bc4664f57p+4},
     {0x1.86e2ff4ec10cdp+4, 0x1.c6bc9063e8ef3p+4, 0x1.9acaab97bdda5p+3,
      0x1.87e0945380feap+4, 0x1.2a5c24a6d0df6p+4, 0x1.a7ed7faae320bp+4}},
    {"Oil-Water", false, true, {"100", "1", "1.2", "0.3", "1000", "3", "100", "60", "20", "0"},
     0x1.4p+5,
     {0x1.820bf51a3e4e5p+5, 0x1.d701283f281a3p+5, 0x1.9e96da8321effp+4,
      0x1.b12b6c1ad4188p+5, 0x1.2f8d192be902ap+5, 0x1.15e2c6db8657p+6},
     {0x0p+0, 0x0p+0, 0x0p+0,
      0x0p+0, 0x0p+0, 0x0p+0}},
    {"Gas-Oil", false, true, {"100", "1", "1.2", "0.3", "1000", "3", "100", "60", "20", "0"},
     0x1.4p+5,
     {0x1.820bf51a3e4e5p+4, 0x1.8b04912d630bbp+4, 0x1.9e96da8321effp+3,
      0x1.5f8812e0e49b3p+4, 0x1.137a7eca3eae8p+4, 0x1.130ecc108a9e4p+4},
     {0x0p+0, 0x0p+0, 0x0p+0,
      0x0p+0, 0x0p+0, 0x0p+0}},
    {"Gas-Water", false, true,
     {"33.3", "0.7", "1.05", "0.11", "666", "2.875", "37.5", "21.25", "4.75", "1234.5"},
     0x1.6p+5,
     {0x1.8861eb022f95bp+0, 0x1.7f9feb819022ep+0, 0x1.079b3f0e25bddp+2,
      0x1.71d2d6f363c05p+0, 0x1.24034a8956f25p+0, 0x1.056c1184add38p+0},
     {0x0p+0, 0x0p+0, 0x0p+0,
      0x0p+0, 0x0p+0, 0x0p+0}},
};
// clang-format on

TEST(BitIdentity, RatesMatchTheRecordedBits)
{
    for (const Golden &g : golden) {
        ParameterSet m = typed(g.well);
        const RunResult r = runCalculation(m,
                                           FixedChoices{g.system,
                                                        g.partialPenetration,
                                                        g.partialCompletion});
        ASSERT_FALSE(r.anyFailure()) << g.system;
        EXPECT_EQ(r.percentPenetration, g.percent) << g.system;
        for (int c = 0; c < correlationCount; ++c) {
            EXPECT_EQ(r.outcomes[c].rate, g.rates[c]) << g.system << " correlation " << c + 1;
            if (r.swept) {
                EXPECT_EQ(r.sweepRates[c][37], g.sweepAt37[c])
                    << g.system << " correlation " << c + 1;
            }
        }
    }
}

// FNV-1a over the bits of every sweep entry, so that a single differing bit anywhere shows.
std::uint64_t sweepDigest(const RunResult &r)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const auto &series : r.sweepRates) {
        for (const auto &point : series) {
            const double value = point.value_or(-1.0);
            std::uint64_t bits = 0;
            std::memcpy(&bits, &value, sizeof bits);
            for (int i = 0; i < 8; ++i) {
                hash ^= (bits >> (8 * i)) & 0xff;
                hash *= 1099511628211ull;
            }
        }
    }
    return hash;
}

TEST(BitIdentity, WholeSweepsMatchTheRecordedBits)
{
    struct Case
    {
        const char *system;
        const char *h, *D, *T, *p;
        std::uint64_t digest;
    };
    // clang-format off
    const Case cases[] = {
        {"Oil-Water", "37.3", "11.2", "0", "0", 0xa8b1838e961a9d4aull},
        {"Gas-Water", "81.7", "23", "0", "1873.2", 0xdfb492471142cb33ull},
        {"Gas-Oil", "55.5", "0", "17.25", "0", 0x861492b9326a67a6ull},
        {"Oil-Water", "7.9", "3.1", "0", "0", 0x5dd773c99425c266ull},
        {"Gas-Water", "410", "160", "0", "3561", 0xac1717e18ac1edecull},
        {"Gas-Oil", "1234", "0", "400", "0", 0xb07ddf993ff6ad82ull},
    };
    // clang-format on
    for (const Case &c : cases) {
        ParameterSet m = typed({"123.4", "0.87", "1.31", "0.27", "745", "3.5", c.h, c.D, c.T, c.p});
        const RunResult r = runCalculation(m, FixedChoices{c.system, true, false});
        char printed[32];
        std::snprintf(printed,
                      sizeof printed,
                      "0x%016llx",
                      static_cast<unsigned long long>(sweepDigest(r)));
        EXPECT_EQ(sweepDigest(r), c.digest) << c.system << " h=" << c.h << " digest " << printed;
    }
}

} // namespace
