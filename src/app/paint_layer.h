#pragma once

#include <QPaintDevice>
#include <QSize>

#include <memory>

class QPainter;

namespace coning {

class LayerPaintEngine;

// A paint device that passes painting on to another painter, keeping only one layer of it: the
// text, or everything but the text. A printed window is split this way because a print spooler
// that converts pages to PostScript turns a page with any translucency into one coarse image,
// text included: the translucent shapes go onto the page as one opaque image, the text on top
// of them as text.
class PaintLayer : public QPaintDevice
{
public:
    enum class Keep { Text, AllButText };

    // Painting in `size` units at `dpi` reaches `target` in its current coordinates.
    PaintLayer(QPainter &target, QSize size, int dpi, Keep keep);
    ~PaintLayer() override;

    QPaintEngine *paintEngine() const override;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    std::unique_ptr<LayerPaintEngine> m_engine;
    QSize m_size;
    int m_dpi;
};

} // namespace coning
