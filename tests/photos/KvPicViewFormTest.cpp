// The photo viewer offscreen on the example cave: stepping, removing and saving, adding, names
// written on another system, damaged and huge pictures, and the plot's station menu.
#include "photos/KvPicViewForm.h"

#include "model/ProgramState.h"
#include "model/SurveyReader.h"
#include "model/SurveyWriter.h"
#include "plot/KvisPlotForm1.h"
#include "reduction/Processing.h"
#include "reduction/ReductionState.h"
#include "support/WindowTestSupport.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QComboBox>
#include <QImageReader>
#include <QLabel>
#include <QMenu>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

namespace {

const FixedClock kClock("09.12.2026 10:00:00");
const char* const kPhotos[] = {"inngang.jpg", "inngang2.jpg",     "kvitsalen.jpg",
                               "sjakta.jpg",  "sinterstoyle.jpg", "sump.jpg"};

// Also keeps the open-picture dialog's filter.
class FilterDialogs : public ScriptedDialogs {
public:
    QString Filter;
    QString OpenFileName(const QString& caption, const QString& dir,
                         const QString& filter) override {
        Filter = filter;
        return ScriptedDialogs::OpenFileName(caption, dir, filter);
    }
};

int LineOf(const char* toName, bool last = false) {
    int found = 0;
    for (int i = 1; i <= Cave.LineCount; ++i)
        if (Cave.Lines[static_cast<std::size_t>(i)].ToName == str4(toName)) {
            found = i;
            if (!last)
                break;
        }
    return found;
}

// A JPEG whose frame header claims width x height: decoding runs out of data long before.
QByteArray WithClaimedSize(QByteArray jpeg, int width, int height) {
    const int sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    if (sof < 0)
        return {};
    jpeg[sof + 5] = char(height >> 8);
    jpeg[sof + 6] = char(height & 0xFF);
    jpeg[sof + 7] = char(width >> 8);
    jpeg[sof + 8] = char(width & 0xFF);
    return jpeg;
}

} // namespace

class PhotoViewerTest : public QObject {
    Q_OBJECT
    FilterDialogs dialogs;
    QTemporaryDir tmp;
    QString hule; // the data file's folder
    TKvPicViewForm* form = nullptr;

    QString Status() const { return form->StatusPanel->text(); }
    void Click(const char* button) {
        auto* b = form->findChild<QToolButton*>(button);
        QVERIFY2(b != nullptr, button);
        b->click();
    }
    void Trigger(const char* action) { form->findChild<QAction*>(action)->trigger(); }
    void SetPhotos(int line, const TPhotoArray& photos) {
        Tdatalinje& l = Cave.Lines[static_cast<std::size_t>(line)];
        l.Photos = photos;
        l.PhotoCount = static_cast<std::int32_t>(photos.size());
        l.HasPhotos = !photos.empty();
    }
    std::string WrittenFile() {
        const std::string out = ToFileName(tmp.filePath("out.grt"));
        const TWriteResult w = WriteSurveyFile(out, Cave, HeaderLine2, kClock);
        return w.Ok ? ReadBytes(FromFileName(out)).toStdString() : w.Reason;
    }

private slots:
    void initTestCase() {
        QVERIFY(tmp.isValid());
        hule = tmp.filePath("hule");
        QVERIFY(QDir().mkpath(hule));
        const QString examples = QStringLiteral(KV_SOURCE_DIR) + "/examples/";
        QVERIFY(QFile::copy(examples + "Kvitberghola.grt", hule + "/Kvitberghola.grt"));
        for (const char* p : kPhotos)
            QVERIFY(QFile::copy(examples + p, hule + "/" + p));
    }

    void init() {
        dialogs.Clear();
        dialogs.Filter.clear();
        SetDialogs(&dialogs);
        CurrentFile = ToFileName(hule + "/Kvitberghola.grt");
        const TReadResult r = ReadSurveyFile(CurrentFile, Cave, HeaderLine2, kClock);
        QVERIFY2(r.Ok, r.Message.c_str());
        DataLoaded = true;
        ProcessCave(Cave, Summary, CurrentFile, kClock);
        Processed = true;
        form = new TKvPicViewForm;
        form->show();
    }

