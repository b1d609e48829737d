// The plot window's clip polygon offscreen: drawing, editing, clipping, its file and pixels.
#include "plot/KvisPlotForm1.h"

#include "model/ProgramState.h"
#include "plot/ClipPolygonFile.h"
#include "reduction/ReductionState.h"
#include "support/WindowTestSupport.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Ten stations 10 m apart going east, S1 to S10, all at the same height.
void MakeCave() {
    Cave = TKviste{};
    Cave.CaveName = "Testhola";
    Cave.StartPos = {0, 0, 7.5};
    const int n = 10;
    Cave.Lines.assign(static_cast<std::size_t>(n) + 1, Tdatalinje{});
    Cave.LineCount = n;
    for (int i = 1; i <= n; ++i) {
        Tdatalinje& l = Cave.Lines[static_cast<std::size_t>(i)];
        l.FromName = str4("S" + std::to_string(i == 1 ? 1 : i - 1));
        l.ToName = str4("S" + std::to_string(i));
        l.Length = i == 1 ? 0 : 10;
        l.Pos = {10.0 * (i - 1), 5.0 * (i % 2), 0};
    }
    ComputeStatistics(Cave, Summary);
    DataLoaded = true;
    Processed = true;
}

QPoint At(const TScreenPoint& p) {
    return {p.X, p.Y};
}

} // namespace

class PlotClipTest : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;
    TKvisPlotForm1* form = nullptr;
    std::unique_ptr<QTemporaryDir> dir;

    void Open() {
        form = new TKvisPlotForm1;
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->StationsBtnClick(); // ScreenPos of every line at its To station
    }
    TScreenPoint Station(int i) const { return Cave.Lines[static_cast<std::size_t>(i)].ScreenPos; }
    void Click(QPoint p) { QTest::mouseClick(form->Surface, Qt::LeftButton, {}, p); }
    void RightClick(QPoint p) {
        for (QMenu* m : {form->ClipPolyPopup1, form->EditClipNodePopup1, form->ClipActionPopup1})
            m->hide();
        QTest::mousePress(form->Surface, Qt::RightButton, {}, p);
    }
    QAction* Action(const char* name) const { return form->findChild<QAction*>(name); }

    // A rectangle around S1 .. S5, drawn with the mouse and closed from the pop-up menu.
    void DrawAroundFirstHalf() {
        const TScreenPoint a = Station(1), b = Station(2), e = Station(5), f = Station(6);
        const int right = (e.X + f.X) / 2, top = std::min(a.Y, b.Y) - 30,
                  bottom = std::max(a.Y, b.Y) + 30;
        form->DrawnewPolyGon1Click();
        QVERIFY(form->Clip.ClipActive);
        form->NewPolyGon1Click();
        for (QPoint p : {QPoint(a.X - 20, top), QPoint(right, top), QPoint(right, bottom),
                         QPoint(a.X - 20, bottom)})
            Click(p);
        QCOMPARE(form->Clip.ClipPoly.Count, 4);
        form->ClosepolyGon1Click();
        QVERIFY(form->Clip.ClipPoly.Closed);
        QVERIFY(form->Clip.ClipPoly.Loaded);
    }
    QList<bool> Visibility() const {
        QList<bool> v;
        for (int i = 1; i <= Cave.LineCount; ++i)
            v << Cave.Lines[static_cast<std::size_t>(i)].Visible;
        return v;
    }

