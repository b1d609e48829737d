// The text editor driven offscreen: documents and their questions, the tools, the line-edit
// window, and files that come back byte for byte.
#include "support/WindowTestSupport.h"

#include "model/ProgramState.h"
#include "model/SurveyReader.h"
#include "model/TextClock.h"
#include "shell/MainForm.h"
#include "shell/TextEditForm1.h"
#include "shell/TextEditLogic.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QtTest>

#include <memory>

namespace {

// The memo's text as the file would hold it.
std::string MemoBytes(const TTextEditForm1& form) {
    return ToFileLines(EncodeWindows1252(form.TextGMemo1->toPlainText()));
}

bool ReadBack(const std::string& bytes, TKviste& cave) {
    std::string header2;
    std::string log;
    return ReadSurveyText(bytes, "t.grt", cave, header2, FixedClock("01.01.2026 12:00:00"), log).Ok;
}

// Selects from the start of line `from` to `column` characters into line `to`, as a click and a
// shift-click would, and lets the window take FirstLine and LastLine from it.
void Select(TTextEditForm1& form, int from, int to, int column = 0) {
    QTextDocument* doc = form.TextGMemo1->document();
    QTextCursor cursor(doc);
    cursor.setPosition(doc->findBlockByNumber(from).position());
    cursor.setPosition(doc->findBlockByNumber(to).position() + column, QTextCursor::KeepAnchor);
    form.TextGMemo1->setTextCursor(cursor);
    form.UpdateSelectionLines();
}

void SetMemo(TTextEditForm1& form, const QString& text) {
    form.TextGMemo1->setPlainText(text);
}

QColor Base(const QLineEdit* edit) {
    return edit->palette().color(QPalette::Base);
}

std::vector<std::string> SplitCrLf(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t p = bytes.find("\r\n"); p != std::string::npos;
         start = p + 2, p = bytes.find("\r\n", start))
        lines.push_back(bytes.substr(start, p - start));
    lines.push_back(bytes.substr(start));
    return lines;
}

const QString kSurvey = "Hola\n;\n;\n360.00 360.00 0.00 1.00\n0.00 0.00 0.00\n"
                        "A001 A001 0.00 0.00 0.00 0.00 0.00 0.00 0.00\n"
                        "A001 A002 151.04 -38.16   6.15   1.32   1.66   0.94   2.71\n"
                        ";a comment\n"
                        "A002 A003 -10.00 -5.00 4.00 1.00 1.00 1.00 1.00\n";

} // namespace

class TextEditForm1Test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> dir_;
    ScriptedDialogs dialogs_;
    std::unique_ptr<TTextEditForm1> form_;

    QString Path(const QString& name) const { return dir_->filePath(name); }
    QAction* Command(const char* name) const {
        auto* a = form_->findChild<QAction*>(name);
        if (a == nullptr)
            qFatal("no command %s", name);
        return a;
    }

