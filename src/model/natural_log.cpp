#include "real.h"

#include <cmath>

namespace coning {

#if defined(__GNUC__) && !defined(__clang__)
__attribute__((noipa))
#elif defined(__clang__)
__attribute__((noinline, optnone))
#endif
Real naturalLog(Real x)
{
    if (x.value() <= 0.0)
        throw ArithmeticError(Fault::InvalidArgument);
    return Real(std::log(x.value()));
}

} // namespace coning
