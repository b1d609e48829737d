// The plot canvas on a QPainter: the window's off-screen image and the PNG export.
#pragma once

#include "plot/PlotCanvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QImage>
#include <QLine>
#include <QRawFont>

#include <QPainter>
#include <QPen>
#include <QPoint>
#include <array>
#include <bitset>
#include <utility>
#include <vector>

QColor ToQColor(std::uint32_t colour); // 0x00BBGGRR
Qt::PenStyle ToQtPenStyle(std::uint8_t style);

class TQtCanvas : public TPlotCanvas {
public:
    explicit TQtCanvas(QPainter& painter);
    ~TQtCanvas() override;
    TQtCanvas(const TQtCanvas&) = delete;
    TQtCanvas& operator=(const TQtCanvas&) = delete;
    // Lines are held back until another figure, a pen change, Flush or the end of the canvas:
    // whoever paints on the painter directly meanwhile calls Flush first.
    void Flush();

    void MoveTo(int x, int y) override { current_ = QPoint(x, y); }
    void LineTo(int x, int y) override;
    void Ellipse(int x1, int y1, int x2, int y2) override;
    void Rectangle(int x1, int y1, int x2, int y2) override;
    void SetPixel(int x, int y, std::uint32_t colour) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

protected:
    void PenChanged() override;
    void BrushChanged() override;
    void FontChanged() override;

private:
    // The painter's pen and brush are brought up to date only when a figure needs them: the
    // drawing pass switches colours around every station, most often without drawing between.
    void UseLinePen();
    void UseBrush();
    void SetPainterFont(const QFont& font);
    QRgb* PixelRow(int y);       // the image's row while plain pixels may be written, else null
    void Learn(unsigned char c); // glyph and advance of a character, looked up once
    const QPen& CachedPen(const TPlotPen& pen);
    static constexpr std::size_t kPenCache = 8;
    std::vector<std::pair<TPlotPen, QPen>> pens_;

    // Consecutive lines of one pen go to the painter in one call: a pass draws them by the
    // hundred thousand, and each call of its own costs more than a short line.
    std::vector<QLine> lines_;
    // Station symbols repeat in a few colours and sizes: each is drawn once into a sprite and
    // copied from there, pixel for pixel what the painter would draw in place.
    struct Sprite {
        TPlotPen Pen;
        TPlotBrush Brush;
        int Width = 0, Height = 0;
        QImage Image;
    };
    std::vector<Sprite> sprites_;
    QImage* image_ = nullptr; // the painter's device when it is a plain 32-bit image

    QPainter& painter_;
    QPoint current_;
    QFontMetrics metrics_;
    std::string fontName_;
    std::int32_t fontHeight_ = 0;
    TPlotPen linePen_;      // the pen the painter holds when lineHeld_
    bool lineHeld_ = false; // false while the painter holds a text or no pen
    TPlotBrush heldBrush_;
    bool brushHeld_ = false;
    std::uint32_t textColour_ = 0; // the pen colour while !lineHeld_ after text
    bool textHeld_ = false;
    // Labels are short 8-bit names drawn by the ten thousand: their glyphs are looked up once
    // per character instead of shaping every label.
    QRawFont rawFont_;
    std::array<quint32, 256> glyph_{};
    std::array<qreal, 256> advance_{};
    std::bitset<256> known_;
    std::vector<quint32> glyphs_; // of the label being drawn, kept to spare allocations
    std::vector<QPointF> positions_;
    QGlyphRun run_;
};