private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        dialogs_ = ScriptedDialogs();
        SetDialogs(&dialogs_);
        form_ = std::make_unique<TTextEditForm1>();
    }
    void cleanup() {
        // Nothing may be left to ask about when the window goes.
        for (TEditDocument& doc : form_->Docs)
            doc.DocModified = false;
        form_.reset();
        SetDialogs(nullptr);
        dir_.reset();
    }

    void documentSlotsAndTheirQuestions() {
        QCOMPARE(form_->windowTitle(), "Kvistrel text editor");
        for (int i = 0; i < 8; ++i)
            Command("FileNewItem")->trigger();
        QCOMPARE(form_->TabSet1->count(), 8); // the ninth is refused
        QCOMPARE(form_->TabSet1->currentIndex(), 0);

        // Showing each tab once changes nothing.
        const QString file = Path("Kvitberghola_extended.grt");
        WriteBytes(file, kSmallSurvey);
        QVERIFY(form_->LoadDocument(file));
        QCOMPARE(form_->TabSet1->tabText(0), "Kvitberghola");
        QCOMPARE(form_->Docs[0].DocName, file.toLower());
        QCOMPARE(form_->StatusPanels[0]->text(), "Kvitberghola_extended.grt");
        QCOMPARE(form_->StatusPanels[1]->text(), "Total 13 lines");
        QVERIFY(!Command("FileSaveItem")->isEnabled());
        for (int i : {1, 2, 0}) {
            form_->TabSet1->setCurrentIndex(i);
            QCOMPARE(form_->CurrentSlot(), i);
        }
        for (const TEditDocument& doc : form_->Docs)
            QVERIFY(!doc.DocModified);
        QCOMPARE(form_->TextGMemo1->toPlainText(), AsShown(kSmallSurvey));

        // Two edited documents: closing asks once for each; Cancel keeps the window.
        form_->show();
        form_->TextGMemo1->appendPlainText("A003 A004 1 1 1 1 1 1 1");
        QVERIFY(form_->Docs[0].DocModified);
        QVERIFY(Command("FileSaveItem")->isEnabled());
        form_->TabSet1->setCurrentIndex(2);
        SetMemo(*form_, "new text");
        QVERIFY(form_->Docs[2].DocModified);
        dialogs_.YesNoCancelAnswers << UserDialogs::Answer::Yes << UserDialogs::Answer::Cancel;
        QVERIFY(!form_->close());
        QVERIFY(form_->isVisible());
        QCOMPARE(dialogs_.TextsOf("YesNoCancel"),
                 (QStringList{"Save changes to Kvitberghola?", "Save changes to [untitled]?"}));
        QVERIFY(!form_->Docs[0].DocModified);
        QVERIFY(ReadBytes(file).contains("\r\nA003 A004 1 1 1 1 1 1 1"));
        QCOMPARE(form_->TextGMemo1->toPlainText(), "new text"); // the tab shown is kept

        dialogs_.Clear();
        dialogs_.YesNoCancelAnswers << UserDialogs::Answer::No;
        QVERIFY(form_->close());
        QCOMPARE(dialogs_.TextsOf("YesNoCancel"), QStringList{"Save changes to [untitled]?"});
    }

    void closeAndSaveFailures() {
        SetMemo(*form_, "one\ntwo\n");
        // Close with Cancel keeps the text; with No it is dropped.
        dialogs_.YesNoCancelAnswers << UserDialogs::Answer::Cancel << UserDialogs::Answer::No;
        Command("FileCloseItem")->trigger();
        QCOMPARE(form_->TextGMemo1->toPlainText(), "one\ntwo\n");
        Command("FileCloseItem")->trigger();
        QCOMPARE(form_->TextGMemo1->toPlainText(), "");
        QVERIFY(!form_->Docs[0].DocModified);

        // A write that fails is reported and the document stays modified.
        SetMemo(*form_, "kept\n");
        dialogs_.FileNames << Path("no/such/dir/x.grt");
        Command("FileSaveAsItem")->trigger();
        QCOMPARE(dialogs_.TextsOf("Warning").size(), 1);
        QVERIFY(dialogs_.TextsOf("Warning")[0].startsWith("Could not save \"" +
                                                          Path("no/such/dir/x.grt")));
        QVERIFY(form_->Docs[0].DocModified);

        // The file keeps the letter case it was given.
        dialogs_.FileNames << Path("Mixed.GRT");
        Command("FileSaveAsItem")->trigger();
        QCOMPARE(ReadBytes(Path("Mixed.GRT")), QByteArray("kept\r\n"));
        QCOMPARE(form_->Docs[0].DocName, Path("Mixed.GRT").toLower());
        QVERIFY(!form_->Docs[0].DocModified);

        // Open saves an edited document first and stops when that save is cancelled.
        form_->TextGMemo1->appendPlainText("more");
        dialogs_.Clear();
        dialogs_.FileNames << Path("other.grt");
        Command("FileOpenItem")->trigger();
        QCOMPARE(ReadBytes(Path("Mixed.GRT")), QByteArray("kept\r\n\r\nmore"));
        QCOMPARE(dialogs_.TextsOf("OpenFileName").size(), 1); // other.grt is missing: a warning
        Command("FileNewItem")->trigger();
        form_->TabSet1->setCurrentIndex(1);
        SetMemo(*form_, "untitled text");
        dialogs_.Clear();
        dialogs_.FileNames << "";
        Command("FileOpenItem")->trigger();
        QCOMPARE(dialogs_.Asked.size(), 1);
        QCOMPARE(dialogs_.Asked[0].Kind, "SaveFileName");
        form_->TabSet1->setCurrentIndex(0);

        // A missing file leaves the document as it was.
        QVERIFY(!form_->LoadDocument(Path("gone.grt")));
        QCOMPARE(form_->TextGMemo1->toPlainText(), "kept\n\nmore");
    }

    void lineEndsAndBytesSurvive() {
        // Lone LF and bytes above 127 come back unchanged while the text is not edited.
        const QByteArray lf = "Hola \xD8st\n;\n;\n360 360 0 1\n0 0 0\nA001 A001 0 0 0 0 0 0 0";
        WriteBytes(Path("lf.grt"), lf);
        QVERIFY(form_->LoadDocument(Path("lf.grt")));
        QCOMPARE(form_->TextGMemo1->document()->firstBlock().text(),
                 QString::fromUtf8("Hola \xC3\x98st"));
        dialogs_.FileNames << Path("copy.grt");
        Command("FileSaveAsItem")->trigger();
        QCOMPARE(ReadBytes(Path("copy.grt")), lf);
        // An edit writes CR LF throughout.
        form_->TextGMemo1->appendPlainText("A001 A002 0 0 1 0 0 0 0");
        Command("FileSaveItem")->trigger();
        QCOMPARE(ReadBytes(Path("copy.grt")),
                 QByteArray(lf).replace("\n", "\r\n") + "\r\nA001 A002 0 0 1 0 0 0 0");
    }

    void headingAndProfileScan() {
        form_->InsHeadingButtonClick();
        TKviste cave;
        QVERIFY(ReadBack(MemoBytes(*form_), cave));
        QCOMPARE(cave.CaveName, std::string("Kvistenavn"));
        QCOMPARE(cave.LineCount, 1);
        QCOMPARE(cave.CommentCount, 3);
        QCOMPARE(cave.InstrumentCount, 1);
        QCOMPARE(cave.Lines[1].Comment, std::string("    siste datasett"));

        // 43 point lines at line 6, then the header over them.
        Select(*form_, 6, 6);
        QVERIFY(Command("NewProfileButton")->isEnabled());
        QVERIFY(!Command("FinishProfileButton")->isEnabled());
        form_->NewProfileButtonClick();
        QCOMPARE(form_->MemoLineCount(), 8 + 43);
        QCOMPARE(form_->MemoLine(6), std::string("# -15.00 "));
        QCOMPARE(form_->MemoLine(48), std::string("# 195.00 "));
        const QString withPoints = form_->TextGMemo1->toPlainText();

        Select(*form_, 6, 49); // ends at the start of the line after the points
        QVERIFY(!Command("NewProfileButton")->isEnabled());
        QCOMPARE(form_->Label3->text(), "Selected:43");
        form_->FinishProfileButtonClick();
        QCOMPARE(form_->MemoLine(6), std::string("# 43  000.00"));
        QCOMPARE(form_->LastLine, form_->FirstLine);

        SetMemo(*form_, withPoints);
        Select(*form_, 6, 48, 3); // ends inside the last point line
        form_->FinishProfileButtonClick();
        QCOMPARE(form_->MemoLine(6), std::string("# 42  000.00"));
    }

    void commaCheck() {
        SetMemo(*form_, "Hola\n;1,5 in a comment\n\nA001 A002 1,5 2 3,0 1 1 1 1\n");
        dialogs_.YesNoAnswers << true << true;
        form_->TypoButtonClick();
        QCOMPARE(dialogs_.TextsOf("YesNo"),
                 (QStringList{QString::fromUtf8("Komma funnet p\xC3\xA5 plass(12):A001 A002 1,5 2 "
                                                "3,0 1 1 1 1"),
                              QString::fromUtf8("Komma funnet p\xC3\xA5 plass(18):A001 A002 1,5 2 "
                                                "3,0 1 1 1 1")}));
        QCOMPARE(dialogs_.TextsOf("Notice"), QStringList{"2 desimalkomma funnet!!!"});
        QCOMPARE(LastAnswer, std::uint16_t(6));
        QCOMPARE(form_->TextGMemo1->toPlainText(),
                 "Hola\n;1,5 in a comment\n\nA001 A002 1,5 2 3,0 1 1 1 1\n");

        // No stops the boxes; the count still covers every comma.
        dialogs_.Clear();
        dialogs_.YesNoAnswers << false;
        form_->TypoButtonClick();
        QCOMPARE(dialogs_.TextsOf("YesNo").size(), 1);
        QCOMPARE(dialogs_.TextsOf("Notice"), QStringList{"2 desimalkomma funnet!!!"});
        QCOMPARE(LastAnswer, kAnswerNo);

        dialogs_.Clear();
        SetMemo(*form_, kSurvey);
        form_->TypoButtonClick();
        QCOMPARE(dialogs_.TextsOf("Notice"), QStringList{"0 desimalkomma funnet!!!"});
    }

    void instrumentDialog() {
        SetMemo(*form_, kSurvey);
        Select(*form_, 8, 8);
        form_->InstumentsButtonClick();
        QVERIFY(form_->InstrumentGroupBox->isVisibleTo(form_.get()));
        form_->OKButton3->click(); // the choices it opens with make a line the reader takes
        QCOMPARE(form_->MemoLine(8), std::string("@ 360.00 360.00 0.00 1.00"));
        QVERIFY(form_->InstrumentGroupBox->isHidden());

        form_->InstumentsButtonClick();
        form_->MisvisnCombo->setEditText("MisvisnCombo");
        form_->OKButton3->click();
        QCOMPARE(dialogs_.TextsOf("Warning"),
                 QStringList{"The declination \"MisvisnCombo\" is not a number."});
        QVERIFY(!form_->InstrumentGroupBox->isHidden());
        QCOMPARE(form_->MemoLineCount(), 10);

        form_->MisvisnCombo->setCurrentIndex(0);
        form_->TapeCombo->setCurrentIndex(2);
        Select(*form_, 9, 9);
        form_->OKButton3->click();
        QCOMPARE(form_->MemoLine(9), std::string("@ 360.00 360.00 0.00 3.2808"));
        TKviste cave;
        QVERIFY(ReadBack(MemoBytes(*form_), cave));
        QCOMPARE(cave.InstrumentCount, 3);
        QCOMPARE(cave.Instruments[2].LengthUnit, 3.2808);
        QCOMPARE(cave.Lines[3].Instrument, 2);
        QVERIFY(qAbs(cave.Lines[3].Length - 4.0 / 3.2808) < 1e-12);

        // The instrument in force as the line-edit window shows it.
        Select(*form_, 10, 10);
        form_->ToolButton5Click();
        QCOMPARE(form_->DataLinje->Label14->text(), "360.00");
        QCOMPARE(form_->DataLinje->Label16->text(), "3.2808");
        SetMemo(*form_, QString(kSurvey).replace("360.00 360.00 0.00 1.00", "360 36o"));
        form_->LoadLineIntoEditor(6);
        QCOMPARE(form_->DataLinje->Label14->text(), "360");
        QCOMPARE(form_->DataLinje->Label15->text(), "FEIL!!!!");
        QCOMPARE(form_->DataLinje->Label16->text(), "FEIL!!!!");
    }

    void comments() {
        SetMemo(*form_, kSurvey);
        Select(*form_, 7, 7);
        // An existing comment is offered; cancelling keeps it, a new text replaces it.
        dialogs_.TextAnswers << std::nullopt << QString("better comment");
        form_->InsCommentButtonClick();
        QCOMPARE(form_->MemoLine(7), std::string(";a comment"));
        form_->InsCommentButtonClick();
        QCOMPARE(form_->MemoLine(7), std::string(";better comment"));
        QCOMPARE(form_->MemoLineCount(), 9);

        // With the line-edit window on, the prompt names the to-station.
        Select(*form_, 6, 6);
        form_->ToolButton5Click();
        dialogs_.Clear();
        dialogs_.TextAnswers << QString("sump");
        form_->InsCommentButtonClick();
        QCOMPARE(dialogs_.Asked.last().Text, "Enter comment for station A002");
        QCOMPARE(form_->MemoLine(7), std::string(";sump"));
        QCOMPARE(form_->FirstLine, 7);
    }

    void lineEditWindowSplitsChecksAndWritesBack() {
        SetMemo(*form_, kSurvey);
        Select(*form_, 6, 6);
        form_->ToolButton5Click();
        QVERIFY(Command("ToolButton5")->isChecked());
        TDataLinje* d = form_->DataLinje;
        QVERIFY(!d->GroupBox1->isHidden());
        QCOMPARE(d->Edits[0]->text(), "A001");
        QCOMPARE(d->Edits[1]->text(), "A002");
        QCOMPARE(d->Edits[2]->text(), "151.04");
        QCOMPARE(d->Edits[8]->text(), "2.71");
        QCOMPARE(d->EditLine.Clino, -38.16);
        QCOMPARE(Base(d->Edits[3]), QColor(Qt::white)); // a negative clino is fine

        // "Bytt" without changes writes a line that reads the same.
        TKviste before;
        QVERIFY(ReadBack(MemoBytes(*form_), before));
        d->InsertBtn->click();
        QCOMPARE(form_->MemoLine(6),
                 std::string("A001 A002 151.04 -38.16  6.15  1.32  1.66  0.94  2.71 "));
        TKviste after;
        QVERIFY(ReadBack(MemoBytes(*form_), after));
        for (int i = 0; i < kReadingFields; ++i)
            QCOMPARE(ReadingField(after.Lines[2], i), ReadingField(before.Lines[2], i));

        // Down over the comment to the shot with negative readings.
        d->Button1->click();
        QVERIFY(d->ShowingComment());
        QCOMPARE(d->CommentEdit->text(), ";a comment");
        d->Button3->click();
        QCOMPARE(form_->FirstLine, 8);
        QCOMPARE(Base(d->Edits[2]), QColor(Qt::red)); // negative compass
        QCOMPARE(Base(d->Edits[3]), QColor(Qt::white));
        d->Button1->click(); // not onto the empty line after the last line break
        QCOMPARE(form_->FirstLine, 8);
        for (int i = 0; i < 5; ++i)
            d->Button2->click(); // not above the first line after the heading
        QCOMPARE(form_->FirstLine, 5);

        // A fifth character in a name beeps, is removed and turns the field red.
        d->Edits[0]->setText("A001");
        QTest::keyClick(d->Edits[0], Qt::Key_X);
        QCOMPARE(d->Edits[0]->text(), "A001");
        QCOMPARE(Base(d->Edits[0]), QColor(Qt::red));
        QCOMPARE(dialogs_.TextsOf("Beep").size(), 1);

        // A reading that is not a number keeps its text and stops the line being written.
        d->Edits[4]->setText("4,5");
        d->CommitField(4);
        QCOMPARE(d->Edits[4]->text(), "4,5");
        const QString memo = form_->TextGMemo1->toPlainText();
        d->DataOKButton1->click();
        QCOMPARE(form_->TextGMemo1->toPlainText(), memo);
        QVERIFY(dialogs_.TextsOf("Warning").last().startsWith("The field Lengd"));

        // The heading lines are never replaced by a data line, nor pushed down by one.
        Select(*form_, 3, 3);
        form_->LoadLineIntoEditor(3);
        d->InsertBtn->click();
        d->DataOKButton1->click();
        QCOMPARE(form_->TextGMemo1->toPlainText(), memo);
        QCOMPARE(dialogs_.TextsOf("Warning").size(), 3);
        QVERIFY(dialogs_.TextsOf("Warning").last().startsWith("Line 5 would be in the heading"));
    }

    void autoNextAndPrefix() {
        SetMemo(*form_, kSurvey);
        Select(*form_, 8, 8);
        form_->ToolButton5Click();
        form_->ToolButton6Click();
        QVERIFY(Command("ToolButton6")->isChecked());

        // The prefix: more than two characters are refused, two are taken.
        form_->ToolButton8Click();
        QVERIFY(!form_->PreFixEdit->isHidden());
        form_->PreFixEdit->setText("KVI");
        QTest::keyClick(form_->PreFixEdit, Qt::Key_Return);
        QCOMPARE(form_->PreFixEdit->text(), "KV");
        QCOMPARE(Base(form_->PreFixEdit), QColor(Qt::red));
        QVERIFY(!form_->PreFixEdit->isHidden());
        QTest::keyClick(form_->PreFixEdit, Qt::Key_Return);
        QCOMPARE(form_->PrefixLabel->text(), "Prefix= KV");
        QVERIFY(form_->PreFixEdit->isHidden());
        QVERIFY(!Command("ToolButton8")->isChecked());
        form_->ToolButton7Click();
        QVERIFY(Command("ToolButton7")->isChecked());

        TDataLinje* d = form_->DataLinje;
        d->DataOKButton1->click(); // appends the shown shot, then starts the next from A003
        QCOMPARE(form_->MemoLine(9),
                 std::string("A002 A003 -10.00 -5.00  4.00  1.00  1.00  1.00  1.00 "));
        QCOMPARE(form_->FirstLine, 9);
        QCOMPARE(d->Edits[0]->text(), "A003");
        QCOMPARE(d->Edits[1]->text(), "");
        QCOMPARE(d->Edits[5]->text(), "0.00");

        // Committed twice, the to-name carries the prefix once.
        d->Edits[1]->setText("A4");
        d->CommitField(1);
        d->CommitField(1);
        QCOMPARE(d->Edits[1]->text(), "KVA4");
        d->Edits[4]->setText("12.5");
        d->CommitField(4);
        QCOMPARE(d->Edits[4]->text(), "12.50");
        d->DataOKButton1->click();
        QCOMPARE(form_->MemoLine(10),
                 std::string("A003 KVA4  0.00  0.00 12.50  0.00  0.00  0.00  0.00 "));
        QCOMPARE(d->Edits[0]->text(), "KVA4");
        TKviste cave;
        QVERIFY(ReadBack(MemoBytes(*form_), cave));
        QCOMPARE(cave.LineCount, 5);
    }

    void mainWindowShowsTheEditor() {
        TMainForm main;
        auto* editor = main.findChild<TTextEditForm1*>();
        QVERIFY(editor != nullptr);
        QVERIFY(!editor->isVisible());
        main.findChild<QAction*>("TextEditBtn")->trigger();
        QVERIFY(editor->isVisible());
        QVERIFY(editor->isWindow());

        // Ending the program asks about the editor's unsaved text; Cancel keeps both windows.
        main.show();
        editor->TextGMemo1->setPlainText("unsaved");
        dialogs_.YesNoCancelAnswers << UserDialogs::Answer::Cancel << UserDialogs::Answer::No;
        QVERIFY(!main.close());
        QVERIFY(main.isVisible());
        QCOMPARE(dialogs_.TextsOf("YesNoCancel"), QStringList{"Save changes to [untitled]?"});
        QVERIFY(main.close());
        QVERIFY(!editor->Docs[0].DocModified);
    }

    void clipboardFontAndBackground() {
        SetMemo(*form_, "A001 A002\n");
        QApplication::clipboard()->clear();
        form_->UpdateCommandStates();
        QVERIFY(!Command("ToolButton1")->isEnabled());
        QVERIFY(!Command("ToolButton2")->isEnabled());
        QVERIFY(!Command("ToolButton3")->isEnabled());
        Select(*form_, 0, 0, 4);
        QVERIFY(Command("ToolButton1")->isEnabled());
        Command("ToolButton1")->trigger(); // cut
        QCOMPARE(form_->TextGMemo1->toPlainText(), " A002\n");
        QVERIFY(Command("ToolButton3")->isEnabled());
        Command("ToolButton3")->trigger();
        QCOMPARE(form_->TextGMemo1->toPlainText(), "A001 A002\n");

        QFont font("DejaVu Sans Mono", 15);
        dialogs_.FontAnswers << font;
        dialogs_.ColourAnswers << QColor(Qt::yellow) << std::nullopt;
        Command("FontItem")->trigger();
        QCOMPARE(form_->TextGMemo1->font().pointSize(), 15);
        Command("BackgroundItem")->trigger();
        Command("BackgroundItem")->trigger(); // cancelled: the colour stays
        QCOMPARE(form_->TextGMemo1->palette().color(QPalette::Base), QColor(Qt::yellow));
        QVERIFY(!Command("profileCADButton")->isEnabled());
    }

    void exampleCaveRoundTrip() {
        const QString original = QStringLiteral(KV_SOURCE_DIR "/examples/Kvitberghola.grt");
        const QString file = Path("Kvitberghola.grt");
        QVERIFY(QFile::copy(original, file));
        const std::string before = ReadBytes(file).toStdString();
        QVERIFY(form_->LoadDocument(file));
        int target = -1;
        for (int i = 0; i < form_->MemoLineCount() && target < 0; ++i)
            if (form_->MemoLine(i).rfind("A003 A004", 0) == 0)
                target = i;
        QVERIFY(target > 0);

        Select(*form_, target, target);
        form_->ToolButton5Click();
        TDataLinje* d = form_->DataLinje;
        QCOMPARE(d->Edits[4]->text(), "7.14");
        d->Edits[4]->setText("7.50");
        d->CommitField(4);
        d->InsertBtn->click();
        Command("FileSaveItem")->trigger();
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        QVERIFY(!form_->Docs[0].DocModified);

        const std::vector<std::string> oldLines = SplitCrLf(before);
        const std::vector<std::string> newLines = SplitCrLf(ReadBytes(file).toStdString());
        QCOMPARE(newLines.size(), oldLines.size());
        for (std::size_t i = 0; i < oldLines.size(); ++i)
            if (static_cast<int>(i) != target)
                QCOMPARE(newLines[i], oldLines[i]);

        TKviste cave;
        std::string header2;
        const TReadResult r =
            ReadSurveyFile(ToFileName(file), cave, header2, FixedClock("01.01.2026 12:00:00"));
        QVERIFY(r.Ok);
        bool found = false;
        for (const Tdatalinje& l : cave.Lines)
            if (l.FromName == str4("A003") && l.ToName == str4("A004")) {
                QCOMPARE(l.Length, 7.5);
                QCOMPARE(l.Compass, 146.44 + 2.5);
                found = true;
            }
        QVERIFY(found);
    }
};

QTEST_MAIN(TextEditForm1Test)
#include "TextEditForm1Test.moc"
