#include "real.h"
#include "result_cache.h"

#include <cmath>

namespace coning {
namespace {

// A calculation run repeats most of its powers (the same h, D and percent in several
// correlations and sweep steps); pow is pure, so a repeat returns the stored result.
thread_local ResultCache<1024> powerCache;

} // namespace

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
    double result = 0.0;
    std::size_t slot = 0;
    if (!powerCache.find(b, e, result, slot)) {
        result = std::pow(b, e);
        powerCache.store(slot, b, e, result);
    }
    return Real(result);
}

} // namespace coning
