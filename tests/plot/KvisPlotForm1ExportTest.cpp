// The plot window's exports offscreen: F10 and its menu item, SVG and PDF, failures.
#include "plot/KvisPlotForm1.h"

#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "model/TextClock.h"
#include "plot/HPGLWriter.h"
#include "reduction/ReductionState.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Four stations: 30 m east, then 20 m north, then down.
void MakeCave(const std::string& file) {
    Cave = TKviste{};
    Cave.CaveName = "Pr\xF8vehola"; // the file's own byte for ø
    const TVec3 pos[] = {{0, 0, 0}, {30, 0, 0}, {30, 20, -5}, {30, 20, -15}};
    Cave.Lines.assign(5, Tdatalinje{});
    Cave.LineCount = 4;
    for (int i = 1; i <= 4; ++i) {
        Tdatalinje& l = Cave.Lines[static_cast<std::size_t>(i)];
        l.FromName = str4("P" + std::to_string(i == 1 ? 1 : i - 1));
        l.ToName = str4("P" + std::to_string(i));
        l.Length = i == 1 ? 0 : 10;
        l.Pos = pos[i - 1];
    }
    ComputeStatistics(Cave, Summary);
    CurrentFile = file;
    DataLoaded = true;
    Processed = true;
}

std::string Bytes(const QString& path) {
    std::string content, reason;
    ReadWholeFile(path.toStdString(), content, reason);
    return content;
}

} // namespace

class PlotExportTest : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;
    FixedClock clock{"24.12.2026 18:00:00"};
    QTemporaryDir dir;
    TKvisPlotForm1* form = nullptr;

    QString File(const QString& name) const { return QDir(dir.path()).filePath(name); }

private slots:
    void init() {
        dialogs.Clear();
        SetDialogs(&dialogs);
        MakeCave(File("prove.grt").toStdString());
        form = new TKvisPlotForm1;
        form->Clock = &clock;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    void cleanup() {
        delete form;
        form = nullptr;
        SetDialogs(nullptr);
        for (const char* name : {"prove.plt", "proveRM.plt", "Rutenett.plt"})
            QFile::remove(File(name));
    }

    void f10WritesTheFilesOfTheView() {
        QTest::keyClick(form, Qt::Key_F2); // grid on
        QTest::keyClick(form, Qt::Key_F10);
        QVERIFY(dialogs.Asked.isEmpty());
        QVERIFY(!PlotHPGL().HPGLActive);
        const std::string frame = Bytes(File("proveRM.plt"));
        QVERIFY(frame.find("LBLaget :  24.12.2026 18:00:00\x03;;\r\n") != std::string::npos);
        QVERIFY(frame.find("LBPr\xF8vehola\x03;;\r\n") != std::string::npos);
        // 30 m wide: 1 cm to 1 m, so the station 30 m east is 12000 units.
        QVERIFY(Bytes(File("prove.plt")).find("\r\nPD12000 0;\r\n") != std::string::npos);
        QVERIFY(QFile::exists(File("Rutenett.plt")));

        // The menu item is the same command; without the grid no grid file is written.
        QFile::remove(File("Rutenett.plt"));
        QTest::keyClick(form, Qt::Key_F2);
        form->findChild<QAction*>("ExportHPGL1")->trigger();
        QVERIFY(QFile::exists(File("prove.plt")));
        QVERIFY(!QFile::exists(File("Rutenett.plt")));
    }

    // A printable clip polygon closes the cave file, in the world's view-plane metres.
    void printableClipPolygonIsPlotted() {
        TPolyGon& g = form->Clip.ClipPoly;
        g.WPts = {{1, 1}, {5, 1}, {5, 4}};
        g.Count = 3;
        g.Closed = true;
        g.Loaded = true;
        QTest::keyClick(form, Qt::Key_F10);
        const std::string without = Bytes(File("prove.plt"));
        form->Clip.Printable = true;
        QTest::keyClick(form, Qt::Key_F10);
        const std::string with = Bytes(File("prove.plt"));
        const std::string polygon =
            "PU400 400;\r\nPD400 400;\r\nPD2000 400;\r\nPD2000 1600;\r\nPD400 400;\r\n";
        QVERIFY(without.find(polygon) == std::string::npos);
        QCOMPARE(with.substr(with.size() - polygon.size() - 14), polygon + "PU0 0;\r\nSP0;\r\n");
    }

    void f10IsIgnoredInRotationModeAndFailuresAreReported() {
        form->SetRotation();
        QTest::keyClick(form, Qt::Key_F10);
        QVERIFY(!QFile::exists(File("prove.plt")));
        form->SetRotation();

        CurrentFile = File("gone/prove.grt").toStdString();
        QTest::keyClick(form, Qt::Key_F10);
        const QStringList warnings = dialogs.TextsOf("Warning");
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].startsWith("Could NOT write " + File("gone/proveRM.plt") + " ("),
                 qPrintable(warnings[0]));
        QVERIFY(!PlotHPGL().HPGLActive);
        form->PlottKviste(); // a redraw afterwards writes nowhere and asks nothing
        QCOMPARE(dialogs.TextsOf("Warning").size(), 1);
    }

    void svgAndPdfOfTheCurrentView() {
        dialogs.FileNames = {File("view"), File("view.pdf"), "", File("gone/x.svg")};
        form->findChild<QAction*>("ExportSVG1")->trigger();
        const std::string svg = Bytes(File("view.svg"));
        QVERIFY(svg.find("<svg") != std::string::npos);
        QVERIFY(svg.find("<path") != std::string::npos);
        form->findChild<QAction*>("ExportPDF1")->trigger();
        QCOMPARE(Bytes(File("view.pdf")).substr(0, 4), std::string("%PDF"));
        form->findChild<QAction*>("ExportSVG1")->trigger(); // cancelled
        QVERIFY(dialogs.TextsOf("Warning").isEmpty());
        form->findChild<QAction*>("ExportSVG1")->trigger();
        QCOMPARE(dialogs.TextsOf("Warning").size(), 1);
        QVERIFY(dialogs.TextsOf("Warning")[0].startsWith("Could NOT write " + File("gone/x.svg")));
    }
};

QTEST_MAIN(PlotExportTest)
#include "KvisPlotForm1ExportTest.moc"
