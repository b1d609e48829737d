// Canvas calls turned into QPainter calls; pen, brush and font are set only when they change.
#include "plot/QtCanvas.h"

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QPointF>

QColor ToQColor(std::uint32_t colour) {
    return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                  static_cast<int>((colour >> 16) & 0xFF));
}

Qt::PenStyle ToQtPenStyle(std::uint8_t style) {
    switch (style) {
    case kPenDash:
        return Qt::DashLine;
    case kPenDot:
        return Qt::DotLine;
    case kPenDashDot:
        return Qt::DashDotLine;
    case kPenDashDotDot:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

static QFont PlotFont(const std::string& name, int pixelHeight) {
    QFont font(QString::fromStdString(name));
    font.setPixelSize(pixelHeight > 0 ? pixelHeight : 10);
    return font;
}

TQtCanvas::TQtCanvas(QPainter& painter)
    : painter_(painter), metrics_(PlotFont(FontName(), FontHeight())), fontName_(FontName()),
      fontHeight_(FontHeight()) {
    SetPainterFont(PlotFont(FontName(), FontHeight()));
    UseLinePen();
    UseBrush();
}

void TQtCanvas::PenChanged() {}

void TQtCanvas::BrushChanged() {}

void TQtCanvas::FontChanged() {
    // A colour change alone needs no new font: building one per label was most of a redraw.
    if (FontName() == fontName_ && FontHeight() == fontHeight_)
        return;
    fontName_ = FontName();
    fontHeight_ = FontHeight();
    SetPainterFont(PlotFont(fontName_, fontHeight_));
}

void TQtCanvas::SetPainterFont(const QFont& font) {
    painter_.setFont(font);
    metrics_ = QFontMetrics(font);
    rawFont_ = QRawFont::fromFont(font);
    known_.reset();
}

void TQtCanvas::UseLinePen() {
    const TPlotPen& p = Pen();
    if (lineHeld_ && p == linePen_)
        return;
    painter_.setPen(QPen(ToQColor(p.Colour), p.Width > 1 ? p.Width : 0, ToQtPenStyle(p.Style)));
    linePen_ = p;
    lineHeld_ = true;
    textHeld_ = false;
}

void TQtCanvas::UseBrush() {
    const TPlotBrush& b = Brush();
    if (brushHeld_ && b == heldBrush_)
        return;
    painter_.setBrush(b.Solid ? QBrush(ToQColor(b.Colour)) : QBrush(Qt::NoBrush));
    heldBrush_ = b;
    brushHeld_ = true;
}

void TQtCanvas::LineTo(int x, int y) {
    UseLinePen();
    const QPoint to(x, y);
    painter_.drawLine(current_, to);
    current_ = to;
}

// The figure covers x1 .. x2 - 1, as the bounding rectangles of the drawing pass mean it.
void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    UseLinePen();
    UseBrush();
    painter_.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    UseLinePen();
    UseBrush();
    painter_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TQtCanvas::SetPixel(int x, int y, std::uint32_t colour) {
    // A one-pixel fill leaves the pen alone.
    painter_.fillRect(x, y, 1, 1, ToQColor(colour));
}

void TQtCanvas::TextOut(int x, int y, const std::string& text) {
    if (!textHeld_ || textColour_ != FontColour()) {
        painter_.setPen(ToQColor(FontColour()));
        textColour_ = FontColour();
        textHeld_ = true;
        lineHeld_ = false;
    }
    const QPointF origin(x, y + metrics_.ascent());
    if (!rawFont_.isValid()) {
        painter_.drawText(origin, QString::fromLatin1(text));
        return;
    }
    glyphs_.clear();
    positions_.clear();
    qreal pen = 0;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (!known_[c]) {
            const QList<quint32> g = rawFont_.glyphIndexesForString(QString(QChar(c)));
            glyph_[c] = g.isEmpty() ? 0 : g.first();
            const QList<QPointF> a = rawFont_.advancesForGlyphIndexes(QList<quint32>{glyph_[c]});
            advance_[c] = a.isEmpty() ? 0 : a.first().x();
            known_[c] = true;
        }
        glyphs_.push_back(glyph_[c]);
        positions_.emplace_back(pen, 0);
        pen += advance_[c];
    }
    QGlyphRun run;
    run.setRawFont(rawFont_);
    run.setRawData(glyphs_.data(), positions_.data(), static_cast<int>(glyphs_.size()));
    painter_.drawGlyphRun(origin, run);
}

int TQtCanvas::TextWidth(const std::string& text) {
    return metrics_.horizontalAdvance(QString::fromLatin1(text));
}

int TQtCanvas::TextHeight(const std::string& text) {
    (void)text;
    return metrics_.height();
}