    void cleanup() {
        dialogs.YesNoAnswers.clear();
        delete form;
        form = nullptr;
        SetDialogs(nullptr);
    }

    void steppingStopsAtBothEnds() {
        QCOMPARE(KvPicViewForm(), form);
        form->SetUpPhotos(1);
        QCOMPARE(form->PicName, QString("inngang.jpg"));
        QCOMPARE(Status(),
                 QString("inngang.jpg      (320 x 240) pixels     (2 Photos   at StationA001)"));
        QCOMPARE(form->windowTitle(), hule + "/inngang.jpg");
        QCOMPARE(form->ComboBox1->count(), 2);
        QCOMPARE(form->ComboBox1->itemText(1), QString("inngang2.jpg"));

        Click("NextBtn"); // "previous" on the first picture
        QCOMPARE(form->CurPic, 0);
        QCOMPARE(form->PicName, QString("inngang.jpg"));
        Click("PrevBtn");
        QCOMPARE(form->PicName, QString("inngang2.jpg"));
        Click("PrevBtn"); // "next" on the last picture
        QCOMPARE(form->CurPic, 1);
        QCOMPARE(form->PicName, QString("inngang2.jpg"));
        QVERIFY(form->BitImage->isVisible());
        Click("FirstBtn");
        QCOMPARE(form->PicName, QString("inngang.jpg"));
        Click("LastBtn");
        QCOMPARE(form->PicName, QString("inngang2.jpg"));
        QVERIFY(dialogs.Asked.isEmpty());

        QCOMPARE(form->findChild<QToolButton*>("NextBtn")->toolTip(), QString("previous"));
        QCOMPARE(form->findChild<QToolButton*>("PrevBtn")->toolTip(), QString("next"));
        QCOMPARE(form->findChild<QToolButton*>("FitButn")->toolTip(), QString("Maximize picture"));
        QCOMPARE(form->findChild<QToolButton*>("ScrollBtn")->toolTip(),
                 QString("Fit Image to window"));

        // Full size gives scroll bars in a small window; fitting takes them away.
        form->resize(200, 150);
        Click("FitButn");
        QCOMPARE(form->BitImage->size(), QSize(320, 240));
        Click("ScrollBtn");
        QVERIFY(form->BitImage->width() <= form->ScrollBox1->viewport()->width());
    }

    void removingAndSavingStoresTheShorterList() {
        form->SetUpPhotos(1);
        Trigger("RemoveImage1");
        QVERIFY(!form->PicShown());
        QVERIFY(!form->BitImage->isVisible());
        // The stored count until the list is saved.
        QCOMPARE(Status(),
                 QString("    Empty        (320 x 240) pixels     (2 Photos   at StationA001)"));
        QCOMPARE(form->ComboBox1->count(), 1);
        QCOMPARE(form->ComboBox2->itemText(0), QString("inngang2.jpg"));
        Trigger("RemoveImage1"); // nothing is shown: nothing more goes
        QCOMPARE(form->Lists.Count(), 1u);

        dialogs.YesNoAnswers = {true};
        Trigger("Exit1");
        QCOMPARE(dialogs.TextsOf("YesNo"),
                 QStringList{"New pictures loaded or deleted, SaveToCave?"});
        const Tdatalinje& line = Cave.Lines[1];
        QCOMPARE(line.Photos, TPhotoArray{"inngang2.jpg"});
        QCOMPARE(line.PhotoCount, 1);
        QVERIFY(line.HasPhotos);

        const std::string file = WrittenFile();
        QVERIFY2(file.find("\r\n$    1\r\n$   inngang2.jpg\r\nA001 A002") != std::string::npos,
                 file.c_str());
        QVERIFY(file.find("$   inngang.jpg") == std::string::npos);
        QVERIFY(file.find("$    1\r\n$   kvitsalen.jpg\r\n") != std::string::npos);
        TKviste again;
        std::string header2;
        QVERIFY(ReadSurveyFile(ToFileName(tmp.filePath("out.grt")), again, header2, kClock).Ok);
        QCOMPARE(again.Lines[1].Photos, TPhotoArray{"inngang2.jpg"});
    }

