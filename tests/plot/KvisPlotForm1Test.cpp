// The plot window offscreen: keys, station menu, comment box, finder, statistics.
#include "plot/KvisPlotForm1.h"

#include "model/ProgramState.h"
#include "reduction/ReductionState.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QTest>

namespace {

// A chain of n stations 10 m apart going east, then north; names S1, S2, ...
void MakeCave(int n) {
    Cave = TKviste{};
    Cave.CaveName = "Testhola";
    Cave.Lines.assign(static_cast<std::size_t>(n) + 1, Tdatalinje{});
    Cave.LineCount = n;
    for (int i = 1; i <= n; ++i) {
        Tdatalinje& l = Cave.Lines[static_cast<std::size_t>(i)];
        const std::string prev = "S" + std::to_string(i == 1 ? 1 : i - 1);
        l.FromName = str4(prev);
        l.ToName = str4("S" + std::to_string(i));
        l.Length = i == 1 ? 0 : 10;
        l.Pos = i <= 5 ? TVec3{10.0 * (i - 1), 0, 0} : TVec3{40, 10.0 * (i - 5), -1.0 * i};
    }
    ComputeStatistics(Cave, Summary);
    DataLoaded = true;
    Processed = true;
}

} // namespace

class PlotWindowTest : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;
    TKvisPlotForm1* form = nullptr;

    void Open() {
        form = new TKvisPlotForm1;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
    }

