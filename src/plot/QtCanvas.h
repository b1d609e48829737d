// The plot canvas on a QPainter: the window's off-screen image and the PNG export.
#pragma once

#include "plot/PlotCanvas.h"

#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPoint>

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
    QPainter& painter_;
    QPoint current_;
    QPen pen_;
    QFontMetrics metrics_;
};
