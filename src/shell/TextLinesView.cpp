// A read-only view over the lines of a text file that lays out only the lines on screen.
#include "shell/TextLinesView.h"

#include "ui/WindowSupport.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <limits>

namespace {

// Room between the frame and the first column.
constexpr int kMargin = 4;

// The byte shown at a column; a tab belongs to the nearer of its two ends.
std::size_t ByteAtColumn(std::string_view line, std::size_t column) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::size_t end = line[i] == '\t'
                                    ? (start / TTextLines::kTabWidth + 1) * TTextLines::kTabWidth
                                    : start + 1;
        if (column <= start + (end - start) / 2)
            return i;
        start = end;
    }
    return line.size();
}

bool IsWordByte(char c) {
    return c != ' ' && c != '\t';
}

} // namespace

TTextLinesView::TTextLinesView(QWidget* parent) : QAbstractScrollArea(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    autoScroll_.setInterval(40);
    connect(&autoScroll_, &QTimer::timeout, this, &TTextLinesView::AutoScroll);
    UpdateScrollBars();
}

bool TTextLinesView::Load(const std::string& path, std::string& reason) {
    if (!lines_.Load(path, reason))
        return false;
    anchor_ = cursor_ = {};
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    UpdateScrollBars();
    viewport()->update();
    return true;
}

void TTextLinesView::SetBytes(std::string bytes) {
    lines_.Assign(std::move(bytes));
    anchor_ = cursor_ = {};
    UpdateScrollBars();
    viewport()->update();
}

QString TTextLinesView::toPlainText() const {
    return DecodeWindows1252(lines_.All());
}

QString TTextLinesView::SelectedText() const {
    return DecodeWindows1252(lines_.Slice(anchor_, cursor_));
}

void TTextLinesView::SelectAll() {
    anchor_ = {};
    cursor_ = lines_.End();
    viewport()->update();
    OfferSelection();
}

void TTextLinesView::ClearSelection() {
    anchor_ = cursor_;
    viewport()->update();
}

void TTextLinesView::Copy() const {
    if (HasSelection())
        QApplication::clipboard()->setText(SelectedText());
}

// Under X11 a selection is also offered to the middle button, as text widgets do.
void TTextLinesView::OfferSelection() const {
    QClipboard* clipboard = QApplication::clipboard();
    if (HasSelection() && clipboard->supportsSelection())
        clipboard->setText(SelectedText(), QClipboard::Selection);
}

int TTextLinesView::FirstVisibleLine() const {
    return verticalScrollBar()->value();
}

void TTextLinesView::EnsureLineVisible(std::size_t line) {
    const int target = static_cast<int>(std::min(line, lines_.LineCount() - 1));
    QScrollBar* bar = verticalScrollBar();
    if (target < bar->value())
        bar->setValue(target);
    else if (target >= bar->value() + VisibleLines())
        bar->setValue(target - VisibleLines() + 1);
}

int TTextLinesView::LineHeight() const {
    return std::max(1, fontMetrics().lineSpacing());
}

// The font is fixed-pitch, so a column is one advance wide whatever the character.
int TTextLinesView::CharWidth() const {
    return std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('M')));
}

int TTextLinesView::VisibleLines() const {
    return std::max(1, viewport()->height() / LineHeight());
}

void TTextLinesView::UpdateScrollBars() {
    const int lines = static_cast<int>(
        std::min<std::size_t>(lines_.LineCount(), std::numeric_limits<int>::max()));
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, lines - VisibleLines()));
    v->setPageStep(VisibleLines());
    v->setSingleStep(1);
    const long long width = static_cast<long long>(lines_.MaxColumns()) * CharWidth() + 2 * kMargin;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, static_cast<int>(std::clamp<long long>(width - viewport()->width(), 0,
                                                          std::numeric_limits<int>::max())));
    h->setPageStep(viewport()->width());
    h->setSingleStep(CharWidth());
}

TTextPos TTextLinesView::PosAt(QPoint point) const {
    const long long row = point.y() < 0 ? -1 : point.y() / LineHeight();
    const long long line = std::clamp<long long>(FirstVisibleLine() + row, 0,
                                                 static_cast<long long>(lines_.LineCount()) - 1);
    const int x = point.x() + horizontalScrollBar()->value() - kMargin;
    const std::size_t column =
        x <= 0 ? 0 : static_cast<std::size_t>((x + CharWidth() / 2) / CharWidth());
    const std::string_view text = lines_.Line(static_cast<std::size_t>(line));
    return {static_cast<std::size_t>(line), ByteAtColumn(text, column)};
}