private slots:
    void init() {
        dialogs.Clear();
        SetDialogs(&dialogs);
        MakeCave(8);
    }
    void cleanup() {
        delete form;
        form = nullptr;
        SetDialogs(nullptr);
    }

    void keysShiftZoomAndSwitches() {
        Open();
        const TViewLimits start = form->View.Limits;
        QTest::keyClick(form, Qt::Key_Left);
        QVERIFY(form->View.Limits.West < start.West);
        QTest::keyClick(form, Qt::Key_Right);
        QTest::keyClick(form, Qt::Key_Up);
        QVERIFY(form->View.Limits.South > start.South);
        QTest::keyClick(form, Qt::Key_Down);
        QCOMPARE(form->View.RotAngle, 0.0);

        QTest::keyClick(form, Qt::Key_F2);
        QVERIFY(form->Switches.ShowGrid);
        QVERIFY(form->findChild<QAction*>("Grid1")->isChecked());
        QTest::keyClick(form, Qt::Key_F3);
        QVERIFY(form->Switches.ShowWalls);
        QTest::keyClick(form, Qt::Key_F5);
        QVERIFY(form->Switches.ShowLabels);

        const double width = form->View.Limits.East - form->View.Limits.West;
        QTest::keyClick(form, Qt::Key_F4);
        QVERIFY(form->View.Limits.East - form->View.Limits.West < width);
        QTest::keyClick(form, Qt::Key_F4, Qt::ShiftModifier);
        QTest::keyClick(form, Qt::Key_F4, Qt::ShiftModifier);
        QVERIFY(form->View.Limits.East - form->View.Limits.West > width);

        const TViewLimits before = form->View.Limits;
        QTest::keyClick(form, Qt::Key_F7, Qt::ShiftModifier);
        QVERIFY(!form->View.SimulRot);
        QVERIFY(!form->findChild<QAction*>("SimultaneousRotation1")->isChecked());
        QVERIFY(form->View.Limits == before);
        QTest::keyClick(form, Qt::Key_F7, Qt::ShiftModifier);
        QVERIFY(form->View.SimulRot);

        form->View.Limits = {0, 1, 0, 1}; // too small to zoom into
        QTest::keyClick(form, Qt::Key_F4);
        QCOMPARE(dialogs.TextsOf("Notice"), QStringList{"Limit of Zooming!!"});
    }

    void keysInRotationMode() {
        Open();
        QTest::keyClick(form, Qt::Key_F6);
        QVERIFY(form->View.RotationMode);
        const TViewLimits limits = form->View.Limits;
        QTest::keyClick(form, Qt::Key_Left);
        QCOMPARE(form->View.RotAngle, 10.0);
        QTest::keyClick(form, Qt::Key_Right);
        QTest::keyClick(form, Qt::Key_Right);
        QCOMPARE(form->View.RotAngle, 350.0);
        QTest::keyClick(form, Qt::Key_Down); // already at -90
        QCOMPARE(form->View.TiltAngle, -90.0);
        QCOMPARE(dialogs.TextsOf("Notice"), QStringList{"Limit!! Tilt back"});
        QTest::keyClick(form, Qt::Key_Up);
        QCOMPARE(form->View.TiltAngle, -80.0);
        // Arrows turn the view instead of shifting it; a fitted view only ever widens.
        QVERIFY(form->View.Limits.East - form->View.Limits.West >=
                limits.East - limits.West - 1e-9);
        QTest::keyClick(form, Qt::Key_F6); // ignored in rotation mode
        QTest::keyClick(form, Qt::Key_F2);
        QVERIFY(form->View.RotationMode);
        QVERIFY(!form->Switches.ShowGrid);
        QTest::keyClick(form, Qt::Key_F7);
        QCOMPARE(form->View.RotAngle, 0.0);
        QCOMPARE(form->View.TiltAngle, -90.0);
        QTest::mouseClick(form->Surface, Qt::LeftButton, {}, QPoint(30, 30));
        QVERIFY(!form->View.RotationMode);
        QTest::keyClick(form, Qt::Key_Left);
        QCOMPARE(form->View.RotAngle, 0.0);

        // The rotation tool bar is enabled only by its own button.
        QVERIFY(!form->findChild<QAction*>("RotateLeftBtn")->isEnabled());
        form->RotationBtnClick();
        QVERIFY(form->findChild<QAction*>("RotateLeftBtn")->isEnabled());
        form->RotationBtnClick();
        QVERIFY(!form->findChild<QAction*>("RotateLeftBtn")->isEnabled());
    }

    void stationMenuAndCommentBox() {
        Open();
        form->StationsBtnClick();
        const TScreenPoint s2 = Cave.Lines[2].ScreenPos;
        QTest::mousePress(form->Surface, Qt::RightButton, {}, QPoint(s2.X + 6, s2.Y));
        QVERIFY(!form->StationPopupMenu1->isVisible());
        QCOMPARE(form->Interaction.SelectedLine, 0);
        QTest::mousePress(form->Surface, Qt::RightButton, {}, QPoint(s2.X + 5, s2.Y - 5));
        QCOMPARE(form->Interaction.SelectedLine, 2);
        QVERIFY(form->StationPopupMenu1->isVisible());
        QCOMPARE(form->PopupTitle1->text(), QString("Station( S2: "
                                                    " )"));
        QVERIFY(!form->ShowComment1->isVisible());
        QCOMPARE(form->AddComment1->text(), QString("Add Comment"));
        form->StationPopupMenu1->hide();

        form->AddComment1->trigger();
        QVERIFY(form->CommentEdit1->isVisible());
        QCOMPARE(form->CommentEdit1->text(), QString());
        QTest::keyClicks(form->CommentEdit1, "Sump");
        QTest::keyClick(form->CommentEdit1, Qt::Key_Return);
        QVERIFY(!form->CommentEdit1->isVisible());
        QCOMPARE(QString::fromStdString(Cave.Lines[2].Comment), QString("Sump"));
        QVERIFY(Cave.Lines[2].HasComment);

        form->AddComment1->trigger();
        QCOMPARE(form->CommentEdit1->text(), QString("Sump"));
        QTest::keyClicks(form->CommentEdit1, " and more");
        QTest::keyClick(form->CommentEdit1, Qt::Key_Escape);
        QVERIFY(!form->CommentEdit1->isVisible());
        QCOMPARE(QString::fromStdString(Cave.Lines[2].Comment), QString("Sump"));

        QTest::mousePress(form->Surface, Qt::RightButton, {}, QPoint(s2.X, s2.Y));
        QCOMPARE(form->AddComment1->text(), QString("Edit Comment"));
        QVERIFY(form->ShowComment1->isVisible());
        form->StationPopupMenu1->hide();
        form->ShowComment1->trigger();
        QVERIFY(form->HintWindow->isVisible());
        QCOMPARE(form->HintWindow->text(), QString("S2: Sump"));
        QTest::mousePress(form->Surface, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!form->HintWindow->isVisible());

        form->AddComment1->trigger();
        form->CommentEdit1->clear();
        QTest::keyClick(form->CommentEdit1, Qt::Key_Return);
        QVERIFY(!Cave.Lines[2].HasComment);

        // Exclusion hides the leg; the station keeps its point for later legs.
        form->ExcludeStation1->trigger();
        QVERIFY(!Cave.Lines[2].Visible);
    }

    void laterOfTwoCloseStationsWins() {
        MakeCave(8);
        Cave.Lines[8].Pos = Cave.Lines[3].Pos;
        Cave.Lines[8].Pos.X += 0.01;
        Open();
        form->StationsBtnClick();
        const TScreenPoint s3 = Cave.Lines[3].ScreenPos;
        QTest::mousePress(form->Surface, Qt::RightButton, {}, QPoint(s3.X, s3.Y));
        QCOMPARE(form->Interaction.SelectedLine, 8);
        form->StationPopupMenu1->hide();

        form->StationsBtnClick(); // symbols off: no menu at all
        form->Interaction.SelectedLine = 0;
        QTest::mousePress(form->Surface, Qt::RightButton, {}, QPoint(s3.X, s3.Y));
        QCOMPARE(form->Interaction.SelectedLine, 0);
    }

    void finderGridAndCentring() {
        MakeCave(23);
        Open();
        form->FindStationBtnClick();
        QVERIFY(form->StationGridPanel1->isVisible());
        QCOMPARE(form->StationStringGrid->rowCount(), 3);
        QCOMPARE(form->StationStringGrid->item(0, 0)->text(), QString("S1"));
        QCOMPARE(form->StationStringGrid->item(2, 2)->text(), QString("S23"));
        QVERIFY(form->StationStringGrid->item(2, 3) == nullptr);

        form->StationStringGridDblClick(0, 6);
        QCOMPARE(form->StationLabel1->text(), QString("S7"));
        form->FindStationButtonClick();
        QVERIFY(!form->StationGridPanel1->isVisible());
        QCOMPARE(form->StationStringGrid->rowCount(), 0);
        QCOMPARE(QString::fromStdString(form->Interaction.FoundName), QString("S7"));
        const TViewLimits& v = form->View.Limits;
        QVERIFY(std::abs((v.West + v.East) / 2 - 40) < 1e-9);
        QVERIFY(std::abs((v.South + v.North) / 2 - 20) < 1e-9);

        form->FindStationBtnClick();
        form->CancelButtonClick();
        QVERIFY(form->Interaction.FoundName.empty());
        QVERIFY(!form->StationGridPanel1->isVisible());
    }

    void statisticsOfASingleLeg() {
        MakeCave(1);
        Cave.Lines[1].FromName = "S0";
        Cave.Lines[1].Length = 12.5;
        Cave.Lines[1].Pos = {0, 12.5, -4};
        ComputeStatistics(Cave, Summary);
        Open();
        form->Statistics1Click();
        QVERIFY(form->StatistikkPanel->isVisible());
        QCOMPARE(form->findChild<QLabel*>("StatLengthLabel")->text(), QString("  12.5 m"));
        QCOMPARE(form->findChild<QLabel*>("StatDepthLabel")->text(), QString("   4.0 m"));
        QCOMPARE(form->findChild<QLabel*>("StatLegsLabel")->text(), QString("1"));
        QCOMPARE(form->findChild<QLabel*>("StatAreaLabel")->text(), QString("   0.0 m2"));
        QCOMPARE(form->findChild<QLabel*>("StatVolumeLabel")->text(), QString("   0.0 m3"));
        QCOMPARE(form->findChild<QLabel*>("StatSurfaceLabel")->text(), QString("   0.0 m2"));
        QTest::mousePress(form->Surface, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!form->StatistikkPanel->isVisible());
    }

    void statusAndPixels() {
        Open();
        QCOMPARE(form->StatusPanels[0]->text(), QString("Testhola"));
        QCOMPARE(form->StatusPanels[1]->text(), QString("8 stations"));
        QVERIFY(form->WLabel->text().startsWith("W: "));
        form->FormMouseMove(Qt::NoButton, QPoint(10, 10));
        QVERIFY(form->StatusPanels[4]->text().startsWith("East  = "));
        QVERIFY(form->StatusPanels[5]->text().startsWith("North = "));

        // A yellow leg from S1 eastwards, a blue symbol at S3 once stations are on.
        const QImage& img = form->Surface->Image;
        const TScreenPoint a = Cave.Lines[2].ScreenPos, b = Cave.Lines[3].ScreenPos;
        const QPoint mid((a.X + b.X) / 2, b.Y);
        QCOMPARE(img.pixelColor(mid), QColor(Qt::yellow));
        form->StationsBtnClick();
        QCOMPARE(form->Surface->Image.pixelColor(b.X, b.Y + 3), QColor(Qt::blue));

        // Two windows keep their own switches.
        TKvisPlotForm1 other;
        other.show();
        QVERIFY(!other.Switches.ShowStations);
        QVERIFY(form->Switches.ShowStations);
    }
};

QTEST_MAIN(PlotWindowTest)
#include "KvisPlotForm1Test.moc"
