// A canvas that records every call with the pen, brush and font colour in force.
#pragma once

#include "plot/PlotCanvas.h"

#include <string>
#include <vector>

struct TCanvasCall {
    std::string Op; // "move", "line", "ellipse", "rect", "pixel", "text"
    int X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    std::string Text;
    TPlotPen Pen;
    TPlotBrush Brush;
    std::uint32_t FontColour = 0;
    std::uint32_t PixelColour = 0;
};

class TRecordingCanvas : public TPlotCanvas {
public:
    std::vector<TCanvasCall> Calls;

    void MoveTo(int x, int y) override { Add("move", x, y); }
    void LineTo(int x, int y) override { Add("line", x, y); }
    void Ellipse(int x1, int y1, int x2, int y2) override { Add("ellipse", x1, y1, x2, y2); }
    void Rectangle(int x1, int y1, int x2, int y2) override { Add("rect", x1, y1, x2, y2); }
    void SetPixel(int x, int y, std::uint32_t colour) override {
        Add("pixel", x, y).PixelColour = colour;
    }
    void TextOut(int x, int y, const std::string& text) override { Add("text", x, y).Text = text; }
    int TextWidth(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
    int TextHeight(const std::string&) override { return 10; }

    std::vector<TCanvasCall> Of(const std::string& op) const {
        std::vector<TCanvasCall> out;
        for (const TCanvasCall& c : Calls)
            if (c.Op == op)
                out.push_back(c);
        return out;
    }

private:
    TCanvasCall& Add(const char* op, int x1, int y1, int x2 = 0, int y2 = 0) {
        TCanvasCall c;
        c.Op = op;
        c.X1 = x1;
        c.Y1 = y1;
        c.X2 = x2;
        c.Y2 = y2;
        c.Pen = Pen();
        c.Brush = Brush();
        c.FontColour = FontColour();
        Calls.push_back(c);
        return Calls.back();
    }
};
