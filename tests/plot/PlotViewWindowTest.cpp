// The plot window inside the main window: what the first view, the fit, rotation and the
// station finder show, the keys that reach the plot, clearing, and the quick picture.
#include "support/WindowTestSupport.h"

#include "model/ProgramState.h"
#include "plot/KvisPlotForm1.h"
#include "plot/QtCanvas.h"
#include "reduction/ReductionState.h"
#include "shell/MainForm.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

// A survey of n shots whose legs zigzag about one compass direction: north makes it taller
// than wide, east wider than tall.
QByteArray Zigzag(int n, double compass) {
    QByteArray s = "Zigzag\r\n;\r\n; generated\r\n360.00 360.00 0.00 1.00\r\n0.00 0.00 0.00\r\n"
                   "B001 B001 0.00 0.00 0.00 0.00 0.00 0.00 0.00\r\n";
    for (int i = 2; i <= n; ++i) {
        const double c = std::fmod(compass + (i % 2 ? 15 : 345), 360);
        s += QString("B%1 B%2 %3 -5.00 10.00 1.00 1.00 1.00 1.00\r\n")
                 .arg(i - 1, 3, 10, QChar('0'))
                 .arg(i, 3, 10, QChar('0'))
                 .arg(c, 0, 'f', 2)
                 .toLatin1();
    }
    return s;
}

QStringList captured;
void Capture(QtMsgType, const QMessageLogContext&, const QString& text) {
    captured << text;
}

// Where a station's position lands on the surface with the mapping of the last picture.
QPoint Pixel(const TKvisPlotForm1& plot, const TVec3& pos) {
    TVec3 r;
    ViewPoint(plot.View, pos, r);
    std::int32_t sx, sy;
    ToScreen(plot.View, r.X, r.Y, sx, sy);
    return {sx, sy};
}

// Every station inside the surface, and drawn there (its symbol is not black).
bool AllStationsShown(const TKvisPlotForm1& plot, QString& why) {
    const QImage& img = plot.Surface->Image;
    for (std::int32_t i = 1; i <= Cave.LineCount; ++i) {
        const QPoint p = Pixel(plot, Cave.Lines[static_cast<std::size_t>(i)].Pos);
        if (!img.rect().contains(p) || img.pixelColor(p) == QColor(Qt::black)) {
            why = QString("station %1 at (%2, %3) on %4 x %5")
                      .arg(i)
                      .arg(p.x())
                      .arg(p.y())
                      .arg(img.width())
                      .arg(img.height());
            return false;
        }
    }
    return true;
}

} // namespace

class PlotViewWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<CurrentDirectory> cwd_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TMainForm> form_;

    // Opens the survey through File > Open and plots it; the new plot window, shown.
    TKvisPlotForm1* Plot(const QString& path) {
        dialogs_.FileNames << path;
        form_->findChild<QAction*>("OpenFileBtn")->trigger();
        form_->findChild<QAction*>("PlotCaveBtn")->trigger();
        QMdiSubWindow* sub = form_->MdiArea->activeSubWindow();
        auto* plot = sub ? qobject_cast<TKvisPlotForm1*>(sub->widget()) : nullptr;
        if (plot) {
            QTest::qWait(20); // layouts settle
            plot->setFocus();
        }
        return plot;
    }
    TKvisPlotForm1* PlotBytes(const QByteArray& survey) {
        const QString path = dir_->filePath("zigzag.grt");
        WriteBytes(path, survey);
        return Plot(path);
    }
    static void Rested(TKvisPlotForm1* plot) { QTRY_VERIFY(!plot->FullRedrawTimer->isActive()); }
    void Screenshot(TKvisPlotForm1* plot, const char* name) {
        const QString dir = qEnvironmentVariable("KV_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            form_->grab().save(dir + "/" + name);
        (void)plot;
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        cwd_ = std::make_unique<CurrentDirectory>(dir_->path());
        dialogs_ = ScriptedDialogs();
        SetDialogs(&dialogs_);
        form_ = std::make_unique<TMainForm>();
        form_->resize(1000, 700);
        form_->show();
        form_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
        dialogs_.Clear();
    }
    void cleanup() {
        form_.reset();
        SetDialogs(nullptr);
        cwd_.reset();
        dir_.reset();
    }

    // F2 and F3 switch the plot's grid and walls instead of opening the frame's file dialogs,
    // Alt+X closes the plot window, and Qt finds no shortcut ambiguous.
    void keysReachThePlotWindow() {
        TKvisPlotForm1* plot = PlotBytes(kSmallSurvey);
        QVERIFY(plot);
        dialogs_.Clear();
        captured.clear();
        const QtMessageHandler old = qInstallMessageHandler(Capture);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F3);
        const bool grid = plot->Switches.ShowGrid, walls = plot->Switches.ShowWalls;
        QPointer<TKvisPlotForm1> alive(plot);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_X, Qt::AltModifier);
        QTest::qWait(10);
        qInstallMessageHandler(old);
        QVERIFY(grid);
        QVERIFY(walls);
        QVERIFY2(dialogs_.TextsOf("SaveFileName").isEmpty(), "F2 reached Save As");
        QVERIFY2(dialogs_.TextsOf("OpenFileName").isEmpty(), "F3 reached Open");
        QTRY_VERIFY(alive.isNull());
        QVERIFY(form_->isVisible());
        QVERIFY2(captured.filter("Ambiguous").isEmpty(), qPrintable(captured.join("\n")));
    }

    // The example cave and surveys taller and wider than the window: the first view, the fit
    // after nine steps to the left, and the fit of the elevation show every station.
    void everyStationShown_data() {
        QTest::addColumn<QString>("survey");
        QTest::newRow("example") << QString(KV_SOURCE_DIR "/examples/Kvitberghola.grt");
        QTest::newRow("tall") << QString("north");
        QTest::newRow("wide") << QString("east");
    }
    void everyStationShown() {
        QFETCH(QString, survey);
        TKvisPlotForm1* plot = survey == "north"  ? PlotBytes(Zigzag(80, 0))
                               : survey == "east" ? PlotBytes(Zigzag(80, 90))
                                                  : Plot(survey);
        QVERIFY(plot);
        QMdiSubWindow* sub = form_->MdiArea->activeSubWindow();
        QVERIFY(form_->MdiArea->viewport()->rect().contains(sub->geometry()));
        plot->StationsBtnClick();
        QString why;
        QVERIFY2(AllStationsShown(*plot, why), qPrintable("first view: " + why));
        Screenshot(plot, qPrintable(QString("plot-%1-fit.png").arg(QTest::currentDataTag())));

        // Nine steps to the left keep the cave's middle at the centre, and the fitted view
        // widens so that the turned cave stays whole.
        const QPoint centre(plot->Surface->width() / 2, plot->Surface->height() / 2);
        QTest::keyClick(plot, Qt::Key_F6);
        for (int k = 0; k < 9; ++k)
            QTest::keyClick(plot, Qt::Key_Left);
        QCOMPARE(plot->View.RotAngle, 90.0);
        Rested(plot);
        const TSummaryValues& s = Summary;
        const QPoint middle = Pixel(*plot, {(s.MinEast + s.MaxEast) / 2,
                                            (s.MinNorth + s.MaxNorth) / 2, (s.MinZ + s.MaxZ) / 2});
        QVERIFY((middle - centre).manhattanLength() <= 2);
        QVERIFY2(AllStationsShown(*plot, why), qPrintable("nine steps: " + why));
        Screenshot(plot, qPrintable(QString("plot-%1-rot90.png").arg(QTest::currentDataTag())));
        plot->FitToPageClick();
        QVERIFY2(AllStationsShown(*plot, why), qPrintable("fit at 90: " + why));

        while (plot->View.TiltAngle < 0)
            QTest::keyClick(plot, Qt::Key_Up);
        Rested(plot);
        QVERIFY2(AllStationsShown(*plot, why), qPrintable("tilt 0: " + why));
        plot->FitToPageClick();
        QVERIFY2(AllStationsShown(*plot, why), qPrintable("elevation fitted: " + why));

        // A view the user zoomed keeps its scale through a step.
        plot->FormClick(); // rotation mode off
        QTest::keyClick(plot, Qt::Key_F4);
        const double width = plot->View.Limits.East - plot->View.Limits.West;
        QTest::keyClick(plot, Qt::Key_F6);
        QTest::keyClick(plot, Qt::Key_Left);
        plot->FormClick();
        QCOMPARE(plot->View.Limits.East - plot->View.Limits.West, width);

        // Limit labels tell what is visible: the corners of the surface.
        double x, y;
        ToWorld(plot->View, 0, 0, x, y);
        QVERIFY(std::abs(x - plot->View.Limits.West) < (plot->View.Limits.East - x) * 0.01);
        QVERIFY(std::abs(y - plot->View.Limits.North) < (y - plot->View.Limits.South) * 0.01);

        // The finder puts the last station on the middle pixel of what is visible.
        plot->FindStationBtnClick();
        plot->StationLabel1->setText(QString::fromLatin1(Cave.Lines.back().ToName.str()));
        plot->FindStationButtonClick();
        const QPoint found = Pixel(*plot, Cave.Lines.back().Pos);
        QVERIFY((found - centre).manhattanLength() <= 2);
    }

    // After the view moves far from the cave no pixel of the old picture is left anywhere,
    // the rim outside the viewport included.
    void movingAwayLeavesNoOldPixel() {
        TKvisPlotForm1* plot = PlotBytes(Zigzag(60, 90));
        QVERIFY(plot);
        plot->StationsBtnClick();
        plot->LabelsBtnClick();
        plot->ShowGridBtnClick();
        plot->ShowGridBtnClick(); // grid off again: nothing may be drawn at all far away
        plot->View.Limits = {1e6, 1e6 + 10, 1e6, 1e6 + 10};
        plot->Refresh1Click();
        const QImage& img = plot->Surface->Image;
        int lit = 0;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                lit += img.pixel(x, y) != qRgb(0, 0, 0);
        QCOMPARE(lit, 0);
    }

    // While the view moves the legs come at once; labels and symbols follow once it rests.
    void quickPictureThenFull() {
        TKvisPlotForm1* plot = PlotBytes(Zigzag(40, 0));
        QVERIFY(plot);
        plot->StationsBtnClick();
        const QPoint s = Pixel(*plot, Cave.Lines[20].Pos);
        QCOMPARE(plot->Surface->Image.pixelColor(s.x(), s.y() + 3), QColor(Qt::blue));
        QTest::keyClick(plot, Qt::Key_Left);
        QTest::keyClick(plot, Qt::Key_Right); // back where it was
        QVERIFY(plot->FullRedrawTimer->isActive());
        QVERIFY(plot->Surface->Image.pixelColor(s.x(), s.y() + 3) != QColor(Qt::blue));
        Rested(plot);
        QCOMPARE(plot->Surface->Image.pixelColor(s.x(), s.y() + 3), QColor(Qt::blue));
    }

    // Leaving out what lies outside changes no pixel of what is seen, zoomed in on a corner of
    // the example cave with every element on; hiding overlapping names only removes labels.
    void cullingKeepsTheVisiblePicture() {
        TKvisPlotForm1* plot = Plot(KV_SOURCE_DIR "/examples/Kvitberghola.grt");
        QVERIFY(plot);
        TPlotView zoomed = plot->View;
        TViewLimits& v = zoomed.Limits;
        v = {v.West, (v.West + v.East) / 2, (v.South + v.North) / 2, v.North};
        KeepProportions(zoomed);
        SetToPCParams(zoomed, v.West, v.South, v.East, v.North);
        TPlotSwitches sw;
        sw.ShowLabels = sw.ShowStations = sw.ShowWalls = sw.ShowCrossSections = true;
        const TStationIndex index(Cave);
        auto draw = [&](bool cull, bool hide, const TPlotView& view) {
            QImage img(plot->Surface->Image.size(), QImage::Format_RGB32);
            img.fill(Qt::black);
            QPainter painter(&img);
            TQtCanvas canvas(painter);
            ClearPlotScreen(canvas, view);
            TPlotPass pass{canvas, Cave, view, sw, plot->PlotColors, index};
            pass.CullToViewport = cull;
            pass.HideOverlappingLabels = hide;
            PlottPolygon(pass);
            return img;
        };
        QCOMPARE(draw(true, false, zoomed), draw(false, false, zoomed));
        // The whole cave: its names crowd each other somewhere.
        TPlotView fitted = plot->View;
        SetToPCParams(fitted, fitted.Limits.West, fitted.Limits.South, fitted.Limits.East,
                      fitted.Limits.North);
        const QImage all = draw(true, false, fitted), sparse = draw(true, true, fitted);
        int changed = 0;
        for (int y = 0; y < all.height(); ++y)
            for (int x = 0; x < all.width(); ++x)
                if (sparse.pixel(x, y) != all.pixel(x, y)) {
                    ++changed;
                    // Only where a label stood: the label colour, or what it covered.
                    const QRgb was = all.pixel(x, y);
                    QVERIFY(qRed(was) > 0 || qBlue(was) > 0 || qGreen(was) > 0);
                }
        QVERIFY(changed > 0);
    }

    // Limits of several kilometres stay whole in their labels; the names switch exists and
    // starts checked.
    void limitLabelsAndOverlapSwitch() {
        TKvisPlotForm1* plot = PlotBytes(kSmallSurvey);
        QVERIFY(plot);
        plot->View.Limits = {-123456.7, 23456.7, -1600, 99999.9};
        plot->Refresh1Click();
        for (QLabel* l : {plot->WLabel, plot->ELabel, plot->SLabel, plot->NLabel}) {
            QVERIFY2(l->fontMetrics().horizontalAdvance(l->text()) <= l->contentsRect().width(),
                     qPrintable(l->text()));
            QVERIFY(l->text().contains('.'));
        }
        QVERIFY(plot->OverlappingNames1->isCheckable());
        QVERIFY(plot->OverlappingNames1->isChecked());
        QCOMPARE(plot->OverlappingNames1->text(), QString("&Overlapping Names"));
    }
};

QTEST_MAIN(PlotViewWindowTest)
#include "PlotViewWindowTest.moc"