    void ignoreKeepsTheModelAndASwitchAsksFirst() {
        form->SetUpPhotos(1);
        Trigger("RemoveImage1");
        dialogs.YesNoAnswers = {false};
        form->close();
        QCOMPARE(Cave.Lines[1].Photos, (TPhotoArray{"inngang.jpg", "inngang2.jpg"}));
        QCOMPARE(Cave.Lines[1].PhotoCount, 2);

        // Changes pending when another station is chosen are offered first, to their own line.
        form->show();
        form->SetUpPhotos(1);
        Trigger("RemoveImage1");
        dialogs.Clear();
        dialogs.YesNoAnswers = {true};
        const int sump = LineOf("E005");
        form->SetUpPhotos(sump);
        QCOMPARE(dialogs.TextsOf("YesNo").size(), 1);
        QCOMPARE(Cave.Lines[1].PhotoCount, 1);
        QCOMPARE(Cave.Lines[static_cast<std::size_t>(sump)].PhotoCount, 1);
        QCOMPARE(form->PicName, QString("sump.jpg"));
        form->close(); // nothing changed here: no question
        QCOMPARE(dialogs.TextsOf("YesNo").size(), 1);
    }

    void addingPictures() {
        // A missing file is reported and not added.
        const int hall = LineOf("A015");
        form->SetUpPhotos(hall);
        QCOMPARE(form->PicName, QString("kvitsalen.jpg"));
        dialogs.FileNames = {tmp.filePath("nope.jpg")};
        Trigger("NewImage1");
        QCOMPARE(dialogs.TextsOf("Notice"), QStringList{tmp.filePath("nope.jpg") + " not found"});
        QCOMPARE(form->Lists.Count(), 1u);
        QCOMPARE(form->PicName, QString("kvitsalen.jpg"));
        // The filter offers the formats this build can load, JPEG among them.
        QVERIFY(dialogs.Filter.startsWith("All pictures ("));
        QVERIFY(dialogs.Filter.contains("*.jpg *.JPG"));
        QVERIFY(QImageReader::supportedImageFormats().contains("jpeg"));
        QVERIFY(!dialogs.Filter.contains("*.txt"));
        form->close();
        QVERIFY(dialogs.TextsOf("YesNo").isEmpty());

        // An added picture is shown and is the one a removal takes.
        form->show();
        form->SetUpPhotos(hall);
        const QString sump = hule + "/sump.jpg";
        dialogs.FileNames = {sump};
        Trigger("NewImage1");
        QCOMPARE(form->PicName, QString("sump.jpg"));
        QCOMPARE(form->ComboBox1->itemText(form->CurPic), QString("sump.jpg"));
        QCOMPARE(form->ComboBox2->itemText(form->CurPic), sump);
        Trigger("RemoveImage1");
        QCOMPARE(form->Lists.Names(), std::vector<std::string>{"kvitsalen.jpg"});

        // A station without photos gets its first.
        const int plain = LineOf("A002");
        dialogs.YesNoAnswers = {true, true};
        form->SetUpPhotos(plain); // the removal above was a change: stored unchanged
        QCOMPARE(Status(),
                 QString("    Empty        (0 x 0) pixels     (0 Photos   at StationA002)"));
        QVERIFY(!form->BitImage->isVisible());
        dialogs.FileNames = {sump};
        Trigger("NewImage1");
        form->close();
        const Tdatalinje& line = Cave.Lines[static_cast<std::size_t>(plain)];
        QCOMPARE(line.Photos, TPhotoArray{ToFileName(sump)});
        QVERIFY(line.HasPhotos);
        const std::string file = WrittenFile();
        QVERIFY(file.find("$    1\r\n$   " + ToFileName(sump) + "\r\n") != std::string::npos);
    }

