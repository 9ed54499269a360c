#include "picture_box.h"

#include "form_layout.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QTextLayout>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace coning {
namespace {

QColor toQColor(Rgb color)
{
    return QColor(color.red, color.green, color.blue);
}

// Fonts are measured on an image, the device they are drawn on, so that hinting agrees.
QFontMetricsF imageMetrics(const QFont &font)
{
    static const QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    return QFontMetricsF(font, &device);
}

// Coordinates far outside the surface (a rate near the float limit) are held where the painter
// still clips them correctly.
double drawable(double pixels)
{
    constexpr double limit = 1.0e6;
    if (std::isnan(pixels))
        return 0.0;
    return std::clamp(pixels, -limit, limit);
}

QPointF drawable(QPointF pixels)
{
    return {drawable(pixels.x()), drawable(pixels.y())};
}

// Results of earlier inputs keep their colours, faded most of the way to the background: still
// legible, plainly not current. Opaque colours, as a print spooler turns translucency into an
// image.
QColor dimmed(const QColor &colour, const QColor &background)
{
    constexpr double kept = 0.35;
    const auto mix = [](int c, int b) { return static_cast<int>(kept * c + (1.0 - kept) * b); };
    return QColor(mix(colour.red(), background.red()),
                  mix(colour.green(), background.green()),
                  mix(colour.blue(), background.blue()));
}

const QColor noteBackground(255, 255, 192);
const QColor noteText(160, 0, 0);

// The box's text, drawing and value as a screen reader reads them.
class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(QWidget *box)
        : QAccessibleWidget(box, QAccessible::Graphic)
    {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return widget()->accessibleDescription();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *pictureBoxAccessible(const QString &key, QObject *object)
{
    if (key == QLatin1String("coning::PictureBox") && object && object->isWidgetType())
        return new PictureBoxAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

} // namespace

QFont fixedPitchFontFitting(int columns, int widthPixels, int smallestPixels)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    for (int size = 32; size > smallestPixels; --size) {
        font.setPixelSize(size);
        if (imageMetrics(font).horizontalAdvance(QLatin1Char('M')) * columns <= widthPixels)
            return font;
    }
    font.setPixelSize(smallestPixels);
    return font;
}

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
    , m_foreColor(palette().color(QPalette::Text))
    , m_designSize(200, 150)
{
    static const bool accessibleInstalled = [] {
        QAccessible::installFactory(pictureBoxAccessible);
        return true;
    }();
    (void)accessibleInstalled;
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(12);
    setSurfaceFont(font);
}

void PictureBox::setSurfaceFont(const QFont &font)
{
    m_font = font;
    useFont(font);
}

void PictureBox::useFont(const QFont &font)
{
    m_textFont = font;
    const QFontMetricsF metrics = imageMetrics(font);
    m_columnWidth = metrics.horizontalAdvance(QLatin1Char('M'));
    m_lineHeight = metrics.height();
    m_ascent = metrics.ascent();
}

namespace {

int pixelSizeOf(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
}

// Whole character widths of the font across `width` pixels.
int columnsIn(double width, const QFont &font)
{
    return static_cast<int>(
        std::floor(width / imageMetrics(font).horizontalAdvance(QLatin1Char('M'))));
}

} // namespace

int PictureBox::fitColumns(int columns)
{
    const double width = innerRect().width();
    QFont font = m_font;
    for (int size = pixelSizeOf(m_font); columnsIn(width, font) < columns; --size) {
        if (size <= smallestTextPixels)
            break;
        font.setPixelSize(size - 1);
    }
    useFont(font);
    return columnsIn(width, font);
}

int PictureBox::mostColumns() const
{
    QFont font = m_font;
    font.setPixelSize(std::min(pixelSizeOf(m_font), smallestTextPixels));
    return columnsIn(innerRect().width(), font);
}

float PictureBox::textWidth(const std::string &text) const
{
    const double pixels = imageMetrics(m_textFont).horizontalAdvance(QString::fromStdString(text));
    if (m_twipsScale)
        return static_cast<float>(pixels * twipsPerPixel);
    const double span = std::fabs(m_scaleBottomRight.x() - m_scaleTopLeft.x());
    return static_cast<float>(pixels * span / std::max(1, innerRect().width()));
}

QRect PictureBox::innerRect() const
{
    return rect().adjusted(borderWidth, borderWidth, -borderWidth, -borderWidth);
}

QColor PictureBox::background() const
{
    return palette().color(QPalette::Base);
}

void PictureBox::add(DrawOp op)
{
    m_ops.push_back(std::move(op));
    update();
}

void PictureBox::paintDrawing(QPainter &painter) const
{
    const QRectF inside(QPointF(0, 0), QSizeF(innerRect().size()));
    painter.fillRect(inside, background());
    painter.setClipRect(inside, Qt::IntersectClip);
    const bool stale = !m_staleNote.isEmpty();
    for (const DrawOp &op : m_ops) {
        const QColor colour = stale ? dimmed(op.colour, background()) : op.colour;
        switch (op.kind) {
        case DrawOp::Kind::Text:
            painter.setFont(op.font);
            painter.setPen(colour);
            painter.drawText(op.from, op.text);
            break;
        case DrawOp::Kind::Line:
            painter.setPen(QPen(colour, op.width));
            painter.drawLine(op.from, op.to);
            break;
        case DrawOp::Kind::Box:
            painter.setPen(QPen(colour, op.width));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(QRectF(op.from, op.to).normalized());
            break;
        case DrawOp::Kind::FilledBox:
            painter.fillRect(QRectF(op.from, op.to).normalized(), colour);
            break;
        case DrawOp::Kind::Point:
            if (op.width <= 1) {
                painter.setPen(QPen(colour, 1));
                painter.drawPoint(op.from);
            } else {
                // A dot as wide as the draw width, centred on the point.
                const double half = op.width / 2.0;
                painter.fillRect(QRectF(op.from - QPointF(half, half), QSizeF(op.width, op.width)),
                                 colour);
            }
            break;
        }
    }
    if (stale)
        paintStaleNote(painter);
}

void PictureBox::paintStaleNote(QPainter &painter) const
{
    // The form's narrow sans-serif: the note takes little of the results' room.
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    const double width = innerRect().width();
    constexpr double padding = 2.0;

    // The note wrapped at blanks across the box.
    QTextLayout layout(m_staleNote, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    double height = 0.0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width - 2 * padding);
        line.setPosition(QPointF(padding, height));
        height += line.height();
    }
    layout.endLayout();

