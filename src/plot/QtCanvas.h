// The plot canvas on a QPainter: the window's off-screen image and the PNG export.
#pragma once

#include "plot/PlotCanvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QRawFont>

#include <QPainter>
#include <QPoint>
#include <array>
#include <bitset>
#include <vector>

QColor ToQColor(std::uint32_t colour); // 0x00BBGGRR
Qt::PenStyle ToQtPenStyle(std::uint8_t style);

class TQtCanvas : public TPlotCanvas {
public:
    explicit TQtCanvas(QPainter& painter);

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
};
