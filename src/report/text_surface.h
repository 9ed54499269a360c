#pragma once

#include "drawing_surface.h"

#include <string>
#include <vector>

namespace coning {

// A surface that keeps only what is printed, as plain text: every print is one line (two when a
// tab goes back to an earlier column), tabs become blanks, and clear() starts over. Drawing,
// colours and positions are ignored. The headless calculator prints its report through it.
class TextSurface : public DrawingSurface
{
public:
    explicit TextSurface(int columnsAcross = 40);

    // The printed lines, each ending with a line break.
    std::string text() const;
    const std::vector<std::string> &lines() const { return m_lines; }

    void setVisible(bool) override {}
    void setEmptyPicture() override {}
    void clear() override;
    void setForeColor(Rgb) override {}
    void setDrawWidth(int) override {}
    void setScale(float, float, float, float) override {}
    void print(const std::vector<PrintItem> &items) override;
    void setPrintPosition(float, float) override {}
    void drawLine(float, float, float, float, std::optional<Rgb>) override {}
    void drawBox(float, float, float, float, Rgb, bool) override {}
    void setPoint(float, float, Rgb) override {}
    void setToolTip(const std::string &) override {}
    void takeImageAsPicture() override {}
    int columnsAcross() const override { return m_columnsAcross; }

private:
    int m_columnsAcross;
    std::vector<std::string> m_lines;
};

} // namespace coning
