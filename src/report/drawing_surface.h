#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace coning {

struct Rgb
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;

    friend bool operator==(Rgb, Rgb) = default;
};

// One item of a print statement: text, or a tab to a character column (counted from 1).
struct PrintItem
{
    enum class Kind { Text, Tab };
    Kind kind = Kind::Text;
    std::string text;
    int column = 0;

    static PrintItem tab(int column) { return {Kind::Tab, {}, column}; }
    static PrintItem of(std::string text) { return {Kind::Text, std::move(text), 0}; }
};

// The picture-box operations the results report, the charts, the printed report and the pointer
// read-out use. The window's picture boxes implement it on a persistent image; tests record the
// calls; the headless calculator renders the printed lines as plain text.
//
// Coordinates are in the surface's user coordinate system, in single precision. Until
// setScale is called that system is twips from the top-left corner, x right and y down.
class DrawingSurface
{
public:
    virtual ~DrawingSurface() = default;

    virtual void setVisible(bool visible) = 0;
    // Replace the surface's picture (the background image taken by takeImageAsPicture) by none.
    virtual void setEmptyPicture() = 0;
    // Erase all drawing and text; the print position returns to the top-left corner.
    virtual void clear() = 0;
    // Colour of text and of lines drawn without a colour of their own.
    virtual void setForeColor(Rgb color) = 0;
    virtual void setDrawWidth(int width) = 0;
    // User coordinates: (left, top) is the top-left corner, (right, bottom) the bottom-right; y
    // grows upward when bottom < top.
    virtual void setScale(float left, float top, float right, float bottom) = 0;
    // Print the items in the foreground colour, then a line break. A tab to a column the print
    // position has passed goes to that column of the next line.
    virtual void print(const std::vector<PrintItem> &items) = 0;
    // Set the print position (top-left of the next printed text).
    virtual void setPrintPosition(float x, float y) = 0;
    // A line in the given colour, or the foreground colour when none is given.
    virtual void drawLine(float x1, float y1, float x2, float y2, std::optional<Rgb> color) = 0;
    virtual void drawBox(float x1, float y1, float x2, float y2, Rgb color, bool filled) = 0;
    // A point as wide as the draw width.
    virtual void setPoint(float x, float y, Rgb color) = 0;
    virtual void setToolTip(const std::string &text) = 0;
    // Make everything drawn and printed so far the surface's picture.
    virtual void takeImageAsPicture() = 0;
    // How many character columns of the surface's font fit across it (for wrapping messages).
    virtual int columnsAcross() const = 0;
    // Sizes the text for lines of up to `columns` character widths: the surface's own font when
    // they fit across, else the largest smaller size at which they do, but never below the
    // smallest size that stays readable. Returns how many columns fit at the size chosen (fewer
    // than asked when even the smallest size is too wide). clear() restores the own font.
    virtual int fitColumns(int columns) = 0;
    // The width of `text` at the current font, in user units along x.
    virtual float textWidth(const std::string &text) const = 0;
};

} // namespace coning
