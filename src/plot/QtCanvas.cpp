// Canvas calls turned into QPainter calls; the pen is set only when it has changed.
#include "plot/QtCanvas.h"

#include <QFont>

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
    : painter_(painter), metrics_(PlotFont(FontName(), FontHeight())) {
    painter_.setFont(PlotFont(FontName(), FontHeight()));
    PenChanged();
    BrushChanged();
}

void TQtCanvas::PenChanged() {
    const TPlotPen& p = Pen();
    pen_ = QPen(ToQColor(p.Colour), p.Width > 1 ? p.Width : 0, ToQtPenStyle(p.Style));
    painter_.setPen(pen_);
}

void TQtCanvas::BrushChanged() {
    const TPlotBrush& b = Brush();
    painter_.setBrush(b.Solid ? QBrush(ToQColor(b.Colour)) : QBrush(Qt::NoBrush));
}

void TQtCanvas::FontChanged() {
    const QFont font = PlotFont(FontName(), FontHeight());
    if (font != painter_.font()) {
        painter_.setFont(font);
        metrics_ = QFontMetrics(font);
    }
}

void TQtCanvas::LineTo(int x, int y) {
    const QPoint to(x, y);
    painter_.drawLine(current_, to);
    current_ = to;
}

// The figure covers x1 .. x2 - 1, as the bounding rectangles of the drawing pass mean it.
void TQtCanvas::Ellipse(int x1, int y1, int x2, int y2) {
    painter_.drawEllipse(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TQtCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    painter_.drawRect(QRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1));
}

void TQtCanvas::SetPixel(int x, int y, std::uint32_t colour) {
    painter_.setPen(QPen(ToQColor(colour), 0));
    painter_.drawPoint(x, y);
    painter_.setPen(pen_);
}

void TQtCanvas::TextOut(int x, int y, const std::string& text) {
    painter_.setPen(ToQColor(FontColour()));
    painter_.drawText(QPoint(x, y + metrics_.ascent()), QString::fromLatin1(text));
    painter_.setPen(pen_);
}

int TQtCanvas::TextWidth(const std::string& text) {
    return metrics_.horizontalAdvance(QString::fromLatin1(text));
}

int TQtCanvas::TextHeight(const std::string& text) {
    (void)text;
    return metrics_.height();
}
