#include "numeric.h"

namespace coning {

Real Log10(Real x)
{
    const Real ln10 = naturalLog(10.0);
    const Real lnX = naturalLog(x);
    return lnX / ln10;
}

Real SquareRoot(Real x)
{
    return power(x, 0.5);
}

} // namespace coning
