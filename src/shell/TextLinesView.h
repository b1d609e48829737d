// A read-only view over the lines of a text file that lays out only the lines on screen, so a
// listing of a million shots opens and scrolls as fast as a short one.
#pragma once

#include "shell/TextLines.h"

#include <QAbstractScrollArea>
#include <QTimer>

#include <string>

class TTextLinesView : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TTextLinesView(QWidget* parent = nullptr);

    // Replaces the text only when the file could be read; the reason otherwise.
    bool Load(const std::string& path, std::string& reason);
    void SetBytes(std::string bytes);
    const TTextLines& Lines() const { return lines_; }

    // The whole text decoded, line ends as "\n".
    QString toPlainText() const;
    bool isReadOnly() const { return true; }

    bool HasSelection() const { return anchor_ != cursor_; }
    QString SelectedText() const;
    void SelectAll();
    void ClearSelection();
    // To the clipboard; nothing happens without a selection.
    void Copy() const;
    int FirstVisibleLine() const;
    // Scrolls so that the line is in view.
    void EnsureLineVisible(std::size_t line);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int LineHeight() const;
    int CharWidth() const;
    int VisibleLines() const;
    void UpdateScrollBars();
    TTextPos PosAt(QPoint point) const;
    void DragTo(QPoint point);
    void AutoScroll();
    void OfferSelection() const;

    TTextLines lines_;
    TTextPos anchor_;
    TTextPos cursor_;
    bool dragging_ = false;
    QPoint dragPoint_;
    QTimer autoScroll_;
};
