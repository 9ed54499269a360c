#pragma once

#include "null_surface.h"

#include <string>
#include <vector>

namespace coning {

// A surface that keeps only what is printed, as plain text: every print is one line (two when a
// tab goes back to an earlier column), tabs become blanks, and clear() starts over. Drawing,
// colours and positions are ignored. The headless calculator prints its report through it.
class TextSurface : public NullSurface
{
public:
    explicit TextSurface(int columnsAcross = 40);

    // The printed lines, each ending with a line break.
    std::string text() const;
    const std::vector<std::string> &lines() const { return m_lines; }

    void clear() override;
    void print(const std::vector<PrintItem> &items) override;

private:
    std::vector<std::string> m_lines;
};

} // namespace coning
