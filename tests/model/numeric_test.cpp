#include "model/numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using namespace coning;

Fault faultOf(auto &&operation)
{
    try {
        operation();
    } catch (const ArithmeticError &e) {
        return e.fault();
    }
    ADD_FAILURE() << "no ArithmeticError";
    return Fault::Overflow;
}

TEST(Log10, IsTheQuotientOfNaturalLogarithms)
{
    EXPECT_EQ(Log10(1000.0).value(), std::log(1000.0) / std::log(10.0));
    EXPECT_NEAR(Log10(1000.0).value(), 3.0, 4.5e-16);
    EXPECT_NEAR(Log10(4000.0).value(), 3.60206, 5e-6);
    EXPECT_EQ(Log10(1.0).value(), 0.0);
    EXPECT_NEAR(Log10(0.5).value(), -0.30103, 5e-6);
}

TEST(Log10, NonPositiveArgumentFails)
{
    EXPECT_EQ(faultOf([] { Log10(0.0); }), Fault::InvalidArgument);
    EXPECT_EQ(faultOf([] { Log10(-2.0); }), Fault::InvalidArgument);
}

TEST(SquareRoot, IsThePowerOneHalf)
{
    EXPECT_EQ(SquareRoot(2.0).value(), std::pow(2.0, 0.5));
    EXPECT_NEAR(SquareRoot(2.0).value(), 1.41421, 5e-6);
    EXPECT_EQ(SquareRoot(0.0).value(), 0.0);
    EXPECT_EQ(faultOf([] { SquareRoot(-1.0); }), Fault::InvalidArgument);
}

TEST(Real, FailuresAreReportedNotPropagated)
{
    const double big = std::numeric_limits<double>::max();
    EXPECT_EQ(faultOf([] { Real(1.0) / Real(0.0); }), Fault::DivisionByZero);
    EXPECT_EQ(faultOf([] { Real(0.0) / Real(-0.0); }), Fault::DivisionByZero);
    EXPECT_EQ(faultOf([&] { Real(big) * 2.0; }), Fault::Overflow);
    EXPECT_EQ(faultOf([&] { Real(big) + big; }), Fault::Overflow);
    EXPECT_EQ(faultOf([&] { Real(-big) - big; }), Fault::Overflow);
    EXPECT_EQ(faultOf([&] { Real(1e300) / 1e-300; }), Fault::Overflow);
    EXPECT_EQ(faultOf([] { Real(std::numeric_limits<double>::infinity()); }), Fault::Overflow);
    EXPECT_EQ(faultOf([] { Real(std::nan("")); }), Fault::InvalidArgument);
}

TEST(Power, DomainAndRangeFailures)
{
    EXPECT_EQ(faultOf([] { power(-8.0, 1.0 / 3.0); }), Fault::InvalidArgument);
    EXPECT_EQ(faultOf([] { power(0.0, -1.0); }), Fault::DivisionByZero);
    EXPECT_EQ(faultOf([] { power(10.0, 400.0); }), Fault::Overflow);
    EXPECT_EQ(power(-2.0, 3.0).value(), -8.0);
    EXPECT_EQ(power(10.0, -400.0).value(), 0.0);
    EXPECT_EQ(power(0.0, 2.14).value(), 0.0);
}

TEST(Power, CallsTheLibraryPowEvenForSquares)
{
    // For some arguments the library's pow(x, 2) and x * x differ in the last bit; the checked
    // power must give pow's bits in every build, so compare with a call the compiler cannot
    // rewrite.
    double (*volatile libraryPow)(double, double) = std::pow;
    int differing = 0;
    double x = 1.0;
    for (int i = 0; i < 20000; ++i) {
        x = std::nextafter(x * 1.0001, 2.0e9);
        EXPECT_EQ(power(x, 2.0).value(), libraryPow(x, 2.0)) << x;
        EXPECT_EQ(power(x, 3.0).value(), libraryPow(x, 3.0)) << x;
        volatile double y = x;
        differing += (y * y) != libraryPow(x, 2.0);
    }
    RecordProperty("squaresDifferingFromPow", differing);
}

TEST(NaturalLog, NonPositiveFails)
{
    EXPECT_EQ(faultOf([] { naturalLog(0.0); }), Fault::InvalidArgument);
    EXPECT_EQ(faultOf([] { naturalLog(-1.0); }), Fault::InvalidArgument);
    EXPECT_EQ(naturalLog(1.0).value(), 0.0);
}

} // namespace
