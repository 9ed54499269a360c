#pragma once

#include "report/text_surface.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace coning::test {

enum class Op {
    SetVisible,
    SetEmptyPicture,
    Clear,
    SetForeColor,
    SetDrawWidth,
    SetScale,
    Print,
    SetPrintPosition,
    DrawLine,
    DrawBox,
    SetPoint,
    SetToolTip,
    TakeImage
};

struct Call
{
    Op op;
    std::array<float, 4> at{}; // coordinates, in the order passed
    std::optional<Rgb> colour; // fore colour, line, box or point colour
    bool flag = false;         // visible, or filled
    int width = 0;             // draw width
    std::string text;          // the printed line(s), or the tool tip
};

// A printed line and the foreground colour it came out in.
struct PrintedLine
{
    std::string text;
    Rgb colour;
};

// Every call made to a surface, in order, with the printed lines tracked as TextSurface renders
// them. Surfaces given the same journal also record there, with their name, so the order across
// surfaces can be checked.
class RecordingSurface : public TextSurface
{
public:
    static constexpr Rgb initialColour{1, 2, 3}; // stands for the window-text colour

    explicit RecordingSurface(std::string name = {},
                              std::vector<std::string> *journal = nullptr,
                              int columns = 40)
        : TextSurface(columns)
        , m_name(std::move(name))
        , m_journal(journal)
    {}

    std::vector<Call> calls;
    std::vector<PrintedLine> printed; // since the last clear
    Rgb foreColour = initialColour;
    bool visible = false;

    // The calls of one kind, optionally only those after the last clear().
    std::vector<Call> callsOf(Op op, bool sinceClear = false) const
    {
        std::vector<Call> found;
        for (std::size_t i = sinceClear ? lastClear() : 0; i < calls.size(); ++i) {
            if (calls[i].op == op)
                found.push_back(calls[i]);
        }
        return found;
    }
    std::size_t lastClear() const
    {
        for (std::size_t i = calls.size(); i > 0; --i) {
            if (calls[i - 1].op == Op::Clear)
                return i - 1;
        }
        return 0;
    }
    std::vector<Op> ops() const
    {
        std::vector<Op> all;
        for (const Call &c : calls)
            all.push_back(c.op);
        return all;
    }
    std::vector<Rgb> lineColours() const
    {
        std::vector<Rgb> all;
        for (const PrintedLine &l : printed)
            all.push_back(l.colour);
        return all;
    }

    void setVisible(bool v) override
    {
        visible = v;
        record(make(Op::SetVisible, {}, {}, v));
    }
    void setEmptyPicture() override { record(make(Op::SetEmptyPicture)); }
    void clear() override
    {
        TextSurface::clear();
        printed.clear();
        record(make(Op::Clear));
    }
    void setForeColor(Rgb c) override
    {
        foreColour = c;
        record(make(Op::SetForeColor, {}, c));
    }
    void setDrawWidth(int w) override { record(make(Op::SetDrawWidth, {}, {}, false, w)); }
    void setScale(float l, float t, float r, float b) override
    {
        record(make(Op::SetScale, {l, t, r, b}));
    }
    void print(const std::vector<PrintItem> &items) override
    {
        const std::size_t before = lines().size();
        TextSurface::print(items);
        std::string text;
        for (std::size_t i = before; i < lines().size(); ++i) {
            printed.push_back({lines()[i], foreColour});
            text += (i > before ? "\n" : "") + lines()[i];
        }
        record(make(Op::Print, {}, foreColour, false, 0, text));
    }
    void setPrintPosition(float x, float y) override { record(make(Op::SetPrintPosition, {x, y})); }
    void drawLine(float x1, float y1, float x2, float y2, std::optional<Rgb> c) override
    {
        record(make(Op::DrawLine, {x1, y1, x2, y2}, c));
    }
    void drawBox(float x1, float y1, float x2, float y2, Rgb c, bool filled) override
    {
        record(make(Op::DrawBox, {x1, y1, x2, y2}, c, filled));
    }
    void setPoint(float x, float y, Rgb c) override { record(make(Op::SetPoint, {x, y}, c)); }
    void setToolTip(const std::string &t) override
    {
        record(make(Op::SetToolTip, {}, {}, false, 0, t));
    }
    void takeImageAsPicture() override { record(make(Op::TakeImage)); }

    // A surface that holds `mostColumns` columns at its smallest text, with characters
    // `charWidth` user units wide.
    int mostColumns = 1000;
    float charWidth = 0.0f;
    std::vector<int> fitRequests;
    int fitColumns(int columns) override
    {
        fitRequests.push_back(columns);
        return std::min(columns, mostColumns);
    }
    float textWidth(const std::string &text) const override
    {
        return static_cast<float>(text.size()) * charWidth;
    }

private:
    static Call make(Op op,
                     std::array<float, 4> at = {},
                     std::optional<Rgb> colour = {},
                     bool flag = false,
                     int width = 0,
                     std::string text = {})
    {
        Call call{op, at, colour, flag, width, std::move(text)};
        return call;
    }
    void record(Call call)
    {
        if (m_journal)
            m_journal->push_back(
                m_name + ":" + (call.op == Op::SetVisible && !call.flag ? "hide" : opName(call.op)));
        calls.push_back(std::move(call));
    }
    static std::string opName(Op op)
    {
        static const char *const names[] = {"visible",
                                            "empty",
                                            "clear",
                                            "colour",
                                            "width",
                                            "scale",
                                            "print",
                                            "position",
                                            "line",
                                            "box",
                                            "point",
                                            "tooltip",
                                            "take"};
        return names[static_cast<int>(op)];
    }

    std::string m_name;
    std::vector<std::string> *m_journal;
};

} // namespace coning::test
