// The attribute dialog offscreen, opened from a plot: editing, applying, the file and the sets.
#include "attributes/AttributeForm1.h"

#include "attributes/AttributeFile.h"
#include "model/ProgramState.h"
#include "plot/KvisPlotForm1.h"
#include "reduction/ReductionState.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include "plot/RecordingCanvas.h"
#include "support/WindowTestSupport.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <map>

namespace {

// Legs going east from the start, named so that the prefixes are AB, Ac and none (7X).
const char* const kFromNames[] = {"AB01", "AB01", "AB02", "Ac01", "Ac02", "7X01", "7X02"};
const char* const kToNames[] = {"AB01", "AB02", "Ac01", "Ac02", "7X01", "7X02", "7X03"};

void MakeCave() {
    Cave = TKviste{};
    Cave.CaveName = "Fargehola";
    const int n = static_cast<int>(std::size(kFromNames));
    Cave.Lines.assign(static_cast<std::size_t>(n) + 1, Tdatalinje{});
    Cave.LineCount = n;
    for (int i = 1; i <= n; ++i) {
        Tdatalinje& l = Cave.Lines[static_cast<std::size_t>(i)];
        l.FromName = str4(kFromNames[i - 1]);
        l.ToName = str4(kToNames[i - 1]);
        l.Length = i == 1 ? 0 : 10;
        l.Pos = TVec3{10.0 * (i - 1), 5.0 * (i % 2), 0};
    }
    ComputeStatistics(Cave, Summary);
    DataLoaded = true;
    Processed = true;
}

// The pen of every centre line the plot draws, by the line's to-station.
std::map<std::string, TPlotPen> DrawnLegs(TKvisPlotForm1& plot) {
    TRecordingCanvas canvas;
    const TStationIndex index(Cave);
    TPlotPass pass{canvas, Cave, plot.View, plot.Switches, plot.PlotColors, index};
    PlottPolygon(pass);
    // A leg ends where its line's station is drawn; match the end pixel to the to-station.
    std::map<std::string, TPlotPen> legs;
    for (const TCanvasCall& c : canvas.Of("line"))
        for (int i = 1; i <= Cave.LineCount; ++i) {
            TVec3 r;
            std::int32_t x, y;
            ViewPoint(plot.View, Cave.Lines[static_cast<std::size_t>(i)].Pos, r);
            ToScreen(plot.View, r.X, r.Y, x, y);
            if (x == c.X1 && y == c.Y1)
                legs[Cave.Lines[static_cast<std::size_t>(i)].ToName.str()] = c.Pen;
        }
    return legs;
}

int PixelsOf(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += (image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF);
    return n;
}

} // namespace

class AttributeFormTest : public QObject {
    Q_OBJECT
    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    TKvisPlotForm1* plot = nullptr;
    TAttributeForm1* form = nullptr;

    QString AtrPath() const { return dir.filePath("cave.atr"); }

    void Open() {
        plot = new TKvisPlotForm1;
        plot->show();
        QVERIFY(QTest::qWaitForWindowExposed(plot));
        plot->findChild<QAction*>("SetAttributes1")->trigger();
        form = TAttributeForm1::Instance();
        QVERIFY(form);
        QVERIFY(form->isVisible());
    }
    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = form->PrefixStringGrid->item(row, column);
        return item ? item->text() : QString();
    }