void TTextLinesView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    const QPalette& pal = palette();
    painter.fillRect(viewport()->rect(), pal.color(QPalette::Base));
    painter.setFont(font());
    const QFontMetrics metrics = fontMetrics();
    const int lineHeight = LineHeight();
    const int charWidth = CharWidth();
    const int scrollX = horizontalScrollBar()->value();
    // Only the columns that fall inside the window are laid out, however long the line.
    const std::size_t firstColumn = static_cast<std::size_t>(std::max(0, scrollX - kMargin)) /
                                    static_cast<std::size_t>(charWidth);
    const std::size_t shownColumns = static_cast<std::size_t>(viewport()->width() / charWidth + 2);
    const int x0 = kMargin - scrollX + static_cast<int>(firstColumn) * charWidth;
    const TTextPos selFrom = std::min(anchor_, cursor_);
    const TTextPos selTo = std::max(anchor_, cursor_);
    const std::size_t first = static_cast<std::size_t>(FirstVisibleLine());
    const std::size_t last =
        std::min(lines_.LineCount(), first + static_cast<std::size_t>(VisibleLines()) + 1);
    for (std::size_t i = first; i < last; ++i) {
        const int y = static_cast<int>(i - first) * lineHeight;
        const std::string_view line = lines_.Line(i);
        // Tabs are rare; a line without them is shown from its own bytes.
        std::string expanded;
        std::string_view shown = line;
        if (line.find('\t') != std::string_view::npos) {
            expanded = TTextLines::Expanded(line);
            shown = expanded;
        }
        const QString text = firstColumn < shown.size()
                                 ? DecodeWindows1252(shown.substr(firstColumn, shownColumns))
                                 : QString();
        painter.setPen(pal.color(QPalette::Text));
        painter.drawText(x0, y + metrics.ascent(), text);
        if (selFrom == selTo || i < selFrom.Line || i > selTo.Line)
            continue;
        const std::size_t fromColumn =
            i == selFrom.Line ? TTextLines::Columns(line.substr(0, selFrom.Byte)) : 0;
        // A selected line end shows as one column more.
        const std::size_t toColumn =
            i == selTo.Line ? TTextLines::Columns(line.substr(0, selTo.Byte)) : shown.size() + 1;
        const QRect band(kMargin - scrollX + static_cast<int>(fromColumn) * charWidth, y,
                         static_cast<int>(toColumn - fromColumn) * charWidth, lineHeight);
        painter.save();
        painter.setClipRect(band);
        painter.fillRect(band, pal.color(QPalette::Highlight));
        painter.setPen(pal.color(QPalette::HighlightedText));
        painter.drawText(x0, y + metrics.ascent(), text);
        painter.restore();
    }
}

void TTextLinesView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
}

void TTextLinesView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        UpdateScrollBars();
}

bool TTextLinesView::event(QEvent* event) {
    // Copy and Select All belong to the view even where a window has the same keys.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Copy) || key->matches(QKeySequence::SelectAll)) {
            event->accept();
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void TTextLinesView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        Copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        SelectAll();
        return;
    }
    QScrollBar* v = verticalScrollBar();
    switch (event->key()) {
    case Qt::Key_Home:
        v->setValue(v->minimum());
        if (!(event->modifiers() & Qt::ControlModifier))
            horizontalScrollBar()->setValue(0);
        return;
    case Qt::Key_End:
        v->setValue(v->maximum());
        return;
    default:
        // Arrows and pages scroll; every other key goes on to the windows around the view.
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void TTextLinesView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    cursor_ = PosAt(event->position().toPoint());
    if (!(event->modifiers() & Qt::ShiftModifier))
        anchor_ = cursor_;
    dragging_ = true;
    dragPoint_ = event->position().toPoint();
    viewport()->update();
}

void TTextLinesView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_)
        return;
    DragTo(event->position().toPoint());
}

void TTextLinesView::DragTo(QPoint point) {
    dragPoint_ = point;
    cursor_ = PosAt(point);
    const bool outside = !viewport()->rect().contains(point);
    if (outside && !autoScroll_.isActive())
        autoScroll_.start();
    else if (!outside)
        autoScroll_.stop();
    viewport()->update();
}

// While a drag is held outside the window, the text moves toward the mouse.
void TTextLinesView::AutoScroll() {
    const QRect area = viewport()->rect();
    if (dragPoint_.y() < area.top())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (dragPoint_.y() > area.bottom())
        verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    if (dragPoint_.x() < area.left())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    else if (dragPoint_.x() > area.right())
        horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    cursor_ = PosAt(dragPoint_);
    viewport()->update();
}

void TTextLinesView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) {
        QAbstractScrollArea::mouseReleaseEvent(event);
        return;
    }
    dragging_ = false;
    autoScroll_.stop();
    OfferSelection();
}

void TTextLinesView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mouseDoubleClickEvent(event);
        return;
    }
    const TTextPos at = PosAt(event->position().toPoint());
    const std::string_view line = lines_.Line(at.Line);
    std::size_t begin = at.Byte;
    std::size_t end = at.Byte;
    while (begin > 0 && IsWordByte(line[begin - 1]))
        --begin;
    while (end < line.size() && IsWordByte(line[end]))
        ++end;
    anchor_ = {at.Line, begin};
    cursor_ = {at.Line, end};
    dragging_ = false;
    viewport()->update();
    OfferSelection();
}

void TTextLinesView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction("&Copy", this, &TTextLinesView::Copy);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(HasSelection());
    QAction* all = menu.addAction("Select All", this, &TTextLinesView::SelectAll);
    all->setShortcut(QKeySequence::SelectAll);
    menu.exec(event->globalPos());
}
