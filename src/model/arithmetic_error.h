#pragma once

#include <stdexcept>

namespace coning {

enum class Fault {
    DivisionByZero,
    InvalidArgument, // logarithm of a non-positive number, fractional power of a negative number
    Overflow,        // a value beyond the double range
};

const char *faultText(Fault fault);

// Thrown by every checked operation; the calculation run catches it and names the inputs.
class ArithmeticError : public std::runtime_error
{
public:
    explicit ArithmeticError(Fault fault)
        : std::runtime_error(faultText(fault))
        , m_fault(fault)
    {}

    Fault fault() const { return m_fault; }

private:
    Fault m_fault;
};

} // namespace coning
