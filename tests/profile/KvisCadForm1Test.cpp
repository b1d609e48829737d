// The profile drawing window offscreen: drawing, storing, undo, exclusive-or, zoom, rotation.
#include "profile/KvisCadForm1.h"

#include "plot/KvisPlotForm1.h"

#include "model/ProgramState.h"
#include "model/SurveyReader.h"
#include "model/SurveyWriter.h"
#include "reduction/Processing.h"
#include "reduction/ReductionState.h"
#include "support/WindowTestSupport.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const FixedClock kClock("09.12.2026 12:00:00");

QByteArray Survey(bool grads) {
    QByteArray s = kSmallSurvey;
    if (grads)
        s.replace("360.00 360.00 0.00 1.00", "400.00 400.00 0.00 1.00");
    return s;
}

bool Load(const QString& file) {
    TKviste cave;
    std::string header;
    const TReadResult r = ReadSurveyFile(file.toStdString(), cave, header, kClock);
    if (!r.Ok)
        return false;
    Cave = std::move(cave);
    HeaderLine2 = header;
    CurrentFile = file.toStdString();
    ProcessCave(Cave, Summary, CurrentFile, kClock);
    DataLoaded = Processed = true;
    return true;
}

} // namespace

class CadWindowTest : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;
    TKvisCadForm1* form = nullptr;
    QTemporaryDir dir;

    void Open(bool grads = false) {
        const QString file = dir.filePath("cave.grt");
        QVERIFY(WriteBytes(file, Survey(grads)));
        QVERIFY(Load(file));
        form = new TKvisCadForm1;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }
    void Click(QPoint p) { QTest::mouseClick(form->CADImage1, Qt::LeftButton, {}, p); }
    // A square about the station, 1 m each way in the default window of line 2.
    void DrawSquare() {
        form->StartPolygon1Click();
        for (const auto& [x, y] : {std::pair{-1.0, -1.0}, {1.0, -1.0}, {1.0, 1.0}, {-1.0, 1.0}}) {
            const TScreenPoint p = WorldToScreen(form->S.Map, x, y);
            Click(QPoint(p.X, p.Y));
        }
        form->FinishPolyGon1Click();
    }

