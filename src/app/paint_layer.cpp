#include "paint_layer.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>

namespace coning {

class LayerPaintEngine final : public QPaintEngine
{
public:
    LayerPaintEngine(QPainter &target, PaintLayer::Keep keep)
        : QPaintEngine(QPaintEngine::AllFeatures)
        , m_target(target)
        , m_text(keep == PaintLayer::Keep::Text)
    {}

    bool begin(QPaintDevice *) override
    {
        m_target.save();
        m_base = m_target.transform();
        // A painter's defaults, as the painting passed on expects them.
        m_target.setPen(QPen());
        m_target.setBrush(Qt::NoBrush);
        m_target.setOpacity(1.0);
        return true;
    }
    bool end() override
    {
        m_target.restore();
        return true;
    }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &state) override
    {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen)
            m_target.setPen(m_text ? opaque(state.pen()) : state.pen());
        if (dirty & DirtyBrush)
            m_target.setBrush(state.brush());
        if (dirty & DirtyBrushOrigin)
            m_target.setBrushOrigin(state.brushOrigin());
        if (dirty & DirtyFont)
            m_target.setFont(state.font());
        if (dirty & DirtyBackground)
            m_target.setBackground(state.backgroundBrush());
        if (dirty & DirtyBackgroundMode)
            m_target.setBackgroundMode(state.backgroundMode());
        if (dirty & DirtyTransform)
            m_target.setTransform(state.transform() * m_base);
        if (dirty & DirtyClipRegion)
            m_target.setClipRegion(state.clipRegion(), state.clipOperation());
        if (dirty & DirtyClipPath)
            m_target.setClipPath(state.clipPath(), state.clipOperation());
        if (dirty & DirtyClipEnabled)
            m_target.setClipping(state.isClipEnabled());
        if (dirty & DirtyHints)
            m_target.setRenderHints(state.renderHints());
        if ((dirty & DirtyCompositionMode) && !m_text)
            m_target.setCompositionMode(state.compositionMode());
        if ((dirty & DirtyOpacity) && !m_text)
            m_target.setOpacity(state.opacity());
    }

    void drawTextItem(const QPointF &at, const QTextItem &item) override
    {
        if (m_text)
            m_target.drawTextItem(at, item);
    }

    void drawPath(const QPainterPath &path) override
    {
        if (!m_text)
            m_target.drawPath(path);
    }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode mode) override
    {
        if (m_text)
            return;
        switch (mode) {
        case PolylineMode:
            m_target.drawPolyline(points, count);
            break;
        case OddEvenMode:
            m_target.drawPolygon(points, count, Qt::OddEvenFill);
            break;
        default:
            m_target.drawPolygon(points, count, Qt::WindingFill);
            break;
        }
    }
    void drawRects(const QRectF *rects, int count) override
    {
        if (!m_text)
            m_target.drawRects(rects, count);
    }
    void drawLines(const QLineF *lines, int count) override
    {
        if (!m_text)
            m_target.drawLines(lines, count);
    }
    void drawEllipse(const QRectF &rect) override
    {
        if (!m_text)
            m_target.drawEllipse(rect);
    }
    void drawPoints(const QPointF *points, int count) override
    {
        if (!m_text)
            m_target.drawPoints(points, count);
    }
    void drawPixmap(const QRectF &rect, const QPixmap &pixmap, const QRectF &source) override
    {
        if (!m_text)
            m_target.drawPixmap(rect, pixmap, source);
    }
    void drawImage(const QRectF &rect,
                   const QImage &image,
                   const QRectF &source,
                   Qt::ImageConversionFlags flags) override
    {
        if (!m_text)
            m_target.drawImage(rect, image, source, flags);
    }
    void drawTiledPixmap(const QRectF &rect, const QPixmap &pixmap, const QPointF &offset) override
    {
        if (!m_text)
            m_target.drawTiledPixmap(rect, pixmap, offset);
    }

private:
    // Text goes onto the page without translucency, which the spooler would turn into an image.
    static QPen opaque(QPen pen)
    {
        QColor colour = pen.color();
        colour.setAlpha(255);
        pen.setColor(colour);
        return pen;
    }

    QPainter &m_target;
    bool m_text;
    QTransform m_base;
};

PaintLayer::PaintLayer(QPainter &target, QSize size, int dpi, Keep keep)
    : m_engine(std::make_unique<LayerPaintEngine>(target, keep))
    , m_size(size)
    , m_dpi(dpi)
{}

PaintLayer::~PaintLayer() = default;

QPaintEngine *PaintLayer::paintEngine() const
{
    return m_engine.get();
}

int PaintLayer::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return qRound(m_size.width() * 25.4 / m_dpi);
    case PdmHeightMM:
        return qRound(m_size.height() * 25.4 / m_dpi);
    case PdmNumColors:
        return INT_MAX;
    case PdmDepth:
        return 32;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return m_dpi;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

} // namespace coning
