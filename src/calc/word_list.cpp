#include "word_list.h"

namespace coning {

std::string joinedWithAnd(const std::vector<std::string_view> &names)
{
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i > 0)
            list += i + 1 == names.size() ? " and " : ", ";
        list += names[i];
    }
    return list;
}

} // namespace coning
