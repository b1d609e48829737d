// The pen picker "LineStyle": a style and a width with a live preview line.
#pragma once

#include "plot/PlotCanvas.h"

#include <QDialog>

class QPushButton;
class QSpinBox;

// A caller sets Pen, shows the dialog and, once it is closed, reads Accepted, Done and Pen.
class TLineStyleForm : public QDialog {
    Q_OBJECT
public:
    explicit TLineStyleForm(QWidget* parent = nullptr);

    TPlotPen Pen;          // style code 0 .. 4, width in pixels, colour
    bool Accepted = false; // closed with "OK"
    bool Done = false;     // closed with "OK" or "Cancel"

    void StyleSpinEdit2Change(int value);
    void WidthSpinEdit1Change(int value);
    void OKButton1Click();
    void CancelButton2Click();
    // The pen the preview draws with; Pen takes it on "OK".
    const TPlotPen& DrawingPen() const { return drawingPen_; }

    QSpinBox* StyleSpinEdit2 = nullptr; // style code + 1
    QSpinBox* WidthSpinEdit1 = nullptr;
    QPushButton* OKButton1 = nullptr;
    QPushButton* CancelButton2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    TPlotPen drawingPen_;
};
