// Drawing surface of the plot's drawing pass: the window's image, a PNG, or a test recorder.
#pragma once

#include <cstdint>
#include <string>

// Pen style codes of the attribute sets: solid, dash, dot, dash-dot, dash-dot-dot.
enum : std::uint8_t {
    kPenSolid = 0,
    kPenDash = 1,
    kPenDot = 2,
    kPenDashDot = 3,
    kPenDashDotDot = 4
};

struct TPlotPen {
    std::uint32_t Colour = 0x0000FFFF; // 0x00BBGGRR
    std::uint8_t Style = kPenSolid;
    std::int32_t Width = 1; // pixels
    friend bool operator==(const TPlotPen&, const TPlotPen&) = default;
};

struct TPlotBrush {
    std::uint32_t Colour = 0x00000000;
    bool Solid = true; // false: hollow, figures are outlined only
    friend bool operator==(const TPlotBrush&, const TPlotBrush&) = default;
};

// Keeps the current pen, brush and font colour so that the drawing pass can restore them;
// a concrete canvas only turns the calls into pixels (or records them).
class TPlotCanvas {
public:
    virtual ~TPlotCanvas() = default;

    void SetPen(const TPlotPen& pen) {
        pen_ = pen;
        PenChanged();
    }
    void SetPenColour(std::uint32_t colour) {
        pen_.Colour = colour;
        PenChanged();
    }
    void SetPenStyle(std::uint8_t style) {
        pen_.Style = style;
        PenChanged();
    }
    void SetBrush(const TPlotBrush& brush) {
        brush_ = brush;
        BrushChanged();
    }
    void SetFont(const std::string& name, std::int32_t pixelHeight, std::uint32_t colour) {
        fontName_ = name;
        fontHeight_ = pixelHeight;
        fontColour_ = colour;
        FontChanged();
    }
    void SetFontColour(std::uint32_t colour) {
        fontColour_ = colour;
        FontChanged();
    }
    const TPlotPen& Pen() const { return pen_; }
    const TPlotBrush& Brush() const { return brush_; }
    std::uint32_t FontColour() const { return fontColour_; }
    const std::string& FontName() const { return fontName_; }
    std::int32_t FontHeight() const { return fontHeight_; }

    virtual void MoveTo(int x, int y) = 0;
    // Draws from the current point to (x, y) with the pen; (x, y) becomes the current point.
    virtual void LineTo(int x, int y) = 0;
    // Bounded by (x1, y1)-(x2, y2): outlined with the pen, filled with the brush.
    virtual void Ellipse(int x1, int y1, int x2, int y2) = 0;
    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void SetPixel(int x, int y, std::uint32_t colour) = 0;
    // Top-left corner of the text at (x, y), in the font colour.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;

protected:
    virtual void PenChanged() {}
    virtual void BrushChanged() {}
    virtual void FontChanged() {}

private:
    TPlotPen pen_;
    TPlotBrush brush_;
    std::uint32_t fontColour_ = 0x00FFFFFF;
    std::string fontName_ = "Arial";
    std::int32_t fontHeight_ = 10;
};

// A canvas that draws nothing: files written without a window, passes that only place stations.
class TNoCanvas final : public TPlotCanvas {
public:
    void MoveTo(int, int) override {}
    void LineTo(int, int) override {}
    void Ellipse(int, int, int, int) override {}
    void Rectangle(int, int, int, int) override {}
    void SetPixel(int, int, std::uint32_t) override {}
    void TextOut(int, int, const std::string&) override {}
    int TextWidth(const std::string&) override { return 0; }
    int TextHeight(const std::string&) override { return 0; }
};

// Pen and brush of the caller come back after a figure.
class TKeepPen {
public:
    explicit TKeepPen(TPlotCanvas& c) : c_(c), pen_(c.Pen()), brush_(c.Brush()) {}
    ~TKeepPen() {
        c_.SetPen(pen_);
        c_.SetBrush(brush_);
    }
    TKeepPen(const TKeepPen&) = delete;
    TKeepPen& operator=(const TKeepPen&) = delete;

private:
    TPlotCanvas& c_;
    TPlotPen pen_;
    TPlotBrush brush_;
};

// Second sink of the drawing pass, in view-plane metres: the plotter file of an export
// receives the same elements in the same order as the screen.
class TPlotWorldSink {
public:
    virtual ~TPlotWorldSink() = default;
    virtual void PenUp(double x, double y) = 0;
    virtual void PenDown(double x, double y) = 0;
    virtual void Label(int size, const std::string& text, double x, double y) = 0;
    // Regular polygon of the given number of sides; start angle in degrees.
    virtual void Circle(int sides, double cx, double cy, double radius, double startAngle) = 0;
};
