// The grid editor driven offscreen through the main window: rows, clicks, typing, Update, saving.
#include "support/MainFormRig.h"

#include "model/ProgramState.h"
#include "model/SurveyReader.h"
#include "model/TextClock.h"
#include "shell/FormEditor.h"
#include "shell/GridEditorModel.h"
#include "shell/MainForm.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QLineEdit>
#include <QStatusBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

// A chain of shots A001 .. A<shots>, the first the zero-length start shot. In the file a shot's
// dimensions come as right, left, down, up: here 1, 2, 3, 4.
QByteArray Survey(int shots, const char* caveName) {
    QByteArray text = QByteArray(caveName) + "\r\n;\r\n; test survey\r\n"
                                             "360.00 360.00 0.00 1.00\r\n0.00 0.00 0.00\r\n";
    text += "A001 A001 0.00 0.00 0.00 0.00 0.00 0.00 0.00\r\n";
    for (int i = 2; i <= shots; ++i)
        text += QString::asprintf("A%03d A%03d %.2f 1.50 10.00 1.00 2.00 3.00 4.00\r\n", i - 1, i,
                                  (i * 10) % 360 + 0.25)
                    .toLatin1();
    return text;
}

const QStringList kEveryNumberOfRow6 = {
    "Conversion error at col theta & row 6",  "Conversion error at col phi & row 6",
    "Conversion error at col length & row 6", "Conversion error at col up & row 6",
    "Conversion error at col down & row 6",   "Conversion error at col right & row 6",
    "Conversion error at col left & row 6"};

} // namespace

// Station names in failure messages, found by argument-dependent lookup.
char* toString(const str4& name) {
    return QTest::toString(QString::fromLatin1('"' + name.str() + '"'));
}

class FormEditorTest : public QObject {
    Q_OBJECT

private:
    TMainFormRig rig_;
    ScriptedDialogs& dialogs_ = rig_.Dialogs;
    std::unique_ptr<TMainForm>& main_ = rig_.Form;
    TFormEditor* editor_ = nullptr;

