#pragma once

#include "drawing_surface.h"

namespace coning {

// A surface that keeps nothing, for a caller that wants only some of the results (the headless
// calculator's bar and chart).
class NullSurface : public DrawingSurface
{
public:
    explicit NullSurface(int columnsAcross = 40)
        : m_columnsAcross(columnsAcross)
    {}

    void setVisible(bool) override {}
    void setEmptyPicture() override {}
    void clear() override {}
    void setForeColor(Rgb) override {}
    void setDrawWidth(int) override {}
    void setScale(float, float, float, float) override {}
    void print(const std::vector<PrintItem> &) override {}
    void setPrintPosition(float, float) override {}
    void drawLine(float, float, float, float, std::optional<Rgb>) override {}
    void drawBox(float, float, float, float, Rgb, bool) override {}
    void setPoint(float, float, Rgb) override {}
    void setToolTip(const std::string &) override {}
    void takeImageAsPicture() override {}
    int columnsAcross() const override { return m_columnsAcross; }
    // Plain text has no edge to run over: every line fits.
    int fitColumns(int columns) override { return columns; }
    float textWidth(const std::string &) const override { return 0.0f; }

private:
    int m_columnsAcross;
};

} // namespace coning