private slots:
    void init() {
        QVERIFY(dir.isValid());
        QFile::remove(AtrPath());
        dialogs = ScriptedDialogs{};
        SetDialogs(&dialogs);
        MakeCave();
        CurrentFile = dir.filePath("cave.grt").toStdString();
        AttributeSets.clear();
        CurrentSet = 0;
    }
    void cleanup() {
        delete plot;
        plot = nullptr;
        form = nullptr;
        SetDialogs(nullptr);
    }

    void gridListsPrefixesWithDefaultSet() {
        Open();
        QCOMPARE(form->windowTitle(), QString("Prefix Analysis"));
        QCOMPARE(form->PrefixStringGrid->rowCount(), 2);
        QCOMPARE(Cell(0, 0), QString("AB"));
        QCOMPARE(Cell(0, 1), QString("3"));
        QCOMPARE(Cell(1, 0), QString("Ac"));
        QCOMPARE(Cell(1, 1), QString("2"));
        QCOMPARE(Cell(1, 2) + " " + Cell(1, 3) + " " + Cell(1, 4) + " " + Cell(1, 5) + " " +
                     Cell(1, 6),
                 QString("Default true 65535 psSolid 1"));
        QCOMPARE(form->AliasEdit1->text(), QString("Default"));
        QVERIFY(dialogs.Asked.isEmpty());
    }

    void pickedPrefixesTakeColourStyleWidthAndThePlotDrawsThem() {
        Open();
        form->PrefixStringGridDblClick(0, 0); // AB
        QCOMPARE(form->PrefixListBox1->count(), 1);
        dialogs.ColourAnswers = {QColor(255, 0, 0)};
        form->ColorPanel2->click();
        form->Button1->click();
        QVERIFY(form->LineStyleComboBox->isVisible());
        QCOMPARE(form->LineStyleComboBox->currentText(), QString()); // shows "Linestyle"
        form->LineStyleComboBox->setCurrentIndex(2);
        emit form->LineStyleComboBox->activated(2);
        form->WidthButton->click();
        form->WidthSpinEdit2->setValue(3);
        QCOMPARE(Cell(0, 4), QString::number(0x0000FF));
        QCOMPARE(Cell(0, 5), QString("psDot"));
        QCOMPARE(Cell(0, 6), QString("3"));
        QCOMPARE(Cell(1, 5), QString("psSolid")); // not selected, not changed

        // Ac excluded through the grid's own true/false list.
        form->PrefixStringGridSelectCell(1, 3);
        QVERIFY(form->ComboBox1->isVisible());
        emit form->ComboBox1->activated(1);
        QVERIFY(!form->ComboBox1->isVisible());
        QCOMPARE(Cell(1, 3), QString("false"));

        form->ApplyButton1->click();
        QVERIFY(!form->isVisible());
        QVERIFY(QFile::exists(AtrPath()));

        const std::map<std::string, TPlotPen> legs = DrawnLegs(*plot);
        const TPlotPen red{0x000000FF, kPenDot, 3};
        QCOMPARE(legs.count("AB02"), 1u);
        QVERIFY(legs.at("AB02") == red); // AB01 -> AB02
        QVERIFY(legs.at("Ac01") == red); // AB02 -> Ac01
        QCOMPARE(legs.count("Ac02"), 0u);
        QCOMPARE(legs.count("7X01"), 0u); // Ac02 -> 7X01 is hidden with Ac
        // The blank item of the default set hides the names without a letter prefix.
        QCOMPARE(legs.count("7X02"), 0u);
        QVERIFY(!Cave.Lines[6].Visible);
        // The window itself was redrawn with the new pen.
        QVERIFY(PixelsOf(plot->Surface->Image, qRgb(255, 0, 0)) > 0);
    }

    void inCellEditorsChangeOnlyTheirRow() {
        Open();
        form->PrefixStringGridDblClick(0, 0); // selected prefixes play no part in cell editing
        form->PrefixStringGridSelectCell(1, 5);
        QVERIFY(form->GridEdit);
        QVERIFY(form->LineStyleComboBox->isVisible());
        QCOMPARE(form->LineStyleComboBox->currentText(), QString("psSolid"));
        emit form->LineStyleComboBox->activated(4);
        QCOMPARE(Cell(1, 5), QString("psDashDotDot"));
        QCOMPARE(Cell(0, 5), QString("psSolid"));
        form->LineStyleComboBoxExit();
        QVERIFY(!form->GridEdit);

        form->PrefixStringGridSelectCell(1, 6);
        QCOMPARE(form->WidthSpinEdit2->value(), 1);
        form->WidthSpinEdit2->setValue(6);
        form->WidthSpinEdit2Exit();
        QCOMPARE(Cell(1, 6), QString("6"));
        QCOMPARE(Cell(0, 6), QString("1"));

        dialogs.ColourAnswers = {QColor(0, 255, 0)};
        form->PrefixStringGridDblClick(1, 4);
        QCOMPARE(Cell(1, 4), QString::number(0x00FF00));

        form->AliasEdit1->setText("Grønn");
        QTest::keyClick(form->AliasEdit1, Qt::Key_Return);
        QCOMPARE(Cell(0, 2), QString("Grønn"));

        form->ExcludeBtn->click();
        // Exclusions only: colours, styles and widths stay, nothing is hidden (all visible).
        QCOMPARE(Cave.Lines[4].PenStyle, 0);
        QCOMPARE(Cave.Lines[4].Colour, 0x0000FFFFu);
        QVERIFY(Cave.Lines[4].Visible);
        const QByteArray saved = ReadBytes(AtrPath());
        QVERIFY(
            saved.startsWith("1\r\nGr\xF8nn\r\n2\r\nAB\r\n65535 0 1 1\r\nAc\r\n65280 4 6 1\r\n"));
    }

    void deleteFileAnsweredNoKeepsTheFileAndResetsTheSet() {
        TAttributs set = DefaultSet({{"AB", 3}, {"Ac", 2}});
        set.Items[0].Colour = 255;
        set.Items[1].PenStyle = 9; // a code without a name
        set.SetName = "Mine";
        SaveAttributFile(AtrPath().toStdString(), {set});
        const QByteArray before = ReadBytes(AtrPath());
        Open();
        QCOMPARE(Cell(0, 4), QString("255"));
        QCOMPARE(Cell(0, 2), QString("Mine"));
        QCOMPARE(Cell(1, 5), QString("UnKnown"));

        dialogs.YesNoAnswers = {false};
        form->Button2->click();
        QCOMPARE(dialogs.TextsOf("YesNo"), QStringList{"Do you really want to delete cave.atr?"});
        QCOMPARE(ReadBytes(AtrPath()), before);
        QCOMPARE(Cell(0, 4), QString("65535"));
        QCOMPARE(Cell(0, 2), QString("Default"));

        dialogs.YesNoAnswers = {true};
        form->Button2->click();
        QVERIFY(!QFile::exists(AtrPath()));
        dialogs.Clear();
        form->Button2->click(); // no file: no question, the defaults again
        QVERIFY(dialogs.TextsOf("YesNo").isEmpty());
    }

    void setNumberMakesNewSetsAndAllAreKeptAndSaved() {
        Open();
        dialogs.YesNoAnswers = {false};
        form->SpinEdit1->setValue(1);
        QCOMPARE(dialogs.TextsOf("YesNo"), QStringList{"New attribute set?"});
        QCOMPARE(form->SpinEdit1->value(), 0);
        QCOMPARE(AttributeSets.size(), 1u);

        dialogs.YesNoAnswers = {true};
        form->SpinEdit1->setValue(3); // the new set takes the next number
        QCOMPARE(AttributeSets.size(), 2u);
        QCOMPARE(CurrentSet, 1);
        QCOMPARE(form->SpinEdit1->value(), 1);
        form->AliasEdit1->setText("Second");
        form->AliasEdit1Enter();
        form->SpinEdit1->setValue(0); // an existing set is shown
        QCOMPARE(CurrentSet, 0);
        QCOMPARE(Cell(0, 2), QString("Default"));
        form->SpinEdit1->setValue(1);
        QCOMPARE(Cell(0, 2), QString("Second"));

        // "Apply All" applies the set shown and saves every set.
        form->PrefixStringGridSelectCell(1, 3);
        emit form->ComboBox1->activated(1); // Ac excluded in the second set only
        form->ApplyButton1->click();
        QVERIFY(!Cave.Lines[4].Visible);
        QVERIFY(Cave.Lines[2].Visible);
        TAttriButList read;
        std::int32_t current = 0;
        QVERIFY(::GetAttributFile(AtrPath().toStdString(), {}, read, current).Ok);
        QCOMPARE(read.size(), 2u);
        QCOMPARE(read[1].SetName, std::string("Second"));

        plot->findChild<QAction*>("SetAttributes1")->trigger();
        QCOMPARE(CurrentSet, 1);
        QCOMPARE(form->SpinEdit1->value(), 1);
        QCOMPARE(Cell(0, 2), QString("Second"));
        form->CancelButton1->click();
        QCOMPARE(form->PrefixStringGrid->rowCount(), 1);
        QVERIFY(form->PrefixList.empty());
        QCOMPARE(AttributeSets.size(), 2u); // closing keeps every set
        QCOMPARE(CurrentSet, 1);
    }

    void unreadableFileIsReportedAndNotOverwrittenUnasked() {
        // In a folder whose name is not ASCII: the message shows it as the file system has it.
        QVERIFY(QDir(dir.path()).mkdir("Hål"));
        const QString atr = dir.filePath("Hål/cave.atr");
        CurrentFile = ToFileName(dir.filePath("Hål/cave.grt"));
        const QByteArray broken = "2\r\nDefault\r\n0\r\nAB\r\n65535 0 x 1\r\n";
        QVERIFY(WriteBytes(atr, broken));
        Open();
        const QStringList warnings = dialogs.TextsOf("Warning");
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].contains(atr), qPrintable(warnings[0]));
        QVERIFY(warnings[0].contains("line 5"));
        QCOMPARE(Cell(0, 2), QString("Default")); // the default set is shown instead

        dialogs.YesNoAnswers = {false};
        form->ApplyButton1->click();
        QCOMPARE(dialogs.TextsOf("YesNo").size(), 1);
        QCOMPARE(ReadBytes(atr), broken);
        QCOMPARE(Cave.Lines[2].Colour, 0x0000FFFFu); // applied all the same

        dialogs.Clear();
        dialogs.YesNoAnswers = {true};
        plot->findChild<QAction*>("SetAttributes1")->trigger();
        form->ApplyButton1->click();
        QVERIFY(ReadBytes(atr).startsWith("1\r\nDefault\r\n2\r\n"));
    }

    void setsAreSavedForTheSurveyTheyWereLoadedFor() {
        Open();
        // Another survey is read while the dialog stays open.
        const QString other = dir.filePath("other.atr");
        QVERIFY(WriteBytes(other, "0\r\n"));
        CurrentFile = dir.filePath("other.grt").toStdString();
        form->ApplyButton1->click();
        QCOMPARE(ReadBytes(other), QByteArray("0\r\n"));
        QVERIFY(QFile::exists(AtrPath()));
    }

    void aLargeSurveyOpensWithAllItsPrefixes() {
        // Every prefix there can be: 52 one-letter and 2704 two-letter ones.
        const std::string letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
        Cave = TKviste{};
        Cave.Lines.assign(52 * 53 + 1, Tdatalinje{});
        int i = 0;
        for (char a : letters) {
            Cave.Lines[static_cast<std::size_t>(++i)].FromName = str4(std::string{a, '1'});
            for (char b : letters)
                Cave.Lines[static_cast<std::size_t>(++i)].FromName = str4(std::string{a, b});
        }
        Cave.LineCount = i;
        Processed = false; // nothing to draw
        Open();
        QCOMPARE(form->PrefixStringGrid->rowCount(), 52 + 52 * 52);
        QCOMPARE(Cell(0, 0), QString("A"));
        QCOMPARE(Cell(0, 1), QString("53"));
        form->ApplyButton1->click();
        TAttriButList read;
        std::int32_t current = 0;
        QVERIFY(::GetAttributFile(AtrPath().toStdString(), {}, read, current).Ok);
        QCOMPARE(read[0].ItemCount, 52 + 52 * 52 + 1);
    }
};

QTEST_MAIN(AttributeFormTest)
#include "AttributeForm1Test.moc"