    void namesFromAnotherSystemAreFound() {
        QVERIFY(QDir().mkpath(tmp.filePath("foto")));
        QFile::remove(tmp.filePath("foto/x.jpg"));
        QVERIFY(QFile::copy(hule + "/sjakta.jpg", tmp.filePath("foto/x.jpg")));
        const TPhotoArray stored{"C:\\Huler\\Kvit\\SUMP.JPG", "..\\foto\\x.jpg"};
        SetPhotos(2, stored);
        form->SetUpPhotos(2);
        QVERIFY(dialogs.TextsOf("Notice").isEmpty());
        QCOMPARE(form->PicName, QString("x.jpg")); // ".." sorts before "C:"
        QVERIFY(form->PicShown());
        Click("LastBtn");
        QCOMPARE(form->PicName, QString("SUMP.JPG"));
        QCOMPARE(form->windowTitle(), hule + "/sump.jpg");
        QVERIFY(dialogs.TextsOf("Notice").isEmpty());
        form->close();
        QCOMPARE(Cave.Lines[2].Photos, stored); // never rewritten
        QVERIFY(dialogs.Asked.isEmpty());

        // The survey file spells names in Windows-1252; the disk here in UTF-8.
        const QString stoyle = hule + QString::fromUtf8("/st\u00f8yle.jpg");
        QVERIFY(QFile::copy(hule + "/sinterstoyle.jpg", stoyle));
        SetPhotos(2, {"st\xF8yle.jpg"});
        form->show();
        form->SetUpPhotos(2);
        QVERIFY(form->PicShown());
        QCOMPARE(form->ComboBox1->itemText(0), QString::fromUtf8("st\u00f8yle.jpg"));
        dialogs.FileNames = {stoyle};
        dialogs.YesNoAnswers = {true};
        Trigger("NewImage1");
        form->close();
        QCOMPARE(Cave.Lines[2].Photos[0], EncodeWindows1252(stoyle));
    }

    void damagedPicturesGiveTheirMessage() {
        const QByteArray jpeg = ReadBytes(hule + "/kvitsalen.jpg");
        QVERIFY(WriteBytes(hule + "/broken.jpg", jpeg.left(jpeg.size() / 2)));
        QVERIFY(WriteBytes(hule + "/head.jpg", jpeg.left(120)));
        QVERIFY(WriteBytes(hule + "/text.jpg", "not a picture\r\n"));
        QVERIFY(WriteBytes(hule + "/empty.jpg", ""));
        SetPhotos(2, {"broken.jpg", "empty.jpg", "head.jpg", "inngang.jpg", "text.jpg"});

        form->SetUpPhotos(2);
        const QStringList notices = dialogs.TextsOf("Notice");
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices[0].startsWith(hule + "/broken.jpg: ") &&
                     notices[0].size() > (hule + "/broken.jpg: ").size(),
                 qPrintable(notices[0]));

