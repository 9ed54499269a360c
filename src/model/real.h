#pragma once

#include "arithmetic_error.h"

#include <cmath>
#include <compare>

namespace coning {

// A finite double whose every operation is checked: a division by zero, a domain error or a
// result beyond the double range throws ArithmeticError instead of producing inf or nan. The
// operations are the plain IEEE ones in the order they are written, so formulas keep their bits.
class Real
{
public:
    Real(double value) // implicit, so literals read as in the formulas
        : m_value(checkedValue(value))
    {}

    double value() const { return m_value; }

    friend Real operator+(Real a, Real b) { return Real(a.m_value + b.m_value); }
    friend Real operator-(Real a, Real b) { return Real(a.m_value - b.m_value); }
    friend Real operator*(Real a, Real b) { return Real(a.m_value * b.m_value); }
    friend Real operator/(Real a, Real b)
    {
        if (b.m_value == 0.0)
            throw ArithmeticError(Fault::DivisionByZero);
        return Real(a.m_value / b.m_value);
    }
    Real operator-() const { return Real(-m_value); }

    friend bool operator==(Real a, Real b) { return a.m_value == b.m_value; }
    friend auto operator<=>(Real a, Real b) { return a.m_value <=> b.m_value; }

private:
    static double checkedValue(double value)
    {
        if (std::isnan(value))
            throw ArithmeticError(Fault::InvalidArgument);
        if (std::isinf(value))
            throw ArithmeticError(Fault::Overflow);
        return value;
    }

    double m_value;
};

// base ^ exponent through the C library's pow, called at run time: never rewritten as a product,
// so optimised and unoptimised builds agree to the last bit.
Real power(Real base, Real exponent);

// Natural logarithm through the C library's log; non-positive arguments fail.
Real naturalLog(Real x);

} // namespace coning