    const double bandHeight = height + 2 * padding;
    const double top = m_noteEdge == NoteEdge::Top ? 0.0 : innerRect().height() - bandHeight;
    painter.fillRect(QRectF(0, top, width, bandHeight), noteBackground);
    painter.setPen(noteText);
    layout.draw(&painter, QPointF(0, top + padding));
}

void PictureBox::setStaleNote(const QString &note, NoteEdge edge)
{
    if (note == m_staleNote && edge == m_noteEdge)
        return;
    m_staleNote = note;
    m_noteEdge = edge;
    update();
}

void PictureBox::setAccessibleText(const QString &text)
{
    if (text != accessibleDescription())
        setAccessibleDescription(text);
}

QImage PictureBox::image() const
{
    // At the screen's pixel density, as the box shows it.
    const QSize size = innerRect().size().expandedTo(QSize(1, 1));
    const qreal ratio = devicePixelRatioF();
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    paintDrawing(painter);
    return image;
}

void PictureBox::setVisible(bool visible)
{
    QWidget::setVisible(visible);
}

void PictureBox::setEmptyPicture()
{
    m_picture.clear();
    m_hasPicture = false;
}

void PictureBox::clear()
{
    m_ops = m_picture;
    m_printPosition = {0.0, 0.0};
    useFont(m_font);
    update();
}

void PictureBox::setForeColor(Rgb color)
{
    m_foreColor = toQColor(color);
}

void PictureBox::setDrawWidth(int width)
{
    m_drawWidth = std::max(1, width);
}

void PictureBox::setScale(float left, float top, float right, float bottom)
{
    m_scaleTopLeft = {left, top};
    m_scaleBottomRight = {right, bottom};
    m_twipsScale = false;
}

QPointF PictureBox::toPixels(QPointF user) const
{
    if (m_twipsScale)
        return user / twipsPerPixel;
    const QSizeF size = innerRect().size();
    const double spanX = m_scaleBottomRight.x() - m_scaleTopLeft.x();
    const double spanY = m_scaleBottomRight.y() - m_scaleTopLeft.y();
    // A scale of zero extent maps everything onto its first edge rather than dividing by zero.
    const double x = spanX == 0.0 ? 0.0 : (user.x() - m_scaleTopLeft.x()) * size.width() / spanX;
    const double y = spanY == 0.0 ? 0.0 : (user.y() - m_scaleTopLeft.y()) * size.height() / spanY;
    return {x, y};
}

QPointF PictureBox::toUser(QPointF pixels) const
{
    if (m_twipsScale)
        return pixels * twipsPerPixel;
    const QSizeF size = innerRect().size().expandedTo(QSize(1, 1));
    const double spanX = m_scaleBottomRight.x() - m_scaleTopLeft.x();
    const double spanY = m_scaleBottomRight.y() - m_scaleTopLeft.y();
    return {m_scaleTopLeft.x() + pixels.x() * spanX / size.width(),
            m_scaleTopLeft.y() + pixels.y() * spanY / size.height()};
}

void PictureBox::newLine()
{
    m_printPosition = {0.0, m_printPosition.y() + m_lineHeight};
}

