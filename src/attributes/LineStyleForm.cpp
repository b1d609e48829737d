// The pen picker: spins for style and width, a preview line, "OK" and "Cancel".
#include "attributes/LineStyleForm.h"

#include "plot/QtCanvas.h"

#include <QPainter>
#include <QPushButton>
#include <QSpinBox>

namespace {

constexpr int kClientWidth = 198;
constexpr int kClientHeight = 56;
constexpr int kPreviewY = 18;

} // namespace

TLineStyleForm::TLineStyleForm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint) {
    setObjectName("LineStyleForm");
    setWindowTitle("LineStyle");
    setFixedSize(kClientWidth, kClientHeight);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);

    StyleSpinEdit2 = new QSpinBox(this);
    StyleSpinEdit2->setObjectName("StyleSpinEdit2");
    StyleSpinEdit2->setRange(1, 5);
    StyleSpinEdit2->setValue(1);
    StyleSpinEdit2->setToolTip("Line style: 1 solid, 2 dash, 3 dot, 4 dash-dot, 5 dash-dot-dot");
    StyleSpinEdit2->setGeometry(4, 30, 36, 22);
    WidthSpinEdit1 = new QSpinBox(this);
    WidthSpinEdit1->setObjectName("WidthSpinEdit1");
    WidthSpinEdit1->setRange(1, 7);
    WidthSpinEdit1->setValue(1);
    WidthSpinEdit1->setToolTip("Line width in pixels");
    WidthSpinEdit1->setGeometry(44, 30, 36, 22);
    OKButton1 = new QPushButton("OK", this);
    OKButton1->setObjectName("OKButton1");
    OKButton1->setGeometry(84, 30, 50, 22);
    CancelButton2 = new QPushButton("Cancel", this);
    CancelButton2->setObjectName("CancelButton2");
    CancelButton2->setGeometry(138, 30, 56, 22);

    connect(StyleSpinEdit2, &QSpinBox::valueChanged, this, &TLineStyleForm::StyleSpinEdit2Change);
    connect(WidthSpinEdit1, &QSpinBox::valueChanged, this, &TLineStyleForm::WidthSpinEdit1Change);
    connect(OKButton1, &QPushButton::clicked, this, &TLineStyleForm::OKButton1Click);
    connect(CancelButton2, &QPushButton::clicked, this, &TLineStyleForm::CancelButton2Click);
}

void TLineStyleForm::showEvent(QShowEvent* event) {
    // The picker starts from the caller's pen each time it is shown; a later repaint keeps
    // what the user has picked since.
    drawingPen_ = Pen;
    {
        const QSignalBlocker a(StyleSpinEdit2), b(WidthSpinEdit1);
        StyleSpinEdit2->setValue(Pen.Style + 1);
        WidthSpinEdit1->setValue(Pen.Width);
    }
    Accepted = false;
    Done = false;
    QDialog::showEvent(event);
}

void TLineStyleForm::paintEvent(QPaintEvent* event) {
    Accepted = false;
    Done = false;
    QDialog::paintEvent(event);
    QPainter painter(this);
    const int x2 = frameGeometry().width() - 35;
    painter.setPen(QPen(Qt::white, 7, Qt::SolidLine));
    painter.drawLine(30, kPreviewY, x2, kPreviewY);
    painter.setPen(QPen(Qt::black, drawingPen_.Width, ToQtPenStyle(drawingPen_.Style)));
    painter.drawLine(30, kPreviewY, x2, kPreviewY);
}

void TLineStyleForm::StyleSpinEdit2Change(int value) {
    drawingPen_.Style = static_cast<std::uint8_t>(value - 1);
    update();
}

void TLineStyleForm::WidthSpinEdit1Change(int value) {
    drawingPen_.Width = value;
    update();
}

void TLineStyleForm::OKButton1Click() {
    Pen = drawingPen_;
    Accepted = true;
    Done = true;
    accept();
}

void TLineStyleForm::CancelButton2Click() {
    Accepted = false;
    Done = true;
    reject();
}
