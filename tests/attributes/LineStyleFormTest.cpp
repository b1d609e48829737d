// The pen picker offscreen: what it shows, what it returns, and its preview line.
#include "attributes/LineStyleForm.h"

#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

// Black pixels in column x of the image.
int BlackInColumn(const QImage& image, int x) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        n += (image.pixel(x, y) & 0xFFFFFF) == 0;
    return n;
}

// Black pixels along the preview's row.
int BlackInRow(const QImage& image, int y, int x1, int x2) {
    int n = 0;
    for (int x = x1; x <= x2; ++x)
        n += (image.pixel(x, y) & 0xFFFFFF) == 0;
    return n;
}

} // namespace

class LineStyleFormTest : public QObject {
    Q_OBJECT

private slots:
    void showsThePenAndReturnsThePickOnOK() {
        TLineStyleForm form;
        QCOMPARE(form.windowTitle(), QString("LineStyle"));
        QCOMPARE(form.size(), QSize(198, 56));
        form.Pen = {0x00123456, kPenDot, 3};
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.StyleSpinEdit2->value(), 3);
        QCOMPARE(form.WidthSpinEdit1->value(), 3);

        form.StyleSpinEdit2->setValue(5);
        form.WidthSpinEdit1->setValue(7);
        QCOMPARE(form.DrawingPen().Style, kPenDashDotDot);
        QCOMPARE(form.Pen.Style, kPenDot); // not taken before "OK"
        // A repaint keeps the pick and clears the flags until a button closes the dialog.
        form.repaint();
        QCOMPARE(form.StyleSpinEdit2->value(), 5);
        QVERIFY(!form.Accepted);
        QVERIFY(!form.Done);

        form.OKButton1->click();
        QVERIFY(!form.isVisible());
        QVERIFY(form.Accepted);
        QVERIFY(form.Done);
        QCOMPARE(form.Pen.Style, kPenDashDotDot);
        QCOMPARE(form.Pen.Width, 7);
        QCOMPARE(form.Pen.Colour, 0x00123456u);
    }

    void cancelKeepsThePen() {
        TLineStyleForm form;
        form.Pen = {0, kPenDash, 2};
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        form.WidthSpinEdit1->setValue(6);
        form.CancelButton2->click();
        QVERIFY(!form.Accepted);
        QVERIFY(form.Done);
        QCOMPARE(form.Pen.Width, 2);
        // Shown again, it starts from the pen, not from the abandoned pick.
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(form.WidthSpinEdit1->value(), 2);
        QVERIFY(!form.Done);
    }

    void previewDrawsTheChosenWidthAndStyle() {
        TLineStyleForm form;
        form.Pen = {0, kPenSolid, 3};
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        const int x2 = form.frameGeometry().width() - 35;
        QImage solid = form.grab().toImage();
        QCOMPARE(BlackInColumn(solid, 80), 3); // three pixels thick at y 17 .. 19
        QCOMPARE(BlackInRow(solid, 18, 30, x2), x2 - 30 + 1);

        form.StyleSpinEdit2->setValue(3); // dotted: gaps along the line
        form.WidthSpinEdit1->setValue(1);
        QImage dotted = form.grab().toImage();
        const int black = BlackInRow(dotted, 18, 30, x2);
        QVERIFY(black > 0);
        QVERIFY(black < (x2 - 30) * 3 / 4);
        // The old, thicker line was erased.
        QCOMPARE(BlackInColumn(dotted, 80) <= 1, true);

        // A code without a name draws solid.
        form.hide();
        form.Pen = {0, 9, 1};
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(BlackInRow(form.grab().toImage(), 18, 30, x2), x2 - 30 + 1);
    }
};

QTEST_MAIN(LineStyleFormTest)
#include "LineStyleFormTest.moc"
