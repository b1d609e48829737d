// Canvas calls turned into QPainter calls; pen, brush and font are set only when they change.
#include "plot/QtCanvas.h"

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QPointF>

#include <algorithm>
#include <cmath>

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
    if (painter.device() && painter.device()->devType() == QInternal::Image) {
        auto* image = static_cast<QImage*>(painter.device());
        if (image->format() == QImage::Format_RGB32 ||
            image->format() == QImage::Format_ARGB32_Premultiplied)
            image_ = image;
    }
}

TQtCanvas::~TQtCanvas() {
    Flush();
}

void TQtCanvas::Flush() {
    if (lines_.empty())
        return;
    painter_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
    lines_.clear();
}

QRgb* TQtCanvas::PixelRow(int y) {
    if (!image_ || y < 0 || y >= image_->height() ||
        painter_.compositionMode() != QPainter::CompositionMode_SourceOver ||
        painter_.hasClipping() || !painter_.transform().isIdentity())
        return nullptr;
    // The painter has detached the image when it began: this is the memory it paints.
    return reinterpret_cast<QRgb*>(const_cast<uchar*>(image_->constScanLine(y)));
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
    Flush();
    painter_.setFont(font);
    metrics_ = QFontMetrics(font);
    rawFont_ = QRawFont::fromFont(font);
    run_.setRawFont(rawFont_);
    known_.reset();
}

void TQtCanvas::UseLinePen() {
    const TPlotPen& p = Pen();
    if (lineHeld_ && p == linePen_)
        return;
    Flush();
    painter_.setPen(CachedPen(p));
    linePen_ = p;
    lineHeld_ = true;
    textHeld_ = false;
}

// The pass swaps between a few pens around every station; a pen built once is set again
// without a new pen's allocations.
const QPen& TQtCanvas::CachedPen(const TPlotPen& p) {
    for (const auto& [key, pen] : pens_)
        if (key == p)
            return pen;
    if (pens_.size() >= kPenCache)
        pens_.erase(pens_.begin());
    pens_.emplace_back(p,
                       QPen(ToQColor(p.Colour), p.Width > 1 ? p.Width : 0, ToQtPenStyle(p.Style)));
    return pens_.back().second;
}

void TQtCanvas::UseBrush() {
    const TPlotBrush& b = Brush();
    if (brushHeld_ && b == heldBrush_)
        return;
    Flush();
    painter_.setBrush(b.Solid ? QBrush(ToQColor(b.Colour)) : QBrush(Qt::NoBrush));
    heldBrush_ = b;
    brushHeld_ = true;
}

void TQtCanvas::LineTo(int x, int y) {
    UseLinePen();
    const QPoint to(x, y);
    // Exclusive-or figures rely on every line being a call of its own, joints drawn twice.
    if (painter_.compositionMode() != QPainter::CompositionMode_SourceOver)
        painter_.drawLine(current_, to);
    else
        lines_.emplace_back(current_, to);
    current_ = to;
}

// The figure covers x1 .. x2 - 1, as the bounding rectangles of the drawing pass mean it.
void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    UseLinePen();
    UseBrush();
    Flush();
    const int w = x2 - x1 - 1, h = y2 - y1 - 1;
    constexpr int kMaxSprite = 64;
    if (!image_ || w < 0 || h < 0 || w > kMaxSprite || h > kMaxSprite ||
        painter_.compositionMode() != QPainter::CompositionMode_SourceOver ||
        !painter_.transform().isIdentity() || painter_.testRenderHint(QPainter::Antialiasing)) {
        painter_.drawEllipse(QRect(x1, y1, w, h));
        return;
    }
    // The pen may reach a pixel beyond the bounding rectangle on each side.
    constexpr int kPad = 2;
    const int penPad = kPad + std::max(Pen().Width, 1);
    Sprite* sprite = nullptr;
    for (Sprite& s : sprites_)
        if (s.Width == w && s.Height == h && s.Pen == Pen() && s.Brush == Brush()) {
            sprite = &s;
            break;
        }
    if (!sprite) {
        Sprite s{
            Pen(), Brush(), w, h,
            QImage(w + 2 * penPad + 1, h + 2 * penPad + 1, QImage::Format_ARGB32_Premultiplied)};
        s.Image.fill(Qt::transparent);
        QPainter p(&s.Image);
        p.setPen(painter_.pen());
        p.setBrush(painter_.brush());
        p.drawEllipse(QRect(penPad, penPad, w, h));
        p.end();
        sprites_.push_back(std::move(s));
        sprite = &sprites_.back();
    }
    painter_.drawImage(x1 - penPad, y1 - penPad, sprite->Image);
}

void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    UseLinePen();
    UseBrush();
    Flush();
    painter_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TQtCanvas::SetPixel(int x, int y, std::uint32_t colour) {
    Flush();
    if (QRgb* row = PixelRow(y)) {
        if (x >= 0 && x < image_->width())
            row[x] = 0xFF000000u | ((colour & 0xFFu) << 16) | (colour & 0xFF00u) |
                     ((colour >> 16) & 0xFFu);
        return;
    }
    // A one-pixel fill leaves the pen alone.
    painter_.fillRect(x, y, 1, 1, ToQColor(colour));
}

void TQtCanvas::TextOut(int x, int y, const std::string& text) {
    Flush();
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
        Learn(c);
        glyphs_.push_back(glyph_[c]);
        positions_.emplace_back(pen, 0);
        pen += advance_[c];
    }
    run_.setRawData(glyphs_.data(), positions_.data(), static_cast<int>(glyphs_.size()));
    painter_.drawGlyphRun(origin, run_);
}

void TQtCanvas::Learn(unsigned char c) {
    if (known_[c])
        return;
    const QList<quint32> g = rawFont_.glyphIndexesForString(QString(QChar(c)));
    glyph_[c] = g.isEmpty() ? 0 : g.first();
    const QList<QPointF> a = rawFont_.advancesForGlyphIndexes(QList<quint32>{glyph_[c]});
    advance_[c] = a.isEmpty() ? 0 : a.first().x();
    known_[c] = true;
}

int TQtCanvas::TextWidth(const std::string& text) {
    if (!rawFont_.isValid())
        return metrics_.horizontalAdvance(QString::fromLatin1(text));
    qreal width = 0;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        Learn(c);
        width += advance_[c];
    }
    return static_cast<int>(std::ceil(width));
}

int TQtCanvas::TextHeight(const std::string& text) {
    (void)text;
    return metrics_.height();
}