private slots:
    void init() {
        dialogs.Clear();
        dialogs.YesNoAnswers.clear();
        SetDialogs(&dialogs);
    }
    void cleanup() {
        delete form;
        form = nullptr;
        SetDialogs(nullptr);
    }

    void saveToCaveReachesListingAndFile_data() {
        QTest::addColumn<bool>("grads");
        QTest::newRow("degrees") << false;
        QTest::newRow("grads") << true;
    }
    void saveToCaveReachesListingAndFile() {
        QFETCH(bool, grads);
        Open(grads);
        form->RunKvisCAD(2); // A001 to A002, bearing 90, no profile
        QCOMPARE(form->findChild<QLabel*>("ProfileLabel1")->text(), QString("No Profile"));
        DrawSquare();
        QCOMPARE(form->S.CadPoly.Count, 4);
        QVERIFY(form->S.CadPoly.Closed);
        const TWPoints drawn = form->S.CadPoly.WPts;
        form->Savetocave1Click();
        QVERIFY(dialogs.Asked.isEmpty());
        const Tdatalinje& l = Cave.Lines[2];
        QVERIFY(l.HasScan);
        QCOMPARE(l.ScanCount, 4);
        // Across the leg (90 grads is 81 degrees), in degrees in the model.
        const double plane = grads ? 171 : 180;
        QCOMPARE(l.ScanPlane, plane);

        ProcessCave(Cave, Summary, CurrentFile, kClock);
        const QByteArray scn = ReadBytes(dir.filePath("cave.scn"));
        QVERIFY2(scn.contains(grads ? "\r\n2 A002 4 171.00\r\n" : "\r\n2 A002 4 180.00\r\n"),
                 scn.constData());

        const QString out = dir.filePath("out.grt");
        QVERIFY(WriteSurveyFile(out.toStdString(), Cave, HeaderLine2, kClock).Ok);
        QVERIFY(Load(out));
        const Tdatalinje& back = Cave.Lines[2];
        QVERIFY(back.HasScan);
        QCOMPARE(back.ScanCount, 4);
        QVERIFY(std::fabs(back.ScanPlane - plane) < 0.01);
        TPolyGon reread;
        LoadPolyFromProfile(Cave, 2, reread);
        for (std::size_t i = 0; i < 4; ++i) {
            QVERIFY2(std::fabs(reread.WPts[i].X - drawn[i].X) < 0.02,
                     qPrintable(QString::number(i)));
            QVERIFY(std::fabs(reread.WPts[i].Y - drawn[i].Y) < 0.02);
        }
        // The line's other scan is untouched.
        QCOMPARE(Cave.Lines[3].ScanCount, 2);
    }

    void refusalsAndEditsBeforeSaving() {
        Open();
        form->RunKvisCAD(2);
        form->StartPolygon1Click();
        Click({100, 100});
        Click({200, 100});
        form->Savetocave1Click();
        QCOMPARE(dialogs.TextsOf("Warning"), QStringList{"Close PolyGon First!!!"});
        form->FinishPolyGon1Click();
        form->Savetocave1Click();
        QVERIFY(dialogs.TextsOf("Warning").last().contains("at least 3 nodes"));
        QVERIFY(!Cave.Lines[2].HasScan);

        // A node dragged after Finish is saved where it was dropped.
        form->deletePolyGon1Click();
        DrawSquare();
        form->Node1Click();
        const TScreenPoint corner = form->S.CadPoly.Pts[2];
        const TScreenPoint target = WorldToScreen(form->S.Map, 1.5, 1.5);
        QTest::mousePress(form->CADImage1, Qt::LeftButton, {}, QPoint(corner.X, corner.Y));
        QTest::mouseMove(form->CADImage1, QPoint(target.X, target.Y));
        form->CADImage1MouseMove(QPoint(target.X, target.Y), true);
        QTest::mouseRelease(form->CADImage1, Qt::LeftButton, {}, QPoint(target.X, target.Y));
        form->Savetocave1Click();
        QVERIFY(Cave.Lines[2].HasScan);
        QVERIFY(std::fabs(Cave.Lines[2].ScanPoints[2].Distance - 1.5 * std::sqrt(2.0)) < 0.05);
    }

    void undoAfterSaveAndAfterDelete() {
        Open();
        form->RunKvisCAD(3); // A003 with its stored two-point scan
        QCOMPARE(form->S.CadPoly.Count, 2);
        QVERIFY(!form->S.CadPoly.Closed);
        form->deletePolyGon1Click();
        DrawSquare();
        dialogs.YesNoAnswers = {true};
        form->Savetocave1Click();
        QCOMPARE(dialogs.TextsOf("YesNo"),
                 QStringList{"The Cave already have a profile! Overwrite?"});
        QCOMPARE(Cave.Lines[3].ScanCount, 4);

        dialogs.Clear();
        dialogs.YesNoAnswers = {true};
        form->UnDoSaveTocave1Click();
        QCOMPARE(dialogs.TextsOf("YesNo"),
                 QStringList{"This Station 3 already have a profile: OVERWRITE?"});
        QCOMPARE(Cave.Lines[3].ScanCount, 2);
        QCOMPARE(Cave.Lines[3].ScanPoints[1].Distance, 2.0);
        QCOMPARE(form->S.CadPoly.Count, 2); // shown again

        dialogs.Clear();
        dialogs.YesNoAnswers = {false};
        form->DeleteProfile1Click();
        QVERIFY(Cave.Lines[3].HasScan); // No keeps it
        dialogs.YesNoAnswers = {true};
        form->DeleteProfile1Click();
        QVERIFY(!Cave.Lines[3].HasScan);
        QCOMPARE(form->findChild<QLabel*>("ProfileLabel1")->text(), QString("No Profile"));

        // Recovering on another line asks first; No leaves it alone.
        dialogs.Clear();
        form->RunKvisCAD(2);
        dialogs.YesNoAnswers = {false};
        form->UnDoSaveTocave1Click();
        QCOMPARE(dialogs.TextsOf("YesNo"),
                 QStringList{"you try to Save Station 3on Station 2 !!. ARE YOU SURE?"});
        QVERIFY(!Cave.Lines[2].HasScan);
        form->RunKvisCAD(3);
        form->UnDoSaveTocave1Click();
        QCOMPARE(Cave.Lines[3].ScanCount, 2);
    }

    void drawingTwiceRestoresThePicture() {
        Open();
        form->RunKvisCAD(2);
        const QImage before = form->Picture.copy();
        DrawSquare();
        QVERIFY(form->Picture != before);
        form->deletePolyGon1Click();
        QCOMPARE(form->Picture, before);

        // A polygon drag and a node drag put back what they cover.
        DrawSquare();
        const QImage drawn = form->Picture.copy();
        form->Node1Click();
        const TScreenPoint leg = form->S.CadPoly.Pts[0];
        const QPoint onLeg(leg.X + 10, leg.Y);
        form->CADImage1MouseDown(Qt::LeftButton, onLeg);
        QVERIFY(form->S.PolyDrag);
        form->CADImage1MouseMove(onLeg + QPoint(7, 3), true);
        form->CADImage1MouseMove(onLeg, true);
        form->CADImage1MouseUp(Qt::LeftButton, onLeg);
        QCOMPARE(form->Picture, drawn);
        const QPoint node(leg.X, leg.Y);
        form->CADImage1MouseDown(Qt::LeftButton, node);
        form->CADImage1MouseMove(node + QPoint(9, 9), true);
        form->CADImage1MouseMove(node, true);
        form->CADImage1MouseUp(Qt::LeftButton, node);
        QCOMPARE(form->Picture, drawn);
    }

    void boxZoom() {
        Open();
        form->RunKvisCAD(2);
        form->Zoom1Click();
        QCOMPARE(form->S.ZoomMode, 1);
        const TCadMapping before = form->S.Map;
        form->CADImage1MouseDown(Qt::LeftButton, {300, 300});
        QVERIFY(form->Timer1->isActive());
        form->CADImage1MouseMove({200, 150}, true);
        form->CADImage1MouseUp(Qt::LeftButton, {200, 150});
        QVERIFY(!form->Timer1->isActive());
        QCOMPARE(form->S.Map.ScaleX, before.ScaleX);
        QCOMPARE(form->S.Map.OffsetY, before.OffsetY);

        // A polygon drawn before zooming stays in its world place.
        form->Zoom1Click();
        DrawSquare();
        form->Zoom1Click();
        const TScreenPoint a = WorldToScreen(form->S.Map, -0.9, 0.9);
        const TScreenPoint b = WorldToScreen(form->S.Map, 0.9, -0.9);
        form->CADImage1MouseDown(Qt::LeftButton, {a.X, a.Y});
        form->CADImage1MouseMove({b.X, b.Y}, true);
        form->CADImage1MouseUp(Qt::LeftButton, {b.X, b.Y});
        QVERIFY(form->S.Map.ScaleX > before.ScaleX * 1.2);
        QCOMPARE(form->S.CadPoly.Count, 4);
        double wx = 0, wy = 0;
        const TScreenPoint p0 = form->S.CadPoly.Pts[0];
        ScreenToWorld(form->S.Map, p0.X, p0.Y, wx, wy);
        QVERIFY(std::fabs(wx + 1) < 0.05 && std::fabs(wy + 1) < 0.05);
    }

    void rotationAndDataBlock() {
        Open();
        form->RunKvisCAD(2);
        const double plane = form->PlaneAzimuth;
        form->RotateProfileToolButton6Click();
        auto* tens = form->findChild<QSpinBox*>("Spin10DegEdit4");
        auto* units = form->findChild<QSpinBox*>("Spin01DegEdit3");
        tens->setValue(-1);
        units->setValue(5);
        QCOMPARE(form->RotDelta, -15.0);
        QCOMPARE(form->findChild<QLabel*>("RotDegrLabel1")->text(), QString("-15 deg"));
        tens->setValue(0);
        units->setValue(-5);
        QCOMPARE(form->RotDelta, -5.0);
        tens->setValue(2);
        QCOMPARE(units->value(), 5);
        QCOMPARE(form->RotDelta, 25.0);
        form->RotateOKClick();
        QCOMPARE(form->PlaneAzimuth, plane + 25);

        DrawSquare();
        form->SaveToDataFile1Click();
        const QStringList lines =
            form->findChild<QPlainTextEdit*>("DataMemo1")->toPlainText().split('\n');
        QCOMPARE(lines.size(), 8);
        QCOMPARE(lines[1], QString("A002 A002  0.00   0.00   0.00   0.00   0.00   0.00   0.00"));
        QCOMPARE(lines[3], QString("#4  205.00"));
        // Nodes are pixels: the corner is 225 degrees to within a pixel.
        QVERIFY2(QRegularExpression(R"(^#   22[45]\.\d\d  1\.4\d$)").match(lines[4]).hasMatch(),
                 qPrintable(lines[4]));
    }

    void navigationAndBadStations() {
        Open();
        form->RunKvisCAD(2);
        form->findChild<QSpinBox*>("SpinEdit1")->setValue(4);
        QCOMPARE(form->CurrentStation, 4);
        form->NextTO1Click(); // A001 starts line 1
        QCOMPARE(form->CurrentStation, 1);
        form->PreviousFROM1Click(); // A001 is reached first by line 1
        QCOMPARE(form->CurrentStation, 1);
        form->Last1Click();
        QCOMPARE(form->CurrentStation, Cave.LineCount);
        form->RunKvisCAD(99); // clamped, no crash
        QCOMPARE(form->CurrentStation, Cave.LineCount);
        form->RunKvisCAD(-3);
        QCOMPARE(form->CurrentStation, 0);
        form->Savetocave1Click();
        QVERIFY(!dialogs.TextsOf("Warning").isEmpty());
    }

    void gradsLineShowsItsUnits() {
        Open(true);
        form->RunKvisCAD(3); // plane 90 grads, points at 0 and 90 grads
        const QString profile = form->findChild<QLabel*>("ProfileLabel1")->text();
        QCOMPARE(profile, QString("Profile: 2 Plane = 81.00deg   90.00 gon"));
        QCOMPARE(form->PlaneAzimuth, 81.0);
        QCOMPARE(form->S.CadPoly.WPts[1].Y, 2 * std::sin(DegToRad(81)));
        form->Data1Click();
        auto* grid = form->findChild<QTableWidget*>("StringGrid1");
        QCOMPARE(grid->rowCount(), 2);
        QCOMPARE(grid->item(1, 1)->text(), QString("90.0"));
        QCOMPARE(grid->item(1, 2)->text(), QString("2.00"));
        QCOMPARE(form->findChild<QLabel*>("KompLabel1")->text(), QString("Komp: 400"));

        // Edit menu: Reset all and ZoomOut stay off, Save Polygon follows the nodes.
        form->UpdateCommands();
        QVERIFY(!form->findChild<QAction*>("Resetall1")->isEnabled());
        QVERIFY(form->findChild<QAction*>("SavePolygon1")->isEnabled());
        form->deletePolyGon1Click();
        form->UpdateCommands();
        QVERIFY(!form->findChild<QAction*>("SavePolygon1")->isEnabled());
    }

    void panelsAndPopups() {
        Open();
        form->RunKvisCAD(3);
        form->Data1Click();
        auto* panel = form->findChild<QWidget*>("DataGridPanel1");
        QVERIFY(panel->isVisible());
        const QPoint start = panel->pos();
        auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent e(type, at, panel->mapToGlobal(at), Qt::LeftButton, held, {});
            QApplication::sendEvent(panel, &e);
        };
        send(QEvent::MouseButtonPress, {2, 2}, Qt::LeftButton);
        send(QEvent::MouseMove, {32, 22}, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, {32, 22}, Qt::NoButton);
        QCOMPARE(panel->pos(), start + QPoint(30, 20));

        form->S.EditNodeMode = true;
        const TScreenPoint node = form->S.CadPoly.Pts[1];
        form->CADImage1MouseDown(Qt::RightButton, QPoint(node.X, node.Y));
        QVERIFY(form->findChild<QAction*>("deletenode1")->isEnabled());
        QVERIFY(!form->findChild<QAction*>("Insertnode1")->isEnabled());
        QVERIFY(!form->findChild<QAction*>("mergenodes1")->isEnabled());
        QVERIFY(form->findChild<QAction*>("FlipPoly1")->isEnabled());
        form->findChild<QMenu*>("EditPopupMenu2")->hide();
        form->CADImage1MouseMove(QPoint(10, 10), false);
        QVERIFY(form->findChild<QLabel*>("StatusPanel0")->text().startsWith("X  = "));
    }

    void entryFromTheEditor() {
        Open();
        const std::int32_t lines = Cave.LineCount;
        double h = 1, v = 2, n = 0.5, o = 3;
        form->GetGraphProfileFromCAD("X7abc", h, v, n, o);
        QCOMPARE(Cave.LineCount, lines + 1);
        QCOMPARE(form->CurrentStation, lines + 1);
        QCOMPARE(Cave.Lines.back().Left, 2.0);
        QVERIFY(!form->findChild<QAction*>("Savetocave1")->isEnabled());
        DrawSquare();
        form->Savetocave1Click(); // leaves only as text
        QVERIFY(!Cave.Lines.back().HasScan);
        form->findChild<QSpinBox*>("SpinEdit1")->setValue(1);
        QCOMPARE(form->CurrentStation, lines + 1);
        form->SaveToDataFile1Click();
        QVERIFY(dialogs.TextsOf("TextInput").isEmpty());
        QVERIFY(
            form->findChild<QPlainTextEdit*>("DataMemo1")->toPlainText().contains("X7ab X7ab "));

        // Without a name the user is asked for one.
        form->StationName.clear();
        dialogs.TextAnswers = {QString("Q")};
        form->SaveToDataFile1Click();
        QCOMPARE(dialogs.TextsOf("TextInput").size(), 1);
        QVERIFY(
            form->findChild<QPlainTextEdit*>("DataMemo1")->toPlainText().contains("Q    Q    "));
    }

    void plotOpensTheWindow() {
        Open();
        delete form; // the plot makes its own
        form = nullptr;
        auto* plot = new TKvisPlotForm1;
        plot->show();
        plot->Interaction.SelectedLine = 3;
        plot->findChild<QAction*>("NodeCADEdit1")->trigger();
        TKvisCadForm1* cad = TKvisCadForm1::Instance();
        QVERIFY(cad && cad->isVisible());
        QCOMPARE(cad->CurrentStation, 3);
        QCOMPARE(cad->S.CadPoly.Count, 2);
        cad->RunKvisCAD(1);
        plot->findChild<QAction*>("OpenKvisCAD1")->trigger();
        QCOMPARE(cad->CurrentStation, 1); // shown as it was
        QWidget* finder = plot->findChild<QWidget*>("StationGridPanel1");
        finder->findChild<QLabel*>("StationLabel1")->setText("A002");
        finder->findChild<QPushButton*>("EditNodeButton1")->click();
        QCOMPARE(cad->CurrentStation, 2);
        delete plot;
        QVERIFY(!TKvisCadForm1::Instance());
    }
};

QTEST_MAIN(CadWindowTest)
#include "KvisCadForm1Test.moc"
