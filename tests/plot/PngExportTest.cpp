// The PNG export: pixels of the start marker, station symbols and a wall tick.
#include "PngExport.h"

#include "model/SurveyReader.h"
#include "plot/PlotRender.h"
#include "plot/QtCanvas.h"
#include "plot/ViewTransform.h"
#include "reduction/Processing.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

// The picture's own view arithmetic: where a plan point lands in the PNG.
struct TPngScreen {
    TPlotView View;
    TPngScreen(const TKviste& cave, const TSummaryValues& summary, const TPngOptions& o) {
        SetPngView(View, cave, summary, o);
        SetToPCParams(View, View.Limits.West, View.Limits.South, View.Limits.East,
                      View.Limits.North);
    }
    QPoint operator()(double x, double y) const {
        std::int32_t sx, sy;
        ToScreen(View, x, y, sx, sy);
        return QPoint(sx, sy);
    }
};

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

    // The example cave drawn as the batch program draws it.
    void exampleCave() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString copy = dir.filePath("Kvitberghola.grt");
        QVERIFY(QFile::copy(KV_SOURCE_DIR "/examples/Kvitberghola.grt", copy));
        TKviste cave;
        std::string header2;
        const FixedClock clock("01.02.2026 10:00:00");
        QVERIFY(ReadSurveyFile(copy.toStdString(), cave, header2, clock).Ok);
        TSummaryValues summary;
        QVERIFY(ProcessCave(cave, summary, copy.toStdString(), clock).Connectivity.empty());
        TPngOptions o;
        o.Stations = o.Walls = true;
        const std::string out = dir.filePath("cave.png").toStdString();
        std::string reason;
        QVERIFY2(ExportPng(cave, summary, o, out, reason), reason.c_str());
        const QImage img(QString::fromStdString(out));
        QCOMPARE(img.size(), QSize(o.Width, o.Height));

        const TPngScreen px(cave, summary, o);
        const TPlotView& view = px.View;
        // Stations far from every other station, so no neighbour's symbol covers them.
        auto isolation = [&](int i) {
            const QPoint p = px(cave.Lines[i].Pos.X, cave.Lines[i].Pos.Y);
            int nearest = 1 << 30;
            for (int k = 1; k <= cave.LineCount; ++k) {
                const QPoint q = px(cave.Lines[k].Pos.X, cave.Lines[k].Pos.Y);
                if (k != i)
                    nearest = std::min(nearest, (p - q).manhattanLength());
            }
            return nearest;
        };
        auto loneStation = [&](bool commented) {
            int best = 0, bestIsolation = -1;
            for (int i = 2; i <= cave.LineCount; ++i) {
                if (cave.Lines[i].Comment.empty() == commented)
                    continue;
                const int d = isolation(i);
                if (d > bestIsolation) {
                    best = i;
                    bestIsolation = d;
                }
            }
            return best;
        };
        auto colourAround = [&](int i, const QColor& colour) {
            const QPoint p = px(cave.Lines[i].Pos.X, cave.Lines[i].Pos.Y);
            int n = 0;
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -2; dy <= 2; ++dy)
                    n += img.pixelColor(p + QPoint(dx, dy)) == colour;
            return n;
        };
        const int red = loneStation(true), blue = loneStation(false);
        QVERIFY(red > 0 && blue > 0);
        QVERIFY2(colourAround(red, Qt::red) >= 12, cave.Lines[red].ToName.str().c_str());
        QVERIFY2(colourAround(blue, Qt::blue) >= 12, cave.Lines[blue].ToName.str().c_str());

        // The start marker rings the start point.
        const QPoint start = px(cave.StartPos.X, cave.StartPos.Y);
        const QColor border = ToQColor(kStartMarkerColour);
        int ring = 0;
        const int radius = 3 * view.UnitX;
        for (int dx = -radius - 1; dx <= radius + 1; ++dx)
            for (int dy = -radius - 1; dy <= radius + 1; ++dy)
                ring += img.pixelColor(start + QPoint(dx, dy)) == border;
        QVERIFY(ring >= 4 * radius);

        // The longest right wall on screen of a station standing apart: a red tick ending in
        // white beyond the station's symbol.
        auto wallLength = [&](int i) {
            const Tdatalinje& l = cave.Lines[i];
            return (px(l.RightWall.X, l.RightWall.Y) - px(l.Pos.X, l.Pos.Y)).manhattanLength();
        };
        int walled = 0;
        for (int i = 2; i <= cave.LineCount; ++i)
            if (isolation(i) > 30 && (walled == 0 || wallLength(i) > wallLength(walled)))
                walled = i;
        QVERIFY(walled > 0);
        QVERIFY(wallLength(walled) >= 10);
        const Tdatalinje& w = cave.Lines[walled];
        const QPoint from = px(w.Pos.X, w.Pos.Y), end = px(w.RightWall.X, w.RightWall.Y);
        // White stands only at wall ends; a later leg may cross the very pixel.
        int white = 0;
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                white += img.pixelColor(end + QPoint(dx, dy)) == QColor(Qt::white);
        QVERIFY2(white > 0, w.ToName.str().c_str());
        int redOnTick = 0;
        for (int k = 40; k < 95; k += 5) {
            const QPoint q = from + (end - from) * k / 100;
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    redOnTick += img.pixelColor(q + QPoint(dx, dy)) == QColor(Qt::red);
        }
        QVERIFY2(redOnTick > 0, w.ToName.str().c_str());
    }
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
        const TPngScreen px(cave, summary, o);
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
