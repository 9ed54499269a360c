#include "correlation.h"

namespace coning {

std::string_view correlationName(Correlation c)
{
    switch (c) {
    case Correlation::Sobocinski:
        return "Sobocinski";
    case Correlation::Muskat:
        return "Muskat";
    case Correlation::MeyerGarder:
        return "Meyer-Garder";
    case Correlation::Chaney:
        return "Chaney-Noble";
    case Correlation::Schols:
        return "Schols";
    case Correlation::GuoLee:
        return "Guo-Lee";
    }
    return "";
}

} // namespace coning