void PictureBox::textAt(const QString &text)
{
    // Text printed from the very left edge (a message, not a report line) keeps clear of the
    // border, as far as the line leaves room at its end.
    if (m_printPosition.x() == 0.0) {
        const double room = innerRect().width() - imageMetrics(m_textFont).horizontalAdvance(text);
        m_printPosition.setX(std::clamp(room, 0.0, textInset));
    }
    const QPointF at = drawable(m_printPosition);
    DrawOp op{DrawOp::Kind::Text,
              QPointF(at.x(), at.y() + m_ascent),
              {},
              m_foreColor,
              1,
              m_textFont,
              text};
    add(std::move(op));
    m_printPosition.setX(m_printPosition.x() + imageMetrics(m_textFont).horizontalAdvance(text));
}

void PictureBox::print(const std::vector<PrintItem> &items)
{
    for (const PrintItem &item : items) {
        if (item.kind == PrintItem::Kind::Tab) {
            const double column = (std::max(item.column, 1) - 1) * m_columnWidth;
            if (m_printPosition.x() > column + 1e-6)
                newLine();
            m_printPosition.setX(column);
        } else {
            textAt(QString::fromStdString(item.text));
        }
    }
    newLine();
    update();
}

void PictureBox::setPrintPosition(float x, float y)
{
    m_printPosition = toPixels({x, y});
}

void PictureBox::drawLine(float x1, float y1, float x2, float y2, std::optional<Rgb> color)
{
    const QPointF from = toPixels({x1, y1});
    const QPointF to = toPixels({x2, y2});
    add({DrawOp::Kind::Line,
         drawable(from),
         drawable(to),
         color ? toQColor(*color) : m_foreColor,
         m_drawWidth,
         {},
         {}});
    m_printPosition = to;
}

void PictureBox::drawBox(float x1, float y1, float x2, float y2, Rgb color, bool filled)
{
    const QPointF corner1 = toPixels({x1, y1});
    const QPointF corner2 = toPixels({x2, y2});
    add({filled ? DrawOp::Kind::FilledBox : DrawOp::Kind::Box,
         drawable(corner1),
         drawable(corner2),
         toQColor(color),
         m_drawWidth,
         {},
         {}});
    m_printPosition = corner2;
}

void PictureBox::setPoint(float x, float y, Rgb color)
{
    const QPointF at = toPixels({x, y});
    add({DrawOp::Kind::Point, drawable(at), {}, toQColor(color), m_drawWidth, {}, {}});
    m_printPosition = at;
}

void PictureBox::setToolTip(const std::string &text)
{
    QWidget::setToolTip(QString::fromStdString(text));
}

void PictureBox::takeImageAsPicture()
{
    m_picture = m_ops;
    m_hasPicture = true;
}

int PictureBox::columnsAcross() const
{
    // Messages wrapped to this keep clear of the border on both sides.
    return static_cast<int>((innerRect().width() - 2 * textInset) / m_columnWidth);
}

QSize PictureBox::sizeHint() const
{
    return m_designSize;
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int right = width() - 1;
    const int bottom = height() - 1;
    // The sunken border of a picture box: dark above and left, light below and right.
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.setPen(QColor(64, 64, 64));
    painter.drawLine(1, 1, right - 1, 1);
    painter.drawLine(1, 1, 1, bottom - 1);
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
    painter.setPen(QColor(212, 208, 200));
    painter.drawLine(1, bottom - 1, right - 1, bottom - 1);
    painter.drawLine(right - 1, 1, right - 1, bottom - 1);

    painter.translate(innerRect().topLeft());
    paintDrawing(painter);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const Qt::MouseButtons buttons = event->buttons();
    const Qt::KeyboardModifiers keys = event->modifiers();
    const int button = (buttons & Qt::LeftButton ? 1 : 0) | (buttons & Qt::RightButton ? 2 : 0)
                       | (buttons & Qt::MiddleButton ? 4 : 0);
    const int shift = (keys & Qt::ShiftModifier ? 1 : 0) | (keys & Qt::ControlModifier ? 2 : 0)
                      | (keys & Qt::AltModifier ? 4 : 0);
    const QPointF user = toUser(event->position() - QPointF(innerRect().topLeft()));
    emit pointerMoved(button, shift, static_cast<float>(user.x()), static_cast<float>(user.y()));

    // A tool tip already on screen follows the pointer with its new text; otherwise the usual
    // hover delay shows it. Qt shows no hover tips while a button is held (and hides the tip on
    // the press), so then the text is shown on every move, as the read-out must not depend on
    // the buttons.
    if (!toolTip().isEmpty() && (QToolTip::isVisible() || buttons != Qt::NoButton))
        QToolTip::showText(event->globalPosition().toPoint(), toolTip(), this);
    QWidget::mouseMoveEvent(event);
}

} // namespace coning
