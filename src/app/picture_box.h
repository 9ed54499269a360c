#pragma once

#include "report/drawing_surface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QWidget>

namespace coning {

// The largest fixed-pitch font of which `columns` character widths fit into `widthPixels`.
QFont fixedPitchFontFitting(int columns, int widthPixels);

// A picture box: a drawing surface on a persistent image, so that what was drawn survives the
// window being covered or repainted. Drawing goes into the image; the widget only shows it.
//
// As a picture box has them, there are two images: the persistent image that all drawing and
// printing goes into and that the box shows, and the picture, a background that clear() restores
// (set by takeImageAsPicture, removed by setEmptyPicture). User coordinates map onto the area
// inside the sunken border.
class PictureBox : public QWidget, public DrawingSurface
{
    Q_OBJECT

public:
    static constexpr int borderWidth = 2;

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
    using QWidget::setToolTip;

    // The font of printed text; tab columns count in its character width.
    void setSurfaceFont(const QFont &font);
    QFont surfaceFont() const { return m_font; }
    double columnWidth() const { return m_columnWidth; }
    double lineHeight() const { return m_lineHeight; }

    // What the box shows inside its border.
    QImage image() const { return drawing(); }
    bool hasPicture() const { return !m_picture.isNull(); }
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

signals:
    // The pointer moved over the box: button and key states as 1/2/4 bit sets (left, right,
    // middle; Shift, Ctrl, Alt) and the position in user coordinates.
    void pointerMoved(int button, int shift, float x, float y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // The image follows the widget's size, which the form sets before anything is drawn.
    QImage &drawing() const;
    QColor background() const;
    void textAt(const QString &text);
    void newLine();

    mutable QImage m_image;
    QImage m_picture;
    QColor m_foreColor;
    int m_drawWidth = 1;
    QFont m_font;
    double m_columnWidth = 8.0;
    double m_lineHeight = 16.0;
    QPointF m_printPosition;
    // User coordinates of the top-left and bottom-right corners; twips until a result sets its own.
    QPointF m_scaleTopLeft;
    QPointF m_scaleBottomRight;
    bool m_twipsScale = true;
    QSize m_designSize;
};

} // namespace coning
