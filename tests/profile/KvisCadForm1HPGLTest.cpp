// The profile window's "Save To HPGL" on the example cave, offscreen: the two files, the
// polygon as last edited, and a write that fails.
#include "profile/KvisCadForm1.h"

#include "model/ProgramState.h"
#include "model/SurveyReader.h"
#include "model/TextClock.h"
#include "plot/HPGLWriter.h"
#include "reduction/Processing.h"
#include "reduction/ReductionState.h"
#include "support/TestSupport.h"
#include "support/WindowTestSupport.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <sys/stat.h>

namespace {

const FixedClock kClock("09.12.2026 12:00:00");

bool Load(const QString& file) {
    TKviste cave;
    std::string header;
    if (!ReadSurveyFile(file.toStdString(), cave, header, kClock).Ok)
        return false;
    Cave = std::move(cave);
    HeaderLine2 = header;
    CurrentFile = file.toStdString();
    ProcessCave(Cave, Summary, CurrentFile, kClock);
    DataLoaded = Processed = true;
    return true;
}

QString Units(long long v) {
    return QString::number(v);
}

} // namespace

class CadHPGLTest : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;
    TKvisCadForm1* form = nullptr;
    QTemporaryDir dir;

    void Open() {
        const QString file = dir.filePath("Kvitberghola.grt");
        QFile::remove(file);
        QVERIFY(QFile::copy(QString::fromStdString(SourcePath("examples/Kvitberghola.grt")), file));
        QFile(file).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        QVERIFY(Load(file));
        form = new TKvisCadForm1;
        form->Clock = &kClock;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->RunKvisCAD(2); // A001 to A002
        QCOMPARE(Cave.Lines[2].ToName.str(), std::string("A002"));
    }
    void Click(double x, double y) {
        const TScreenPoint p = WorldToScreen(form->S.Map, x, y);
        QTest::mouseClick(form->CADImage1, Qt::LeftButton, {}, QPoint(p.X, p.Y));
    }
    // Three nodes, finished (which converts them), then the last one dragged: screen only.
    void DrawAndEdit() {
        form->StartPolygon1Click();
        Click(-1, -1);
        Click(1, -1);
        Click(0, 1);
        form->FinishPolyGon1Click();
        form->Node1Click();
        const TScreenPoint from = form->S.CadPoly.Pts[2];
        const TScreenPoint to = WorldToScreen(form->S.Map, 0, 1.5);
        QTest::mousePress(form->CADImage1, Qt::LeftButton, {}, QPoint(from.X, from.Y));
        form->CADImage1MouseMove(QPoint(to.X, to.Y), true);
        QTest::mouseRelease(form->CADImage1, Qt::LeftButton, {}, QPoint(to.X, to.Y));
        QVERIFY(form->S.CadPoly.WPts[2].Y < 1.2); // not yet converted
    }
    QString Plot() const { return dir.filePath("KvitbergholaA002.plt"); }
    QString Frame() const { return dir.filePath("KvitbergholaA002RM.plt"); }

private slots:
    void init() {
        dialogs.Clear();
        SetDialogs(&dialogs);
        QFile::remove(Plot());
        QFile::remove(Frame());
    }
    void cleanup() {
        delete form;
        form = nullptr;
        SetDialogs(nullptr);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    }

    void writesFrameAndPolygonAsEdited() {
        Open();
        auto* button = form->findChild<QToolButton*>("ExportToHPGLToolButton6");
        QVERIFY(button);
        QVERIFY(!button->isEnabled());
        DrawAndEdit();
        QVERIFY(button->isEnabled());
        const std::string dataFile = CurrentFile;
        button->click();
        QVERIFY2(dialogs.Asked.isEmpty(), qPrintable(dialogs.Asked.value(0).Text));
        QCOMPARE(CurrentFile, dataFile);
        QCOMPARE(QString::fromStdString(Cave.CaveName), QString("Kvitberghola"));
        QVERIFY(!PlotHPGL().UseGivenExtents);
        QVERIFY(!PlotHPGL().HPGLActive);
        QVERIFY(std::fabs(form->S.CadPoly.WPts[2].Y - 1.5) < 0.05); // the drag reached the file

        const QByteArray frame = ReadBytes(Frame());
        QVERIFY2(frame.contains("\r\nLBKvitberghola Profile (A002) : "), frame.constData());
        QVERIFY(frame.contains(" m2\x03;;\r\n"));
        QVERIFY(frame.contains("LBLaget :  09.12.2026 12:00:00\x03;;"));

        const QByteArray plot = ReadBytes(Plot());
        QVERIFY(plot.startsWith("IN;\r\n"));
        const THPGLWriter& w = PlotHPGL();
        QCOMPARE(w.HPGLScale, 1.0);
        QStringList expected;
        const TWPoints& n = form->S.CadPoly.WPts;
        for (std::size_t i : {0, 1, 2, 0}) {
            const QString cmd = expected.isEmpty() ? "PU" : "PD";
            expected << cmd + Units(w.PlotterUnits(n[i].X)) + " " + Units(w.PlotterUnits(n[i].Y)) +
                            ";";
        }
        QVERIFY2(plot.contains(
                     ("\r\nLT;\r\n" + expected.join("\r\n") + "\r\nPU0 0;\r\nSP0;\r\n").toLatin1()),
                 plot.constData());
        // The 1.5 m node is 600 units up at 1 m to the centimetre.
        QVERIFY(std::abs(w.PlotterUnits(n[2].Y) - 600) <= 20);
    }

    void failedWriteLeavesNothing() {
        Open();
        DrawAndEdit();
        const std::string dataFile = CurrentFile;
        const QByteArray path = QFile::encodeName(dir.path());
        QVERIFY(::chmod(path.constData(), 0500) == 0);
        // The superuser writes into read-only directories; a file standing in for the
        // directory fails for everyone.
        QFile probe(dir.filePath("probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            CurrentFile = dataFile + "/Kvitberghola.grt";
        }
        const std::string readAs = CurrentFile;
        form->findChild<QAction*>("SaveToHPGL1")->trigger();
        const QStringList warnings = dialogs.TextsOf("Warning");
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].startsWith("Could NOT write "), qPrintable(warnings[0]));
        QVERIFY(warnings[0].contains("RM.plt ("));
        QCOMPARE(CurrentFile, readAs);
        QCOMPARE(QString::fromStdString(Cave.CaveName), QString("Kvitberghola"));
        QVERIFY(!PlotHPGL().UseGivenExtents);
        QVERIFY(!PlotHPGL().HPGLActive);
        QVERIFY(!QFile::exists(Plot()));
        QVERIFY(!QFile::exists(Frame()));
        CurrentFile = dataFile;
    }

    void failedPlotFileAfterTheFrame() {
        Open();
        DrawAndEdit();
        QVERIFY(QDir(dir.path()).mkdir("KvitbergholaA002.plt")); // the plot file cannot replace it
        form->SaveToHPGL1Click();
        const QStringList warnings = dialogs.TextsOf("Warning");
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].startsWith("Could NOT write " + Plot() + " ("),
                 qPrintable(warnings[0]));
        QVERIFY(QFileInfo(Plot()).isDir());
        QCOMPARE(QDir(dir.path()).entryList({"*kvtmp*"}, QDir::Files), QStringList());
        QVERIFY(!PlotHPGL().UseGivenExtents);
        QVERIFY(QDir(dir.path()).rmdir("KvitbergholaA002.plt"));
    }
};

QTEST_MAIN(CadHPGLTest)
#include "KvisCadForm1HPGLTest.moc"