    QString Path(const QString& name) const { return rig_.Path(name); }
    void Trigger(QObject* owner, const QString& name) {
        auto* action = owner->findChild<QAction*>(name);
        if (action == nullptr)
            qFatal("no command %s", qPrintable(name));
        action->trigger();
    }
    // File > Open on a survey written into the test directory.
    QString OpenSurvey(const QString& name, const QByteArray& bytes) {
        const QString path = Path(name);
        WriteBytes(path, bytes);
        dialogs_.FileNames << path;
        Trigger(main_.get(), "OpenFileBtn");
        return path;
    }
    void ShowEditor() {
        Trigger(main_.get(), "KvisEditBtn");
        QVERIFY(editor_->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(editor_));
    }
    // A mouse click on a cell of the grid (grid rows: row 0 is the heading).
    void ClickCell(int col, int row) {
        QTableView* grid = editor_->StringGrid1;
        const QModelIndex cell = editor_->Model->CellIndex(row, col);
        grid->scrollTo(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
    }
    // Clicks a cell, opens its editor with F2 and types text over its content; Return stores it
    // in the grid unless the typing is to stay open.
    void TypeInto(int col, int row, const QString& text, bool finish = true) {
        ClickCell(col, row);
        QTableView* grid = editor_->StringGrid1;
        QTest::keyClick(grid, Qt::Key_F2);
        QLineEdit* line = nullptr;
        for (auto* open : grid->viewport()->findChildren<QLineEdit*>())
            if (!open->isHidden()) // closed editors are hidden until deleted
                line = open;
        QVERIFY2(line != nullptr, "the cell opens for typing");
        line->selectAll();
        QTest::keyClicks(line, text);
        if (finish)
            QTest::keyClick(line, Qt::Key_Return);
    }
    // What the user was told or warned of since the last Clear.
    QStringList Messages() const {
        return dialogs_.TextsOf("Notice") + dialogs_.TextsOf("Warning") +
               dialogs_.TextsOf("Report");
    }
    const Tdatalinje& Line(int i) const { return Cave.Lines.at(static_cast<std::size_t>(i)); }

private slots:
    void init() {
        QVERIFY(rig_.Start()); // forgets the start-up icon question
        editor_ = main_->FormEditor;
        QVERIFY(editor_ != nullptr);
        QVERIFY(!editor_->isVisible()); // created hidden at start-up
    }

    void cleanup() {
        rig_.Stop();
        Cave = TKviste();
        DataLoaded = Processed = false;
    }

    void twelveLinesGiveSixteenRowsWithHeadingsAndStatus() {
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        ShowEditor();
        QCOMPARE(editor_->windowTitle(), "Kvistrel 4 for windows editor");
        QCOMPARE(editor_->RowCount(), 16);
        const QStringList headings = {"Index",  "From", "To",   "Decl",  "Incl",
                                      "Length", "Up",   "Down", "Right", "Left"};
        for (int col = 0; col < 10; ++col) {
            QCOMPARE(editor_->Cell(col, 0), headings[col]);
            QCOMPARE(editor_->Model->headerData(col, Qt::Horizontal).toString(), headings[col]);
        }
        const QStringList row12 = {"12",       "A011",     "A012",     "  120.25", "    1.50",
                                   "   10.00", "    4.00", "    3.00", "    1.00", "    2.00"};
        for (int col = 0; col < 10; ++col)
            QCOMPARE(editor_->Cell(col, 12), row12[col]);
        QCOMPARE(editor_->StringGrid1->model()->index(11, 2).data().toString(), "A012");
        for (int row = 13; row < 16; ++row)
            for (int col = 0; col < 10; ++col)
                QVERIFY(editor_->Cell(col, row).isEmpty());

        QCOMPARE(editor_->PanelText(0), "twelve.grt");
        QCOMPARE(editor_->PanelText(1), "Tolvhola");
        QCOMPARE(editor_->PanelText(2), "12 datalines");
        QCOMPARE(editor_->PanelText(3), "1 comments");
        QCOMPARE(editor_->PanelText(4), "1 instuments");
        QCOMPARE(editor_->PanelText(5), "0 profile shots");
        QCOMPARE(editor_->EditStatusText(0), "Col:0");
        QVERIFY(!editor_->btnDeleteRow->isEnabled());
        QVERIFY(!editor_->btnInsertRow->isEnabled());
        QVERIFY(editor_->findChild<QToolButton*>("btnDeleteRow") != nullptr);

        // "E&xit" hides the window; the tool button shows it again.
        Trigger(editor_, "Exit1");
        QVERIFY(!editor_->isVisible());
        main_->findChild<QToolButton*>("KvisEditBtn")->click();
        QVERIFY(editor_->isVisible());
        QCOMPARE(Messages(), QStringList());
    }

    void aClickInTheIndexColumnBeepsAndSelectsTheRow() {
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        ShowEditor();
        ClickCell(0, 3);
        QCOMPARE(dialogs_.TextsOf("Beep").size(), 1);
        QVERIFY(editor_->RowSelecting());
        QVERIFY(editor_->btnDeleteRow->isEnabled());
        QVERIFY(editor_->btnInsertRow->isEnabled());
        QCOMPARE(editor_->SelRow, 3);
        QCOMPARE(editor_->EditStatusText(0), "Col:0");
        QCOMPARE(editor_->EditStatusText(1), "Row:3");
        const QModelIndexList selected = editor_->StringGrid1->selectionModel()->selectedIndexes();
        QCOMPARE(selected.size(), 10);
        for (const QModelIndex& cell : selected)
            QCOMPARE(cell.row() + 1, 3);
        // A whole-row selection is not edited: typing changes nothing.
        QTest::keyClicks(editor_->StringGrid1, "99");
        QVERIFY(editor_->Model->Edits().Empty());

        ClickCell(4, 5);
        QCOMPARE(dialogs_.TextsOf("Beep").size(), 1);
        QVERIFY(!editor_->RowSelecting());
        QVERIFY(!editor_->btnDeleteRow->isEnabled());
        QCOMPARE(editor_->EditStatusText(0), "Col:4");
        QCOMPARE(editor_->EditStatusText(1), "Row:5");
        // Index cells and the rows past the lines take no typing.
        const QAbstractItemModel* model = editor_->StringGrid1->model();
        QVERIFY(!(model->flags(model->index(2, 0)) & Qt::ItemIsEditable));
        QVERIFY(!(model->flags(model->index(13, 3)) & Qt::ItemIsEditable));
        QVERIFY(model->flags(model->index(11, 3)) & Qt::ItemIsEditable);
    }

    void typedNamesAreCutOrPaddedToFour() {
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        ShowEditor();
        TypeInto(2, 3, "ABCDEF");
        TypeInto(1, 4, "B7");
        QCOMPARE(editor_->Cell(2, 3), "ABCDEF"); // shown as typed until stored
        QCOMPARE(Line(3).ToName, str4("A003"));
        Trigger(editor_, "Update1");
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        QCOMPARE(Line(3).ToName, str4("ABCD"));
        QCOMPARE(Line(4).FromName, str4("B7  "));
        QCOMPARE(editor_->Cell(2, 3), "ABCD");
        QVERIFY(editor_->Model->Edits().Empty());
    }

    void aBadNumberWarnsWithItsColumnAndKeepsTheOldValue() {
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        ShowEditor();
        const double oldCompass = Line(4).Compass;
        TypeInto(3, 4, "12,5");
        TypeInto(5, 4, "7.5");
        TypeInto(9, 7, "abc");
        Trigger(editor_, "Update1");
        QCOMPARE(dialogs_.TextsOf("Warning"),
                 QStringList({"Conversion error at col theta & row 4",
                              "Conversion error at col left & row 7"}));
        QCOMPARE(Line(4).Compass, oldCompass);
        QCOMPARE(Line(4).Length, 7.5);
        QCOMPARE(Line(7).Left, 2.0);
        // The bad text stays in its cell to be mended; mended, it is stored.
        QCOMPARE(editor_->Cell(3, 4), "12,5");
        QCOMPARE(editor_->Cell(5, 4), "    7.50");
        dialogs_.Clear();
        TypeInto(3, 4, "12.5");
        TypeInto(9, 7, "0.5");
        Trigger(editor_, "Update1");
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        QCOMPARE(Line(4).Compass, 12.5);
        QCOMPARE(Line(7).Left, 0.5);
    }

    void deleteRowThenUpdateReportsEveryNumberOfTheRow() {
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        ShowEditor();
        const double oldLength = Line(6).Length;
        ClickCell(0, 6);
        editor_->findChild<QToolButton*>("btnDeleteRow")->click();
        QCOMPARE(editor_->Cell(0, 6), "6");
        for (int col = 1; col < 10; ++col)
            QVERIFY(editor_->Cell(col, 6).isEmpty());
        QCOMPARE(editor_->Cell(1, 7), "A006"); // the rows around it are untouched
        Trigger(editor_, "Update1");
        QCOMPARE(dialogs_.TextsOf("Warning"), kEveryNumberOfRow6);
        QCOMPARE(Line(6).FromName, str4("    "));
        QCOMPARE(Line(6).ToName, str4("    "));
        QCOMPARE(Line(6).Length, oldLength);

        // The emptied cells stay empty and are reported again; past ten, in one list.
        dialogs_.Clear();
        ClickCell(0, 8);
        Trigger(editor_, "btnDeleteRow");
        Trigger(editor_, "Update1");
        QCOMPARE(dialogs_.TextsOf("Warning"), QStringList());
        QCOMPARE(dialogs_.TextsOf("Report").size(), 1);
        QCOMPARE(dialogs_.Asked.last().Lines.size(), 14);
        QCOMPARE(dialogs_.Asked.last().Lines.first(), kEveryNumberOfRow6.first());
        QCOMPARE(dialogs_.Asked.last().Lines.last(), "Conversion error at col left & row 8");
    }

    void aSmallerCaveLeavesNoStaleRow() {
        OpenSurvey("thirty.grt", Survey(30, "Trettihola"));
        ShowEditor();
        QCOMPARE(editor_->RowCount(), 31);
        QCOMPARE(editor_->Cell(1, 25), "A024");
        TypeInto(5, 20, "99"); // typed for the old cave, never stored into the new one
        // Opened while the editor shows: the editor follows.
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        QCOMPARE(editor_->RowCount(), 16);
        QCOMPARE(editor_->PanelText(2), "12 datalines");
        for (int row = 13; row < editor_->RowCount(); ++row)
            for (int col = 0; col < 10; ++col)
                QVERIFY(editor_->Cell(col, row).isEmpty());
        QVERIFY(editor_->Model->Edits().Empty());

        // Opened while hidden: the next showing fills the grid.
        Trigger(editor_, "Exit1");
        OpenSurvey("thirty.grt", Survey(30, "Trettihola"));
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        ShowEditor();
        QCOMPARE(editor_->RowCount(), 16);
        QVERIFY(editor_->Cell(0, 14).isEmpty());
        Trigger(editor_, "Update1");
        QCOMPARE(Messages(), QStringList());
        QCOMPARE(Cave.LineCount, 12);
    }

    void updateDoesNothingWithoutACave() {
        ShowEditor();
        QCOMPARE(editor_->RowCount(), 11);
        QCOMPARE(editor_->PanelText(1), "NOCAVE");
        QCOMPARE(editor_->PanelText(2), "0 datalines");
        Trigger(editor_, "Update1");
        QCOMPARE(Messages(), QStringList());
        QCOMPARE(Cave.LineCount, 0);

        // After a read that failed the old cave is no longer the loaded one.
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        Trigger(editor_, "Exit1");
        ShowEditor();
        TypeInto(5, 3, "55");
        dialogs_.Clear();
        OpenSurvey("broken.grt", QByteArray("Brokenhola\r\n;\r\n;\r\n360 360 zero 1\r\n"));
        QVERIFY(!DataLoaded);
        dialogs_.Clear();
        Trigger(editor_, "Update1");
        QCOMPARE(Messages(), QStringList());
        QCOMPARE(Line(3).Length, 10.0);
    }

    void aCellStillBeingTypedIsStoredByUpdate() {
        OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        ShowEditor();
        TypeInto(6, 2, "2.75", false);
        Trigger(editor_, "Update1");
        QCOMPARE(Messages(), QStringList());
        QCOMPARE(Line(2).Up, 2.75);
    }

    void theEditedModelSavedReadsBackWithTheEdits() {
        const QString original = OpenSurvey("twelve.grt", Survey(12, "Tolvhola"));
        ShowEditor();
        TypeInto(1, 5, "X1");
        TypeInto(4, 5, "-12.25");
        TypeInto(8, 9, "0.75");
        Trigger(editor_, "Update1");
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());

        const QString saved = Path("edited.grt");
        dialogs_.FileNames << saved;
        Trigger(main_.get(), "SaveBtn");
        QCOMPARE(dialogs_.TextsOf("Warning"), QStringList());

        const FixedClock clock("09.12.2026 10:00:00");
        TKviste before, after;
        std::string line2;
        QVERIFY(ReadSurveyFile(ToFileName(original), before, line2, clock).Ok);
        QVERIFY(ReadSurveyFile(ToFileName(saved), after, line2, clock).Ok);
        QCOMPARE(after.LineCount, 12);
        QCOMPARE(after.Lines[5].FromName, str4("X1  "));
        QCOMPARE(after.Lines[5].Clino, -12.25);
        QCOMPARE(after.Lines[9].Right, 0.75);
        for (int i = 1; i <= 12; ++i) {
            const Tdatalinje& a = after.Lines[static_cast<std::size_t>(i)];
            const Tdatalinje& b = before.Lines[static_cast<std::size_t>(i)];
            QCOMPARE(a.ToName, b.ToName);
            QCOMPARE(a.Compass, b.Compass);
            QCOMPARE(a.Length, b.Length);
            QCOMPARE(a.Up, b.Up);
            QCOMPARE(a.Left, b.Left);
            if (i != 5)
                QCOMPARE(a.FromName, b.FromName);
        }
    }
};

QTEST_MAIN(FormEditorTest)
#include "FormEditorTest.moc"
