#include "arithmetic_error.h"

namespace coning {

const char *faultText(Fault fault)
{
    switch (fault) {
    case Fault::DivisionByZero:
        return "division by zero";
    case Fault::InvalidArgument:
        return "invalid argument";
    case Fault::Overflow:
        return "overflow";
    }
    return "arithmetic failure";
}

} // namespace coning
