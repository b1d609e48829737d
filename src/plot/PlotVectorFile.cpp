// SVG through Qt's SVG generator and PDF through its PDF writer, both into memory first.
#include "plot/PlotVectorFile.h"

#include "model/FileIO.h"
#include "plot/QtCanvas.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>

#include <utility>
#include <vector>

namespace {

QFont VectorFont(const std::string& name, int pixelHeight) {
    QFont font(QString::fromStdString(name));
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 10);
    return font;
}

// Collects the pass's figures by pen, brush and colour and paints each collection at the end
// as one path: a drawing program gets one element per group of legs, walls or symbols instead
// of hundreds of thousands, and labels as text. Within a kind the order is kept; symbols come
// above lines, labels above everything.
class TVectorCanvas final : public TPlotCanvas {
public:
    explicit TVectorCanvas(QPainter& painter)
        : painter_(painter), metrics_(VectorFont(FontName(), FontHeight())) {
        FontChanged();
    }

    void MoveTo(int x, int y) override { current_ = QPoint(x, y); }
    void LineTo(int x, int y) override {
        QPainterPath& path = Group(lines_, {Pen().Colour, Pen().Style, Pen().Width, 0, false});
        if (path.elementCount() == 0 || path.currentPosition() != QPointF(current_))
            path.moveTo(current_);
        path.lineTo(x, y);
        current_ = QPoint(x, y);
    }
    void Ellipse(int x1, int y1, int x2, int y2) override {
        QPainterPath& path = Group(
            ellipses_, {Pen().Colour, Pen().Style, Pen().Width, Brush().Colour, Brush().Solid});
        path.setFillRule(Qt::WindingFill); // overlapping symbols must not cut holes
        path.addEllipse(QRectF(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    }
    // The background: painted at once, below everything collected.
    void Rectangle(int x1, int y1, int x2, int y2) override {
        painter_.setPen(LinePen(Pen().Colour, Pen().Style, Pen().Width));
        painter_.setBrush(Brush().Solid ? QBrush(ToQColor(Brush().Colour)) : QBrush(Qt::NoBrush));
        painter_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
    }
    void SetPixel(int x, int y, std::uint32_t colour) override {
        Group(pixels_, {colour, 0, 0, 0, false}).addRect(x, y, 1, 1);
    }
    void TextOut(int x, int y, const std::string& text) override {
        texts_.push_back({FontColour(), painter_.font(), QPointF(x, y + metrics_.ascent()),
                          QString::fromLatin1(text.data(), qsizetype(text.size()))});
    }
    int TextWidth(const std::string& text) override {
        return metrics_.horizontalAdvance(QString::fromLatin1(text.data(), qsizetype(text.size())));
    }
    int TextHeight(const std::string&) override { return metrics_.height(); }

    void Finish() {
        for (const auto& [key, path] : lines_) {
            painter_.setPen(LinePen(key.Colour, key.Style, key.Width));
            painter_.setBrush(Qt::NoBrush);
            painter_.drawPath(path);
        }
        for (const auto& [key, path] : ellipses_) {
            painter_.setPen(LinePen(key.Colour, key.Style, key.Width));
            painter_.setBrush(key.Solid ? QBrush(ToQColor(key.Fill)) : QBrush(Qt::NoBrush));
            painter_.drawPath(path);
        }
        for (const auto& [key, path] : pixels_)
            painter_.fillPath(path, ToQColor(key.Colour));
        for (const TText& t : texts_) {
            painter_.setPen(ToQColor(t.Colour));
            painter_.setFont(t.Font);
            painter_.drawText(t.At, t.Text);
        }
        lines_.clear();
        ellipses_.clear();
        pixels_.clear();
        texts_.clear();
    }

protected:
    void FontChanged() override {
        const QFont font = VectorFont(FontName(), FontHeight());
        if (font == painter_.font())
            return;
        painter_.setFont(font);
        metrics_ = QFontMetrics(font);
    }

private:
    struct TKey {
        std::uint32_t Colour;
        std::uint8_t Style;
        std::int32_t Width;
        std::uint32_t Fill;
        bool Solid;
        friend bool operator==(const TKey&, const TKey&) = default;
    };
    struct TText {
        std::uint32_t Colour;
        QFont Font;
        QPointF At;
        QString Text;
    };
    using TGroups = std::vector<std::pair<TKey, QPainterPath>>;

    // The drawing pass uses a handful of pens: a short search beats a map.
    static QPainterPath& Group(TGroups& groups, const TKey& key) {
        for (auto& [k, path] : groups)
            if (k == key)
                return path;
        groups.emplace_back(key, QPainterPath());
        return groups.back().second;
    }
    static QPen LinePen(std::uint32_t colour, std::uint8_t style, std::int32_t width) {
        return QPen(ToQColor(colour), width > 1 ? width : 0, ToQtPenStyle(style));
    }

    QPainter& painter_;
    QFontMetrics metrics_;
    QPoint current_;
    TGroups lines_, ellipses_, pixels_;
    std::vector<TText> texts_;
};

void Draw(QPainter& painter, int width, int height, TKviste& cave, TPlotView& view,
          const TPlotSwitches& sw, const TPlotColorTable& colors, const TStationIndex& index,
          bool hideOverlappingLabels) {
    // The window's surface is black beyond the viewport too.
    painter.fillRect(0, 0, width, height, Qt::black);
    TVectorCanvas canvas(painter);
    const TViewLimits v = view.Limits;
    SetToPCParams(view, v.West, v.South, v.East, v.North);
    ClearPlotScreen(canvas, view);
    TPlotPass pass{canvas, cave, view, sw, colors, index};
    pass.HideOverlappingLabels = hideOverlappingLabels;
    PlottPolygon(pass);
    if (sw.ShowGrid)
        TegnGrid(canvas, view, colors, v.West, v.North, v.East, v.South);
    canvas.Finish();
}

} // namespace

bool WriteVectorView(TVectorFormat format, const std::string& path, int width, int height,
                     TKviste& cave, TPlotView view, const TPlotSwitches& switches,
                     const TPlotColorTable& colors, const TStationIndex& index,
                     bool hideOverlappingLabels, std::string& reason) {
    if (width < 1 || height < 1) {
        reason = "the drawing has no area";
        return false;
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const QString title =
        QString::fromLatin1(cave.CaveName.data(), qsizetype(cave.CaveName.size()));
    if (format == TVectorFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setTitle(title);
        QPainter painter;
        if (!painter.begin(&svg)) {
            reason = "the SVG drawing could not be started";
            return false;
        }
        Draw(painter, width, height, cave, view, switches, colors, index, hideOverlappingLabels);
        painter.end();
    } else {
        QPdfWriter pdf(&buffer);
        pdf.setTitle(title);
        pdf.setCreator("Kvistrel");
        // One point a pixel, so the page has the proportions of the view.
        pdf.setResolution(72);
        pdf.setPageLayout(QPageLayout(QPageSize(QSizeF(width, height), QPageSize::Point),
                                      QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            reason = "the PDF page could not be started";
            return false;
        }
        Draw(painter, width, height, cave, view, switches, colors, index, hideOverlappingLabels);
        painter.end();
    }
    const QByteArray& bytes = buffer.data();
    return WriteFileAtomically(path, std::string(bytes.constData(), std::size_t(bytes.size())),
                               reason, false);
}
