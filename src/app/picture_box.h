#pragma once

#include "report/drawing_surface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QWidget>

#include <vector>

namespace coning {

// The largest fixed-pitch font of which `columns` character widths fit into `widthPixels`, but
// none smaller than `smallestPixels`.
QFont fixedPitchFontFitting(int columns, int widthPixels, int smallestPixels = 6);

// One drawing operation of a picture box, in pixels inside its border.
struct DrawOp
{
    enum class Kind { Text, Line, Box, FilledBox, Point };
    Kind kind = Kind::Line;
    QPointF from; // the text's baseline start, a line's or box's first corner, a point's centre
    QPointF to;
    QColor colour;
    int width = 1;
    QFont font;
    QString text;
};

// A picture box: a drawing surface that keeps what was drawn on it as a list of drawing
// operations, so that it survives the window being covered or repainted and is painted afresh at
// whatever resolution it is shown or printed: sharp on a high-DPI screen, and on paper with its
// text as text.
//
// As a picture box has them, there are two drawings: the persistent one that all drawing and
// printing goes into and that the box shows, and the picture, a background that clear() restores
// (set by takeImageAsPicture, removed by setEmptyPicture). User coordinates map onto the area
// inside the sunken border.
class PictureBox : public QWidget, public DrawingSurface
{
    Q_OBJECT

public:
    static constexpr int borderWidth = 2;
    // Pixels between the border and text printed from the left edge, where the line has room.
    static constexpr double textInset = 3.0;

    explicit PictureBox(QWidget *parent = nullptr);

    void setVisible(bool visible) override;
    void setEmptyPicture() override;
    void clear() override;
    void setForeColor(Rgb color) override;
    void setDrawWidth(int width) override;
    void setScale(float left, float top, float right, float bottom) override;
    void print(const std::vector<PrintItem> &items) override;
    void setPrintPosition(float x, float y) override;
    void drawLine(float x1, float y1, float x2, float y2, std::optional<Rgb> color) override;
    void drawBox(float x1, float y1, float x2, float y2, Rgb color, bool filled) override;
    void setPoint(float x, float y, Rgb color) override;
    void setToolTip(const std::string &text) override;
    void takeImageAsPicture() override;
    int columnsAcross() const override;
    int fitColumns(int columns) override;
    float textWidth(const std::string &text) const override;
    using QWidget::setToolTip;

    // Text never gets smaller than this, in pixels, however long a line.
    static constexpr int smallestTextPixels = 9;

    // The surface's own font of printed text; tab columns count in its character width. A report
    // may make the text smaller for a long line (fitColumns) until the next clear().
    void setSurfaceFont(const QFont &font);
    QFont surfaceFont() const { return m_font; }
    // The most columns that fit across at the smallest text.
    int mostColumns() const;
    double columnWidth() const { return m_columnWidth; }
    double lineHeight() const { return m_lineHeight; }

    // What the box shows inside its border, painted at the screen's pixel density.
    QImage image() const;
    // The drawing operations, painted in this order; text items as they were printed.
    const std::vector<DrawOp> &drawing() const { return m_ops; }
    bool hasPicture() const { return m_hasPicture; }
    QColor foreColor() const { return m_foreColor; }
    int drawWidth() const { return m_drawWidth; }
    // The print position, in pixels from the top-left corner inside the border.
    QPointF printPositionPixels() const { return m_printPosition; }
    // Between user coordinates and pixels inside the border.
    QPointF toPixels(QPointF user) const;
    QPointF toUser(QPointF pixels) const;
    // The area inside the border, in the widget's coordinates.
    QRect innerRect() const;

    QSize sizeHint() const override;
    void setDesignSize(QSize size) { m_designSize = size; }

    // Marks what the box shows as results of earlier inputs: the drawing is dimmed and `note`
    // stands in a band at the top or bottom edge. An empty note removes the mark.
    enum class NoteEdge { Top, Bottom };
    void setStaleNote(const QString &note, NoteEdge edge);
    QString staleNote() const { return m_staleNote; }

    // What the box shows, in words, for assistive technology: its accessible description, and
    // the value its accessible interface reports.
    void setAccessibleText(const QString &text);

signals:
    // The pointer moved over the box: button and key states as 1/2/4 bit sets (left, right,
    // middle; Shift, Ctrl, Alt) and the position in user coordinates.
    void pointerMoved(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QColor background() const;
    // Paints the drawing inside the border, with the painter's origin at its top-left corner.
    void paintDrawing(QPainter &painter) const;
    void add(DrawOp op);
    void useFont(const QFont &font);
    void textAt(const QString &text);
    void newLine();
    void paintStaleNote(QPainter &painter) const;

    std::vector<DrawOp> m_ops;
    std::vector<DrawOp> m_picture;
    bool m_hasPicture = false;
    QColor m_foreColor;
    int m_drawWidth = 1;
    QFont m_font;     // the surface's own
    QFont m_textFont; // the one text is printed in now
    double m_columnWidth = 8.0;
    double m_lineHeight = 16.0;
    double m_ascent = 12.0;
    QPointF m_printPosition;
    // User coordinates of the top-left and bottom-right corners; twips until a result sets its own.
    QPointF m_scaleTopLeft;
    QPointF m_scaleBottomRight;
    bool m_twipsScale = true;
    QSize m_designSize;
    QString m_staleNote;
    NoteEdge m_noteEdge = NoteEdge::Top;
};

} // namespace coning
