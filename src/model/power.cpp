#include "real.h"

#include <cmath>

namespace coning {

// Kept out of line and out of interprocedural optimisation: a caller's constant exponent such as
// 2.0 must never let the compiler replace pow by a multiplication.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((noipa))
#elif defined(__clang__)
__attribute__((noinline, optnone))
#endif
Real power(Real base, Real exponent)
{
    const double b = base.value();
    const double e = exponent.value();
    if (b == 0.0 && e < 0.0)
        throw ArithmeticError(Fault::DivisionByZero);
    if (b < 0.0 && std::trunc(e) != e)
        throw ArithmeticError(Fault::InvalidArgument);
    return Real(std::pow(b, e));
}

} // namespace coning