        // Choosing pictures that cannot be read keeps the one shown, each with its reason.
        form->ComboBox1Select(3);
        QCOMPARE(form->PicName, QString("inngang.jpg"));
        for (const char* bad : {"text.jpg", "empty.jpg", "head.jpg"}) {
            dialogs.Clear();
            form->ComboBox1Select(form->ComboBox1->findText(bad));
            QCOMPARE(form->PicName, QString("inngang.jpg"));
            const QStringList said = dialogs.TextsOf("Notice");
            const QString prefix = hule + "/" + bad + ": ";
            QVERIFY2(said.size() == 1 && said[0].startsWith(prefix) &&
                         said[0].size() > prefix.size(),
                     qPrintable(said.join('|')));
        }
        QVERIFY(form->BitImage->isVisible());
    }

    void hugePictureIsShownScaled() {
        const QByteArray huge = WithClaimedSize(ReadBytes(hule + "/inngang.jpg"), 20000, 20000);
        QVERIFY(!huge.isEmpty());
        QVERIFY(WriteBytes(hule + "/huge.jpg", huge));
        SetPhotos(2, {"huge.jpg"});
        form->SetUpPhotos(2);
        QVERIFY(form->PicShown());
        QVERIFY2(Status().contains("(20000 x 20000) pixels"), qPrintable(Status()));
        const QImage& shown = form->BitImage->Picture();
        QVERIFY(shown.width() > 0 && shown.width() <= 2500 && shown.height() <= 2500);
    }

    void imagesDropDown() {
        form->SetUpPhotos(1);
        QAction* combo = form->findChild<QAction*>("ComboBox1Action");
        QVERIFY(!combo->isVisible());
        Trigger("Images1");
        QVERIFY(combo->isVisible());
        QCOMPARE(form->ComboBox1->currentText(), QString("   Select below"));
        form->ComboBox1Select(1);
        QCOMPARE(form->PicName, QString("inngang2.jpg"));
        QVERIFY(!combo->isVisible());

        Trigger("Images1");
        form->ComboBox1->setCurrentIndex(0);
        QTest::keyClick(form->ComboBox1, Qt::Key_Return);
        QCOMPARE(form->PicName, QString("inngang.jpg"));
        QVERIFY(!combo->isVisible());
        Trigger("Images1");
        QTest::keyClick(form->ComboBox1, Qt::Key_Escape);
        QVERIFY(!combo->isVisible());
        Trigger("Images1");
        emit form->File1->aboutToShow();
        QVERIFY(!combo->isVisible());
    }

    void plotOpensTheViewerAndMarksPhotoStations() {
        delete form; // the plot makes its own when the program has none
        form = nullptr;
        QVERIFY(KvPicViewForm() == nullptr);
        TKvisPlotForm1 plot;
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.StationsBtnClick();
        plot.ShowPhotoStationBtnClick();
        const int hall = LineOf("A015");
        const TScreenPoint s = Cave.Lines[static_cast<std::size_t>(hall)].ScreenPos;
        const QColor fuchsia(255, 0, 255);
        // The symbol round the hall, whichever of its shots' symbols lies on top.
        auto fuchsiaNear = [&](const TScreenPoint& c) {
            int n = 0;
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -2; dy <= 2; ++dy)
                    n += plot.Surface->Image.pixelColor(c.X + dx, c.Y + dy) == fuchsia;
            return n;
        };
        QVERIFY(fuchsiaNear(s) > 0);
        const TScreenPoint p = Cave.Lines[2].ScreenPos; // no photos
        QVERIFY(plot.Surface->Image.pixelColor(p.X, p.Y + 3) != fuchsia);

        // The right button picks the loop's last shot to the hall, whose line holds no photos.
        const int closing = LineOf("A015", true);
        QVERIFY(closing > hall);
        plot.Interaction.SelectedLine = closing;
        QVERIFY(plot.Photos1->isEnabled());
        plot.Photos1->trigger();
        form = KvPicViewForm();
        QVERIFY(form != nullptr);
        QVERIFY(form->isVisible());
        QCOMPARE(form->PicName, QString("kvitsalen.jpg"));

        // Its last photo removed and stored, the hall is no longer marked.
        Trigger("RemoveImage1");
        dialogs.YesNoAnswers = {true};
        form->close();
        QVERIFY(!Cave.Lines[static_cast<std::size_t>(hall)].HasPhotos);
        QCOMPARE(fuchsiaNear(s), 0);
        form = nullptr; // owned by the plot
    }

    // With KV_SCREENSHOT set: a picture of the viewer on the hall, for looking at.
    void screenshot() {
        const QByteArray path = qgetenv("KV_SCREENSHOT");
        if (path.isEmpty())
            QSKIP("KV_SCREENSHOT not set");
        form->resize(560, 400);
        form->SetUpPhotos(LineOf("A015"));
        QVERIFY(QTest::qWaitForWindowExposed(form));
        QTest::qWait(200);
        QVERIFY(form->grab().save(QString::fromLocal8Bit(path)));
        // The entrance's two photos, the second shown and the list opened.
        form->SetUpPhotos(1);
        Click("PrevBtn");
        Trigger("Images1");
        QTest::qWait(200);
        QVERIFY(form->grab().save(QString::fromLocal8Bit(path).replace(".png", "-images.png")));
    }
};

QTEST_MAIN(PhotoViewerTest)
#include "KvPicViewFormTest.moc"
