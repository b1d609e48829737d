// The PNG export: pixels of the start marker, station symbols and a wall tick.
#include "PngExport.h"

#include "plot/PlotRender.h"
#include "plot/QtCanvas.h"
#include "plot/ViewTransform.h"

#include <QImage>
#include <QTemporaryDir>
#include <QTest>

class PngExportTest : public QObject {
    Q_OBJECT

    // A2 10 m east of the start with a comment and walls, A3 10 m north of A2.
    static TKviste Cave(TSummaryValues& summary) {
        TKviste cave;
        cave.Lines.assign(4, Tdatalinje{});
        cave.LineCount = 3;
        const char* names[4][2] = {{"", ""}, {"A1", "A1"}, {"A1", "A2"}, {"A2", "A3"}};
        const TVec3 pos[4] = {{}, {0, 0, 0}, {10, 0, 0}, {10, 10, 0}};
        for (int i = 1; i <= 3; ++i) {
            Tdatalinje& l = cave.Lines[static_cast<std::size_t>(i)];
            l.FromName = str4(names[i][0]);
            l.ToName = str4(names[i][1]);
            l.Pos = pos[i];
            l.Compass = i == 3 ? 0 : 90;
            l.Length = i == 1 ? 0 : 10;
            l.Right = l.Left = 3;
            WallPoints(cave, i);
        }
        cave.Lines[2].Comment = "Sump";
        cave.Lines[2].HasComment = true;
        ComputeStatistics(cave, summary);
        return cave;
    }

private slots:
    void stationsWallsAndMarker() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        TSummaryValues summary;
        const TKviste cave = Cave(summary);
        TPngOptions o;
        o.Width = 800;
        o.Height = 600;
        o.Stations = o.Walls = true;
        const std::string out = dir.filePath("cave.png").toStdString();
        std::string reason;
        QVERIFY2(ExportPng(cave, summary, o, out, reason), reason.c_str());
        QImage img(QString::fromStdString(out));
        if (qEnvironmentVariableIsSet("KV_KEEP_PNG"))
            img.save(qEnvironmentVariable("KV_KEEP_PNG"));
        QCOMPARE(img.size(), QSize(800, 600));

        // The same view arithmetic tells where the stations are.
        TPlotView view;
        SetPngView(view, cave, summary, o);
        SetToPCParams(view, view.Limits.West, view.Limits.South, view.Limits.East,
                      view.Limits.North);
        auto px = [&](double x, double y) {
            std::int32_t sx, sy;
            ToScreen(view, x, y, sx, sy);
            return QPoint(sx, sy);
        };
        const QPoint a1 = px(0, 0), a2 = px(10, 0), a3 = px(10, 10);
        // Start marker: a ring of 3 * UnitX (UnitX = 2) in the border colour.
        const QColor border = ToQColor(kStartMarkerColour);
        QVERIFY(img.pixelColor(a1 + QPoint(-6, 0)) == border ||
                img.pixelColor(a1 + QPoint(-5, 0)) == border);
        QCOMPARE(img.pixelColor(a2 + QPoint(-2, 3)), QColor(Qt::red));  // commented
        QCOMPARE(img.pixelColor(a3 + QPoint(3, -2)), QColor(Qt::blue)); // not commented
        // A3's right wall lies 3 m east: a dotted red tick ending in a white pixel.
        const QPoint wall = px(13, 10);
        QCOMPARE(img.pixelColor(wall), QColor(Qt::white));
        int red = 0, black = 0;
        for (int x = a3.x() + 6; x < wall.x(); ++x) {
            const QColor c = img.pixelColor(x, a3.y());
            red += c == QColor(Qt::red);
            black += c == QColor(Qt::black);
        }
        QVERIFY(red > 3);
        QVERIFY(black > 3); // dotted, not solid

        std::string why;
        o.Width = 0;
        QVERIFY(!ExportPng(cave, summary, o, out, why));
        QVERIFY(!why.empty());
    }
};

QTEST_MAIN(PngExportTest)
#include "PngExportTest.moc"
