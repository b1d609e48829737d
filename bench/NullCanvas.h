// A canvas that draws nothing, so a benchmark measures the pass that feeds it.
#pragma once

#include "plot/PlotCanvas.h"

#include <cstdint>
#include <string>

class TNullCanvas : public TPlotCanvas {
public:
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void SetPixel(int, int, std::uint32_t) override {}
    void TextOut(int, int, const std::string&) override {}
    int TextWidth(const std::string& t) override { return 6 * static_cast<int>(t.size()); }
    int TextHeight(const std::string&) override { return 10; }
};
