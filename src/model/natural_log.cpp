#include "real.h"
#include "result_cache.h"

#include <cmath>

namespace coning {
namespace {

// A run takes ln 10 for every base-10 logarithm and ln(re / rw) in several correlations.
thread_local ResultCache<16> logCache;

} // namespace

#if defined(__GNUC__) && !defined(__clang__)
__attribute__((noipa))
#elif defined(__clang__)
__attribute__((noinline, optnone))
#endif
Real naturalLog(Real x)
{
    if (x.value() <= 0.0)
        throw ArithmeticError(Fault::InvalidArgument);
    const double a = x.value();
    double result = 0.0;
    std::size_t slot = 0;
    if (!logCache.find(a, 0.0, result, slot)) {
        result = std::log(a);
        logCache.store(slot, a, 0.0, result);
    }
    return Real(result);
}

} // namespace coning