private slots:
    void init() {
        dialogs = ScriptedDialogs{};
        SetDialogs(&dialogs);
        MakeCave();
        dir = std::make_unique<QTemporaryDir>();
        CurrentFile = ToFileName(dir->filePath("hola.grt"));
    }
    void cleanup() {
        delete form;
        form = nullptr;
        SetDialogs(nullptr);
        CurrentFile.clear();
    }

    void clippingOutsideInsideAndReset() {
        Open();
        DrawAroundFirstHalf();
        QCOMPARE(form->Clip.ClipPoly.WPts.size(), 4u);
        QCOMPARE(form->Clip.ClipPoly.WPts[2].Z, 7.5); // the start point's height
        const QList<bool> firstHalf = {true,  true,  true,  true,  true,
                                       false, false, false, false, false};
        QList<bool> secondHalf;
        for (bool b : firstHalf)
            secondHalf << !b;

        form->EditPolyGon1Click();
        QVERIFY(form->Clip.EditMode);
        RightClick(QPoint(5, 5)); // nothing of the polygon there
        QVERIFY(form->ClipActionPopup1->isVisible());
        form->ClipActionPopup1->hide();
        Action("ClipOutSide1")->trigger();
        QCOMPARE(Visibility(), firstHalf);
        // The hidden legs are no longer drawn: no yellow between S7 and S8.
        const TScreenPoint s7 = Station(7), s8 = Station(8);
        QVERIFY(form->Surface->Image.pixelColor((s7.X + s8.X) / 2, (s7.Y + s8.Y) / 2) !=
                QColor(Qt::yellow));
        Action("ResetClipping1")->trigger();
        QCOMPARE(Visibility(), QList<bool>(10, true));
        Action("ClipInside1")->trigger();
        QCOMPARE(Visibility(), secondHalf);
        form->ResetClipping1Click();

        // Zooming moves the screen nodes with the cave: the same stations stay inside.
        form->ZoomInClick();
        form->ZoomInClick();
        form->ClipOutSide1Click();
        QCOMPARE(Visibility(), firstHalf);
        form->ResetClipping1Click(); // hidden legs keep the point of their From station
        form->ZoomOutClick();
        form->UpBtnClick();
        form->ClipInside1Click();
        QCOMPARE(Visibility(), secondHalf);
    }

    void saveAndReadBack() {
        Open();
        DrawAroundFirstHalf();
        form->NamePolyGon1Click();
        QVERIFY(form->PolyNameEdit1->isVisible());
        QTest::keyClicks(form->PolyNameEdit1, "Lake");
        QTest::keyClick(form->PolyNameEdit1, Qt::Key_Return);
        QVERIFY(!form->PolyNameEdit1->isVisible());
        QCOMPARE(QString::fromStdString(form->Clip.ClipPoly.Name), QString("Lake"));
        form->NamePolyGon1Click(); // Escape keeps the name
        QTest::keyClicks(form->PolyNameEdit1, "XX");
        QTest::keyClick(form->PolyNameEdit1, Qt::Key_Escape);
        QCOMPARE(QString::fromStdString(form->Clip.ClipPoly.Name), QString("Lake"));

        const TPoints nodes = form->Clip.ClipPoly.Pts;
        QVERIFY(form->SaveClipPolyFile());
        QVERIFY(dialogs.TextsOf("YesNo").isEmpty());
        const QString pcl = dir->filePath("hola.pcl");
        QVERIFY(QFile::exists(pcl));

        form->DeletePolyGon2Click();
        QCOMPARE(form->Clip.ClipPoly.Count, 0);
        form->GetPolyGons1Click();
        QCOMPARE(form->Clip.ClipPoly.Pts, nodes);
        QCOMPARE(QString::fromStdString(form->Clip.ClipPoly.Name), QString("Lake"));
        QVERIFY(form->Clip.EditMode);
        QVERIFY(form->Clip.ClipPoly.Loaded);

        // Overwriting asks; No leaves the file as it was.
        form->Clip.ClipPoly.Name = "Other";
        const QByteArray before = ReadBytes(pcl);
        dialogs.YesNoAnswers = {false};
        QVERIFY(!form->SaveClipPolyFile());
        QCOMPARE(dialogs.TextsOf("YesNo"), QStringList{"File (" + pcl + ") exists! OverWrite?"});
        QCOMPARE(ReadBytes(pcl), before);

        // "Delete PolyGon(s)": save first declined by the overwrite question, then deleted anyway.
        dialogs.Clear();
        dialogs.YesNoAnswers = {true, false};
        form->DeletePolyGons1Click();
        QCOMPARE(dialogs.TextsOf("YesNo").first(),
                 QString("Delete 1PolyGons!! Do you want to save first?"));
        QCOMPARE(dialogs.TextsOf("Warning"), QStringList{"Saving failed- sorry"});
        QCOMPARE(form->Clip.ClipPoly.Count, 0);
        QVERIFY(!form->Clip.ClipMenuEnabled);
        QVERIFY(!Action("SavePolygons1")->isEnabled());
        QVERIFY(Action("GetPolyGons1")->isEnabled());

        // A missing file names the polygon and is no error.
        QFile::remove(pcl);
        dialogs.Clear();
        form->GetPolyGons1Click();
        QCOMPARE(QString::fromStdString(form->Clip.ClipPoly.Name), QString("New poly"));
        QVERIFY(dialogs.Asked.isEmpty());
    }

    void badFilesLeaveThePolygon_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QByteArray() << "hola.pcl: line 1:";
        QTest::newRow("text") << QByteArray("one polygon\r\n") << "hola.pcl: line 1:";
        QTest::newRow("huge count")
            << QByteArray("1  x\r\n2147483647 1.0 2.0 Big\r\n1 2 3.00 4.00 5.00\r\n")
            << "hola.pcl: line 4: the file ends after 1 of 2147483647 node lines";
        QTest::newRow("truncated")
            << QByteArray("1  x\r\n3 1.0 2.0 T\r\n1 2 3.00 4.00 5.00\r\n1 2 3.00\r\n")
            << "hola.pcl: line 4:";
        QTest::newRow("directory") << QByteArray() << "hola.pcl: is a directory";
    }
    void badFilesLeaveThePolygon() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        Open();
        DrawAroundFirstHalf();
        form->Clip.ClipPoly.Name = "Mine";
        const TPoints nodes = form->Clip.ClipPoly.Pts;
        const QString pcl = dir->filePath("hola.pcl");
        if (QString(QTest::currentDataTag()) == "directory")
            QVERIFY(QDir().mkdir(pcl));
        else
            QVERIFY(WriteBytes(pcl, bytes));
        const bool active = form->Clip.ClipActive;
        form->GetPolyGons1Click();
        const QStringList warnings = dialogs.TextsOf("Warning");
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].contains(expected), qPrintable(warnings[0]));
        QVERIFY(warnings[0].startsWith(dir->path()));
        QCOMPARE(form->Clip.ClipPoly.Pts, nodes);
        QCOMPARE(QString::fromStdString(form->Clip.ClipPoly.Name), QString("Mine"));
        QCOMPARE(form->Clip.ClipActive, active);
        if (QString(QTest::currentDataTag()) == "directory") { // and saving over it fails
            dialogs.YesNoAnswers = {true};
            QVERIFY(!form->SaveClipPolyFile());
            QCOMPARE(dialogs.TextsOf("Warning").size(), 2);
        }
    }

    void closeWithTwoNodesAndDeleteNodeLimits() {
        Open();
        const QImage plain = form->Surface->Image.copy();
        form->DrawnewPolyGon1Click();
        form->NewPolyGon1Click();
        Click(QPoint(100, 100));
        Click(QPoint(200, 120));
        QVERIFY(form->Surface->Image != plain);
        form->ClosepolyGon1Click();
        QCOMPARE(form->Clip.ClipPoly.Count, 0);
        QVERIFY(!form->Clip.ClipPoly.Closed);
        QVERIFY(form->Surface->Image == plain); // what was drawn of it is gone too

        // A triangle: "Delete Node" leaves two nodes, then does nothing more.
        form->NewPolyGon1Click();
        for (QPoint p : {QPoint(100, 100), QPoint(300, 100), QPoint(200, 250)})
            Click(p);
        form->ClosepolyGon1Click();
        form->EditPolyGon1Click();
        RightClick(QPoint(300, 100));
        QVERIFY(form->EditClipNodePopup1->isVisible());
        QVERIFY(Action("DeleteNode1")->isEnabled());
        QVERIFY(!Action("AddNode1")->isEnabled());
        Action("DeleteNode1")->trigger();
        QCOMPARE(form->Clip.ClipPoly.Count, 2);
        QCOMPARE(form->Clip.ClipPoly.WPts.size(), 2u);
        RightClick(QPoint(200, 250));
        Action("DeleteNode1")->trigger();
        QCOMPARE(form->Clip.ClipPoly.Count, 2);
    }

    void rightClickMenusOnNodeAndEdge() {
        Open();
        DrawAroundFirstHalf();
        RightClick(QPoint(5, 5)); // outside EditMode: the polygon menu
        QVERIFY(form->ClipPolyPopup1->isVisible());
        QVERIFY(!Action("ClosepolyGon1")->isEnabled());
        QVERIFY(Action("EditPolyGon1")->isEnabled());
        form->EditPolyGon1Click();

        const TPoints& pts = form->Clip.ClipPoly.Pts;
        RightClick(At(pts[1]));
        QVERIFY(form->EditClipNodePopup1->isVisible());
        QVERIFY(Action("DeleteNode1")->isEnabled());
        QVERIFY(!Action("AddNode1")->isEnabled());
        QVERIFY(!form->Clip.NodeDrag); // a right press starts no drag

        const QPoint edge((pts[0].X + pts[1].X) / 2, pts[0].Y + 3);
        RightClick(edge);
        QVERIFY(form->EditClipNodePopup1->isVisible());
        QVERIFY(Action("AddNode1")->isEnabled());
        QVERIFY(!Action("DeleteNode1")->isEnabled());
        Action("AddNode1")->trigger();
        QCOMPARE(form->Clip.ClipPoly.Count, 5);
        QCOMPARE(form->Clip.ClipPoly.Pts[1], (TScreenPoint{edge.x(), edge.y()}));
        QCOMPARE(form->Clip.ClipPoly.WPts.size(), 5u);

        // On a station the station menu comes first, the clip menu once it has closed.
        for (QMenu* m : {form->ClipPolyPopup1, form->EditClipNodePopup1, form->ClipActionPopup1})
            m->hide();
        QTest::mousePress(form->Surface, Qt::RightButton, {}, At(Station(3)));
        QVERIFY(form->StationPopupMenu1->isVisible());
        QVERIFY(!form->ClipActionPopup1->isVisible());
        form->StationPopupMenu1->hide();
        QTRY_VERIFY(form->ClipActionPopup1->isVisible());
        form->ClipActionPopup1->hide();

        form->PolygonInfo1Click();
        QVERIFY(form->HintWindow->isVisible());
        QVERIFY(form->HintWindow->text().startsWith(" :5 nodes, Area : "));
        QVERIFY(form->HintWindow->text().endsWith(" m"));
    }

    void drawingAndErasingRestoresThePicture() {
        Open();
        const QImage plain = form->Surface->Image.copy();
        DrawAroundFirstHalf();
        const QImage drawn = form->Surface->Image.copy();
        QVERIFY(drawn != plain);
        const TScreenPoint n0 = form->Clip.ClipPoly.Pts[0], n1 = form->Clip.ClipPoly.Pts[1];
        QCOMPARE(drawn.pixelColor((n0.X + n1.X) / 2, n0.Y), QColor(Qt::cyan));

        form->HideshowPolyGons1Click();
        QVERIFY(form->Surface->Image == plain);
        form->HideshowPolyGons1Click();
        QVERIFY(form->Surface->Image == drawn);

        // Drag a node, move the polygon, resize it by a handle: erasing still restores.
        form->EditPolyGon1Click();
        QTest::mousePress(form->Surface, Qt::LeftButton, {}, At(n1));
        QVERIFY(form->Clip.NodeDrag);
        QTest::mouseMove(form->Surface, QPoint(n1.X + 15, n1.Y - 10));
        QTest::mouseMove(form->Surface, QPoint(n1.X + 25, n1.Y - 20));
        QTest::mouseRelease(form->Surface, Qt::LeftButton, {}, QPoint(n1.X + 25, n1.Y - 20));
        QCOMPARE(form->Clip.ClipPoly.Pts[1], (TScreenPoint{n1.X + 25, n1.Y - 20}));

        const TScreenPoint a = form->Clip.ClipPoly.Pts[2], b = form->Clip.ClipPoly.Pts[3];
        const QPoint onEdge((a.X + b.X) / 2, a.Y);
        QTest::mousePress(form->Surface, Qt::LeftButton, {}, onEdge);
        QVERIFY(form->Clip.PolyMove);
        QTest::mouseMove(form->Surface, onEdge + QPoint(7, 9));
        QTest::mouseRelease(form->Surface, Qt::LeftButton, {}, onEdge + QPoint(7, 9));
        QVERIFY(!form->Clip.PolyMove);
        QCOMPARE(form->Clip.ClipPoly.Pts[2], (TScreenPoint{a.X + 7, a.Y + 9}));

        const QPoint edge2 = onEdge + QPoint(7, 9);
        QTest::mouseDClick(form->Surface, Qt::LeftButton, {}, edge2);
        QTest::mouseRelease(form->Surface, Qt::LeftButton, {}, edge2); // as a real double click
        QVERIFY(!form->Clip.PolyMove);
        QVERIFY(form->Clip.RectMode);
        QVERIFY(form->Clip.HandlesShown());
        const TPolyRect before = form->Clip.ClipPoly.Bounds;
        const TScreenPoint right = form->Clip.ClipPoly.Handles[kHandleRight];
        QTest::mousePress(form->Surface, Qt::LeftButton, {}, At(right));
        QCOMPARE(form->Clip.CornerIndex, 6);
        QTest::mouseMove(form->Surface, At(right) + QPoint(40, 0));
        QTest::mouseRelease(form->Surface, Qt::LeftButton, {}, At(right) + QPoint(40, 0));
        const TPolyRect after = form->Clip.ClipPoly.Bounds;
        QVERIFY(std::abs((after.Right - after.Left) - (before.Right - before.Left + 40)) <= 1);
        QVERIFY(std::abs(after.Left - before.Left) <= 1); // the world corner stays, rounded anew

        form->HideshowPolyGons1Click();
        QVERIFY(form->Clip.HandlesShown());
        // Handles and polygon off: the plain picture again.
        form->Clip.RectMode = false;
        form->PlottKviste();
        form->HideshowPolyGons1Click();
        QVERIFY(form->Surface->Image == plain);
    }
};

QTEST_MAIN(PlotClipTest)
#include "KvisPlotForm1ClipTest.moc"
