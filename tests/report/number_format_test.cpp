#include "report/number_format.h"
#include "report/pointer_readout.h"

#include "recording_surface.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <unistd.h>

namespace coning {
namespace {

struct Formatted
{
    double value;
    const char *text;
};

TEST(NumberFormat, RateHasOneDecimalAndNoForcedIntegerDigit)
{
    const Formatted cases[] = {
        {0.26, ".3"},
        {1234.56, "1234.6"},
        {12345.67, "12345.7"},
        {21.1119, "21.1"},
        {100, "100.0"},
        {0, ".0"},
        {9.96, "10.0"},
        {-1234.56, "-1234.6"},
        {-0.26, "-.3"},
        {1e20, "100000000000000000000.0"},
    };
    for (const Formatted &c : cases)
        EXPECT_EQ(formatRate(c.value), c.text) << c.value;
}

// The window's toolkit takes the number locale from the environment; the report must not. A
// German locale with a decimal comma is compiled into a private folder (LOCPATH), so the test
// needs no locale set up on the machine, only the locale sources and localedef.
TEST(NumberFormat, ReportNumbersIgnoreTheDecimalCommaOfTheLocale)
{
    const std::filesystem::path folder = std::filesystem::temp_directory_path()
                                         / ("coning-locale-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const std::string build = "localedef -c -i de_DE -f UTF-8 " + (folder / "de_DE.UTF-8").string()
                              + " >/dev/null 2>&1";
    if (!std::filesystem::exists("/usr/share/i18n/locales/de_DE")
        || (std::system(build.c_str()), !std::filesystem::exists(folder / "de_DE.UTF-8"))) {
        std::filesystem::remove_all(folder);
        GTEST_SKIP() << "no locale sources (Debian package locales)";
    }
    ::setenv("LOCPATH", folder.c_str(), 1);
    const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
    const std::string rate = formatRate(21.1119);
    const std::string whole = formatWhole(28.6);
    std::setlocale(LC_NUMERIC, "C");
    ::unsetenv("LOCPATH");
    std::filesystem::remove_all(folder);
    ASSERT_TRUE(german);
    EXPECT_EQ(rate, "21.1");
    EXPECT_EQ(whole, "29");
}

// Exact halves of the stored double go away from zero; values that only look like halves in
// decimal are rounded by what is stored.
TEST(NumberFormat, RateRoundsTheStoredDouble)
{
    const Formatted cases[] = {
        {0.25, ".3"}, // exact tie: not the even ".2"
        {2.25, "2.3"},
        {1.75, "1.8"},
        {-0.25, "-.3"},
        {1125899906842624.25, "1125899906842624.3"}, // a tie where one ulp is a quarter
        {0.15, ".1"},                                // stored just below .15
        {0.35, ".3"},                                // stored just below .35
        {0.45, ".5"},                                // stored just above .45
        {99.95, "100.0"},
        {-0.04, ".0"}, // rounds to zero: no sign
        {-0.0, ".0"},
        {-0.05, "-.1"}, // stored just beyond -.05
    };
    for (const Formatted &c : cases)
        EXPECT_EQ(formatRate(c.value), c.text) << c.value;
}

TEST(NumberFormat, WholeIsEmptyAtZeroAndRoundsHalvesAwayFromZero)
{
    const Formatted cases[] = {
        {40.4, "40"},
        {123.6, "124"},
        {0.3, ""},
        {250.2, "250"},
        {-12.6, "-13"},
        {1234.4, "1234"},
        {1e6, "1000000"},
        {0, ""},
        {-0.0, ""},
        {40.5, "41"},
        {41.5, "42"},
        {0.5, "1"},
        {-0.5, "-1"},
        {-2.5, "-3"},
        {-0.4, ""},                // rounds to zero: empty, no sign
        {0.49999999999999994, ""}, // adding .5 first would give 1
        {-0.49999999999999994, ""},
        {4503599627370495.5, "4503599627370496"},
    };
    for (const Formatted &c : cases)
        EXPECT_EQ(formatWhole(c.value), c.text) << c.value;
}

// The chart's scale: whole numbers from 10 up to 17 digits, three significant digits of the
// maximum below 10, exponent form beyond either end.
TEST(NumberFormat, ScaleValueHasTheDigitsOfItsScale)
{
    struct Case
    {
        double value, maximum;
        const char *text;
    };
    const Case cases[] = {
        {250.2, 250, "250"},
        {0.3, 250, ""},
        {28.6, 28.6, "29"},
        {0.0345, 0.0345, "0.0345"},
        {0.0123, 0.0345, "0.0123"},
        {-0.004, 0.0345, "-0.0040"},
        {0.00001, 0.0345, ""},
        {5.3, 5.3, "5.30"},
        {0.4, 0.4, "0.400"},
        {1.23456e-7, 1.23456e-7, "1.23e-07"},
        {1e-12, 1.23456e-7, ""},
        {4.484067748434436e21, 4.484067748434436e21, "4.484067748434436e+21"},
        {1.2e21, 4.484067748434436e21, "1.20e+21"},
        {99999999999999984.0, 99999999999999984.0, "99999999999999984"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(formatScaleValue(c.value, c.maximum), c.text) << c.value << " of " << c.maximum;
    // One rule for long numbers: past 17 digits the shortest text is in exponent form.
    EXPECT_EQ(formatShortest(157551212385582055424.0), "1.5755121238558206e+20");
    EXPECT_EQ(formatShortest(1e300), "1e+300");
    EXPECT_EQ(formatShortest(123456789012.25), "123456789012.25");
}

TEST(PointerReadout, ShowsWholeChartUnitsWhateverTheButtons)
{
    struct Case
    {
        float x, y;
        const char *tip;
    };
    const Case cases[] = {
        {40.4f, 123.6f, "40,124"},
        {0.3f, 57.2f, ",57"},
        {-12.6f, 250.2f, "-13,250"},
        {50.0f, 1234.4f, "50,1234"},
        {-0.3f, -0.2f, ","},
        {3000.0f, 1500.0f, "3000,1500"}, // twips, before any chart
    };
    for (const Case &c : cases) {
        for (int button : {0, 1, 2}) {
            test::RecordingSurface picture2;
            Picture2_MouseMove(picture2, button, button == 2 ? 1 : 0, c.x, c.y);
            ASSERT_EQ(picture2.calls.size(), 1u);
            EXPECT_EQ(picture2.calls[0].op, test::Op::SetToolTip);
            EXPECT_EQ(picture2.calls[0].text, c.tip) << c.x << "," << c.y << " button " << button;
        }
    }
}

} // namespace
} // namespace coning
