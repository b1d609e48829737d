// The main window driven offscreen: opening, saving, the views, the Window menu and the panels.
#include "support/MainFormRig.h"

#include "model/ProgramState.h"
#include "model/SurveyReader.h"
#include "model/TextClock.h"
#include "plot/KvisPlotForm1.h"
#include "shell/AboutForm.h"
#include "shell/ChildForm.h"
#include "shell/MainForm.h"
#include "shell/TextLinesView.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

namespace {

// Every command that needs data, by the name of its action or submenu.
const QStringList kDataCommands = {"SaveBtn",         "SaveAsItem",      "PrintBtn",
                                   "CartesianBtn",    "ViewCommentsBtn", "DistancesBtn",
                                   "ViewDataFileBtn", "ViewLogFileBtn",  "ViewProfileScansBtn",
                                   "OpenAllPropBtn",  "CorrectLoopsBtn", "PlotCaveBtn",
                                   "StatisticsBtn",   "ExportDataItem",  "ViewResultsItem"};

const QStringList kWindowCommands = {"CascadeItem", "TileItem", "ArrangeIconsItem",
                                     "MinimizeAllItem", "CloseAllItem"};

QStringList Titles(const TMainForm& form) {
    QStringList titles;
    for (QMdiSubWindow* sub : form.MdiArea->subWindowList(QMdiArea::CreationOrder))
        titles << sub->windowTitle();
    return titles;
}

TChildForm* ViewTitled(const TMainForm& form, const QString& title) {
    for (QMdiSubWindow* sub : form.MdiArea->subWindowList())
        if (sub->windowTitle() == title)
            return qobject_cast<TChildForm*>(sub->widget());
    return nullptr;
}

// What Qt prints while a test runs, to catch "Ambiguous shortcut overload".
QStringList gMessages;
void CaptureMessage(QtMsgType, const QMessageLogContext&, const QString& text) {
    gMessages << text;
}

class CapturedMessages {
public:
    CapturedMessages() : old_(qInstallMessageHandler(CaptureMessage)) { gMessages.clear(); }
    ~CapturedMessages() { qInstallMessageHandler(old_); }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;
    QStringList Ambiguous() const { return gMessages.filter("Ambiguous"); }

private:
    QtMessageHandler old_;
};

// A key as the user presses it: to the widget with the focus, shortcuts looked up first.
void Press(QWidget* window, const QKeySequence& key) {
    QWidget* target = QApplication::focusWidget();
    QTest::keySequence(target != nullptr ? target : window, key);
}

} // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private:
    TMainFormRig rig_;
    ScriptedDialogs& dialogs_ = rig_.Dialogs;
    std::unique_ptr<TMainForm>& form_ = rig_.Form;

    QString Path(const QString& name) const { return rig_.Path(name); }
    QAction* Command(const QString& name) const {
        auto* action = form_->findChild<QAction*>(name);
        if (action == nullptr)
            qFatal("no command %s", qPrintable(name));
        return action;
    }
    // Opens a file through File > Open, the dialog answering with its name.
    void Open(const QString& fileName) {
        dialogs_.FileNames << fileName;
        Command("OpenFileBtn")->trigger();
    }
    int FileQuestions() const {
        return static_cast<int>(dialogs_.TextsOf("OpenFileName").size() +
                                dialogs_.TextsOf("SaveFileName").size());
    }
    void ShowActive() {
        form_->show();
        QApplication::setActiveWindow(form_.get());
        QVERIFY(QTest::qWaitForWindowActive(form_.get()));
    }
    QString OpenSmall(const QString& name = "cave.grt") {
        const QString path = Path(name);
        WriteBytes(path, kSmallSurvey);
        Open(path);
        return path;
    }

private slots:
    void init() {
        QVERIFY(rig_.Start()); // the start-up icon question is tested on its own
    }

    void cleanup() { rig_.Stop(); }

    void plotCaveOpensOneWindowPerCommand() {
        Command("PlotCaveBtn")->trigger(); // nothing loaded: nothing opens
        QVERIFY(form_->MdiArea->subWindowList().isEmpty());

        OpenSmall();
        Command("PlotCaveBtn")->trigger();
        Command("PlotCaveBtn")->trigger();
        QList<TKvisPlotForm1*> plots;
        for (QMdiSubWindow* sub : form_->MdiArea->subWindowList())
            if (auto* plot = qobject_cast<TKvisPlotForm1*>(sub->widget()))
                plots << plot;
        QCOMPARE(plots.size(), 2);
        QVERIFY(plots[0] != plots[1]);
        // A loop correction redraws the open plots; closing them leaves the main window working.
        Command("CorrectLoopsBtn")->trigger();
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        Command("CloseAllItem")->trigger();
        QTRY_VERIFY(form_->MdiArea->subWindowList().isEmpty());
    }

    void mainKeysWorkWhereNoChildTakesThem() {
        ShowActive();
        CapturedMessages messages;
        Press(form_.get(), Qt::Key_F3);
        QCOMPARE(dialogs_.TextsOf("OpenFileName").size(), 1);
        OpenSmall();
        dialogs_.Clear();
        Press(form_.get(), Qt::Key_F2);
        QCOMPARE(dialogs_.TextsOf("SaveFileName").size(), 1);

        // A text view has no keys of its own: they come back to the main window's commands.
        Command("CartesianBtn")->trigger();
        TChildForm* view = ViewTitled(*form_, "Cartesian data");
        view->Memo1->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), view->Memo1);
        dialogs_.Clear();
        Press(form_.get(), Qt::Key_F3);
        Press(form_.get(), Qt::Key_F2);
        QCOMPARE(dialogs_.TextsOf("OpenFileName").size(), 1);
        QCOMPARE(dialogs_.TextsOf("SaveFileName").size(), 1);
        // Keys the view does use stay with it.
        Press(form_.get(), QKeySequence::SelectAll);
        QVERIFY(view->Memo1->HasSelection());
        QCOMPARE(dialogs_.Asked.size(), 2);

        Press(form_.get(), QKeySequence("Alt+X"));
        QTRY_VERIFY(!form_->isVisible());
        QVERIFY(messages.Ambiguous().isEmpty());
    }

    void activePlotWindowKeepsItsKeys() {
        ShowActive();
        OpenSmall();
        Command("PlotCaveBtn")->trigger();
        QMdiSubWindow* sub = form_->MdiArea->activeSubWindow();
        QVERIFY(sub != nullptr && qobject_cast<TKvisPlotForm1*>(sub->widget()) != nullptr);
        sub->widget()->setFocus();
        QTRY_VERIFY(sub->isAncestorOf(QApplication::focusWidget()));
        dialogs_.Clear();
        CapturedMessages messages;
        Press(form_.get(), Qt::Key_F2);
        Press(form_.get(), Qt::Key_F3);
        Press(form_.get(), Qt::Key_F2);
        Press(form_.get(), Qt::Key_F3);
        QCOMPARE(FileQuestions(), 0);
        // Both menu bars have "&Tools": the plot's opens.
        auto* plotBar = sub->widget()->findChild<QMenuBar*>();
        Press(form_.get(), QKeySequence("Alt+T"));
        QVERIFY(plotBar->activeAction() != nullptr);
        QCOMPARE(plotBar->activeAction()->text(), "&Tools");
        QVERIFY(form_->menuBar()->activeAction() == nullptr);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QTRY_VERIFY(sub->isAncestorOf(QApplication::focusWidget()));
        // Alt+X is the plot window's Exit: the plot closes, the program stays.
        Press(form_.get(), QKeySequence("Alt+X"));
        QTRY_VERIFY(form_->MdiArea->subWindowList().isEmpty());
        QVERIFY(form_->isVisible());
        QVERIFY2(messages.Ambiguous().isEmpty(), qPrintable(messages.Ambiguous().join('\n')));

        // The plot gone, the main window's keys are its own again.
        Press(form_.get(), Qt::Key_F3);
        QCOMPARE(dialogs_.TextsOf("OpenFileName").size(), 1);
        QCOMPARE(Command("OpenFileBtn")->shortcut(), QKeySequence(Qt::Key_F3));
        QStringList titles;
        for (const QAction* title : form_->menuBar()->actions())
            titles << title->text();
        QVERIFY2(titles.contains("&Tools"), qPrintable(titles.join(' ')));
    }

    void childShortcutsWinOverTheMainWindows() {
        ShowActive();
        OpenSmall();
        // A child with commands on the main window's keys.
        auto* child = new QMainWindow;
        int opened = 0;
        int exited = 0;
        QMenu* menu = child->menuBar()->addMenu("&File");
        auto* open = menu->addAction("&Open", [&] { ++opened; });
        open->setShortcut(Qt::Key_F3);
        auto* exit = menu->addAction("E&xit", [&] { ++exited; });
        exit->setShortcut(QKeySequence("Alt+X"));
        auto* edit = new QLineEdit(child);
        child->setCentralWidget(edit);
        form_->MdiArea->addSubWindow(child)->show();
        edit->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), edit);
        dialogs_.Clear();
        CapturedMessages messages;
        Press(form_.get(), Qt::Key_F3);
        Press(form_.get(), QKeySequence("Alt+X"));
        QCOMPARE(opened, 1);
        QCOMPARE(exited, 1);
        QCOMPARE(FileQuestions(), 0);
        QVERIFY(form_->isVisible());
        // A key the child has no use for still reaches the main window.
        Press(form_.get(), Qt::Key_F2);
        QCOMPARE(dialogs_.TextsOf("SaveFileName").size(), 1);
        QVERIFY(messages.Ambiguous().isEmpty());
    }

    void startsEmptyAndWarnsOnlyWithoutTheIcon() {
        QVERIFY(!DataLoaded && !Processed);
        QCOMPARE(CorrectionCycles, 10);
        QCOMPARE(form_->windowTitle(),
                 "Kvistrel 4  for Windows . Program for processing and plotting cave survey data");
        QCOMPARE(form_->NameVersionLabel->text(), " K V I S T R E L   4.023   for Windows");
        QCOMPARE(form_->DateLabel->text(), " januar 2006");
        QCOMPARE(form_->PanelText(1), "NOCAVEXX");

        // The test directory holds no icon and neither does the test program's folder.
        form_.reset();
        dialogs_.Clear();
        form_ = std::make_unique<TMainForm>();
        QCOMPARE(dialogs_.TextsOf("Warning").size(), 1);
        QVERIFY(dialogs_.TextsOf("Warning").first().contains("Kvistrel4.ICO"));

        QVERIFY(
            QFile::copy(KV_SOURCE_DIR "/src/shell/resources/Kvistrel4.ICO", Path("Kvistrel4.ICO")));
        form_.reset();
        dialogs_.Clear();
        form_ = std::make_unique<TMainForm>();
        QVERIFY(dialogs_.Asked.isEmpty());
        QVERIFY(!form_->windowIcon().isNull());
    }

    void openingEnablesTheDataCommandsAndFillsThePanels() {
        form_->UpdateCommandStates();
        for (const QString& name : kDataCommands)
            QVERIFY2(!Command(name)->isEnabled(), qPrintable(name));
        QVERIFY(Command("OpenFileBtn")->isEnabled());
        // A tool button is the same command as its menu item.
        QCOMPARE(form_->findChild<QToolButton*>("CartesianBtn")->defaultAction(),
                 Command("CartesianBtn"));
        QCOMPARE(Command("CartesianBtn")->toolTip(), "View cartesian Data");

        const QString path = OpenSmall();
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        QVERIFY(DataLoaded && Processed);
        QCOMPARE(QString::fromStdString(CurrentFile), path);
        QCOMPARE(form_->PanelText(0), "cave.grt");
        QCOMPARE(form_->PanelText(1), "Testhola");
        QCOMPARE(form_->PanelText(2), "4 lines");
        QCOMPARE(form_->PanelText(3), "2 comments");
        QCOMPARE(form_->PanelText(4), "1 Instruments");
        QCOMPARE(form_->PanelText(5), "2 Profile shots");
        for (const QString& name : kDataCommands)
            QVERIFY2(Command(name)->isEnabled(), qPrintable(name));
        for (const char* ext : {".krt", ".kom", ".sta", ".scn"})
            QVERIFY2(QFile::exists(Path(QString("cave") + ext)), ext);
    }

    void openingTheExampleCaveNeedsNoQuestions() {
        const QString example = KV_SOURCE_DIR "/examples/Kvitberghola.grt";
        if (!QFile::exists(example))
            QSKIP("the example cave is not there yet");
        QVERIFY(QFile::copy(example, Path("Kvitberghola.grt")));
        Open(Path("Kvitberghola.grt"));
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        QVERIFY(dialogs_.TextsOf("Report").isEmpty());
        QVERIFY(DataLoaded && Processed);
        QCOMPARE(form_->PanelText(0), "Kvitberghola.grt");
    }

    void failedReadsClearBothFlags() {
        OpenSmall();
        QByteArray broken = kSmallSurvey;
        broken.replace("14.00", "14,00");
        const QString bad = Path("bad.grt");
        WriteBytes(bad, broken);
        Open(bad);
        QVERIFY(!DataLoaded && !Processed);
        const QStringList warnings = dialogs_.TextsOf("Warning");
        QCOMPARE(warnings.size(), 2);
        QVERIFY2(warnings[0].startsWith("File reading Error at line "), qPrintable(warnings[0]));
        QCOMPARE(warnings[1], "Could NOT read " + bad);
        form_->UpdateCommandStates();
        for (const QString& name : kDataCommands)
            QVERIFY2(!Command(name)->isEnabled(), qPrintable(name));

        dialogs_.Clear();
        const QString missing = Path("missing.grt");
        Open(missing);
        QCOMPARE(dialogs_.TextsOf("Warning").size(), 1);
        QVERIFY(dialogs_.TextsOf("Warning")[0].startsWith("Could NOT read " + missing));
        // Views ask nothing while no data is processed.
        Command("StatisticsBtn")->setEnabled(true);
        Command("StatisticsBtn")->trigger();
        QVERIFY(form_->MdiArea->subWindowList().isEmpty());
    }

    void unlinkedShotsAreListedInOneReport() {
        QByteArray survey = kSmallSurvey;
        for (int i = 0; i < 3; ++i)
            survey += QByteArray("X00") + char('1' + i) + " B00" + char('1' + i) +
                      " 0.00 0.00 5.00 1.00 1.00 1.00 1.00\r\n";
        WriteBytes(Path("loose.grt"), survey);
        Open(Path("loose.grt"));
        QVERIFY(DataLoaded && Processed);
        QCOMPARE(dialogs_.TextsOf("Report").size(), 1);
        const QStringList lines = dialogs_.Asked.last().Lines;
        QCOMPARE(lines.size(), 3);
        for (const QString& line : lines)
            QVERIFY2(line.startsWith("Connectivity FAILED! Station X00"), qPrintable(line));
        QVERIFY(lines[2].contains(" in line 7"));
    }

    void recentFilesKeepTheSixNewestWithDuplicates() {
        QVERIFY(!Command("FileSep2")->isVisible());
        QStringList paths;
        for (int i = 1; i <= 7; ++i)
            paths << OpenSmall(QStringLiteral("cave%1.grt").arg(i));
        QVERIFY(Command("FileSep2")->isVisible());
        const QStringList names = {"FileName1", "FileName2", "FileName3",
                                   "FileName4", "FileName5", "Filename6"};
        for (int i = 0; i < 6; ++i) {
            QVERIFY(Command(names[i])->isVisible());
            QCOMPARE(Command(names[i])->text(), QStringLiteral("&%1 ").arg(i + 1) + paths[6 - i]);
        }

        Open(paths[6]);
        QCOMPARE(Command("FileName1")->text(), "&1 " + paths[6]);
        QCOMPARE(Command("FileName2")->text(), "&2 " + paths[6]);
        QCOMPARE(Command("Filename6")->text(), "&6 " + paths[2]);

        // A recent item processes its file and leaves the list as it is.
        Command("FileName4")->trigger();
        QCOMPARE(QString::fromStdString(CurrentFile), paths[4]);
        QCOMPARE(Command("FileName4")->text(), "&4 " + paths[4]);
        QCOMPARE(Command("FileName1")->text(), "&1 " + paths[6]);
    }

    void saveBacksUpTheOverwrittenFileBesideIt() {
        const QString original = OpenSmall();
        TKviste loaded = Cave;

        // A new name: no backup anywhere.
        const QString fresh = Path("copy.grt");
        dialogs_.FileNames << fresh;
        Command("SaveBtn")->trigger();
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        QCOMPARE(dialogs_.TextsOf("Notice"), QStringList{"4 lines saved in: " + fresh + " ! "});
        QVERIFY(!QFile::exists(Path("copy.BAC")));
        TKviste again;
        std::string line2;
        QVERIFY(ReadSurveyFile(fresh.toStdString(), again, line2, FixedClock("x")).Ok);
        QCOMPARE(again.LineCount, loaded.LineCount);
        QCOMPARE(again.CommentCount, loaded.CommentCount);
        QCOMPARE(again.ScanPointCount, loaded.ScanPointCount);
        for (int i = 1; i <= loaded.LineCount; ++i) {
            const Tdatalinje& a = loaded.Lines[i];
            const Tdatalinje& b = again.Lines[i];
            QVERIFY(a.FromName == b.FromName && a.ToName == b.ToName);
            QCOMPARE(b.Compass, a.Compass);
            QCOMPARE(b.Length, a.Length);
            QCOMPARE(b.ScanCount, a.ScanCount);
        }

        // Over the file that was read, from another current directory: the backup lies beside
        // it and holds the old bytes; Save As does the same as Save.
        QTemporaryDir elsewhere;
        CurrentDirectory cwd(elsewhere.path());
        const QByteArray oldBytes = ReadBytes(original);
        dialogs_.Clear();
        dialogs_.FileNames << original;
        Command("SaveAsItem")->trigger();
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        QCOMPARE(ReadBytes(Path("cave.BAC")), oldBytes);
        QVERIFY(!QFile::exists(elsewhere.filePath("cave.BAC")));
        QVERIFY(ReadBytes(original).contains("File written by Kvistrel"));

        // A name with another extension writes the ".grt" file and backs that one up.
        dialogs_.Clear();
        dialogs_.FileNames << Path("cave.txt");
        Command("SaveBtn")->trigger();
        QVERIFY(!QFile::exists(Path("cave.txt")));
        QVERIFY(ReadBytes(Path("cave.BAC")).contains("File written by Kvistrel"));

        // A write that fails says so; nothing claims success.
        dialogs_.Clear();
        const QString nowhere = Path("no/such/folder/cave.grt");
        dialogs_.FileNames << nowhere;
        Command("SaveBtn")->trigger();
        QVERIFY(dialogs_.TextsOf("Notice").isEmpty());
        QCOMPARE(dialogs_.TextsOf("Warning").size(), 1);
        QVERIFY(dialogs_.TextsOf("Warning")[0].startsWith("Could NOT write " + nowhere));

        // Cancelling the dialog writes nothing.
        dialogs_.Clear();
        Command("SaveBtn")->trigger();
        QCOMPARE(dialogs_.Asked.size(), 1);
    }

    void viewsShowTheirFilesUnderTheirTitles() {
        const QString path = OpenSmall();
        const struct {
            const char* command;
            const char* title;
            QString file;
        } views[] = {
            {"CartesianBtn", "Cartesian data", Path("cave.krt")},
            {"ViewCommentsBtn", "Comments", Path("cave.kom")},
            {"ViewProfileScansBtn", "Profile Scans", Path("cave.scn")},
            {"StatisticsBtn", "Statistics", Path("cave.sta")},
            {"ViewDataFileBtn", "cave.grt", path},
            {"ViewLogFileBtn", "LogFile", Path("Kvistrel.log")},
        };
        for (const auto& view : views) {
            Command(view.command)->trigger();
            TChildForm* child = ViewTitled(*form_, view.title);
            QVERIFY2(child != nullptr, view.title);
            QCOMPARE(child->Memo1->toPlainText(), AsShown(ReadBytes(view.file)));
            QVERIFY(child->Memo1->isReadOnly());
        }
        QVERIFY(ViewTitled(*form_, "LogFile")
                    ->Memo1->toPlainText()
                    .startsWith("File reading LogFile for : "));
        // The data file keeps its name for every later command.
        QCOMPARE(QString::fromStdString(CurrentFile), path);

        Command("CorrectLoopsBtn")->trigger();
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        Command("CorrectionFitItem")->trigger();
        Command("LoopFileItem")->trigger();
        Command("LoopLogFileItem")->trigger();
        QCOMPARE(ViewTitled(*form_, "Loop Correction Fit")->Memo1->toPlainText(),
                 AsShown(ReadBytes(Path("cave.Fix"))));
        QCOMPARE(ViewTitled(*form_, "Loop File")->Memo1->toPlainText(),
                 AsShown(ReadBytes(Path("cave.lop"))));
        QCOMPARE(ViewTitled(*form_, "Loop Correction log")->Memo1->toPlainText(),
                 AsShown(ReadBytes(Path("cave.Log"))));
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());

        // A listing deleted after processing: the error, and the view stays under the file name.
        QFile::remove(Path("cave.sta"));
        Command("StatisticsBtn")->trigger();
        QCOMPARE(dialogs_.TextsOf("Warning").size(), 1);
        QVERIFY(dialogs_.TextsOf("Warning")[0].contains("cave.sta"));
        QVERIFY(ViewTitled(*form_, "cave.sta") != nullptr);
    }

    void windowMenuOpensArrangesAndClosesViews() {
        OpenSmall();
        form_->UpdateCommandStates();
        for (const QString& name : kWindowCommands)
            QVERIFY2(!Command(name)->isEnabled(), qPrintable(name));

        Command("StatisticsBtn")->trigger();
        Command("OpenAllPropBtn")->trigger();
        QCOMPARE(Titles(*form_), (QStringList{"cave.grt", "Cartesian data", "Comments",
                                              "Profile Scans", "Statistics", "LogFile"}));
        for (const QString& name : kWindowCommands)
            QVERIFY2(Command(name)->isEnabled(), qPrintable(name));

        Command("MinimizeAllItem")->trigger();
        for (QMdiSubWindow* sub : form_->MdiArea->subWindowList())
            QVERIFY(sub->isMinimized());
        Command("ArrangeIconsItem")->trigger();
        Command("TileItem")->trigger();
        Command("CascadeItem")->trigger();

        Command("CloseAllItem")->trigger();
        QTRY_VERIFY(form_->MdiArea->subWindowList().isEmpty());
        form_->UpdateCommandStates();
        for (const QString& name : kWindowCommands)
            QVERIFY2(!Command(name)->isEnabled(), qPrintable(name));
    }

    void setCyclesStoresTheSpinValue() {
        QVERIFY(form_->CorrCyclePanel->isHidden());
        Command("SetCyclesBtn")->trigger();
        QVERIFY(!form_->CorrCyclePanel->isHidden());
        auto* spin = form_->findChild<QSpinBox*>("CorrCycleSpinEdit1");
        QCOMPARE(spin->value(), 10);
        spin->setValue(25);
        QCOMPARE(spin->value(), 20);
        spin->setValue(0);
        QCOMPARE(spin->value(), 1);
        spin->setValue(15);
        // The label reads clearly on the panel, which does not take the frame's black.
        QLabel* label = form_->CorrCyclePanel->findChild<QLabel*>();
        QCOMPARE(label->text(), "Set  correction cycles");
        const QImage shot = form_->CorrCyclePanel->grab().toImage();
        const QRect area = label->geometry();
        const int background = qGray(shot.pixel(area.topLeft()));
        int contrast = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                contrast = std::max(contrast, std::abs(qGray(shot.pixel(x, y)) - background));
        QVERIFY2(contrast > 120, "the label's text hardly stands out");

        form_->findChild<QPushButton*>("CorrCycleOKBtn")->click();
        QCOMPARE(CorrectionCycles, 15);
        QVERIFY(form_->CorrCyclePanel->isHidden());
    }

    void toolsMenuTogglesTheToolbars() {
        auto* toggle = Command("ToolbarToggle2");
        form_->UpdateCommandStates();
        QVERIFY(toggle->isChecked());
        toggle->trigger();
        QVERIFY(form_->ToolBars[1]->isHidden());
        QVERIFY(!toggle->isChecked());
        Command("HideAllItem")->trigger();
        for (QToolBar* bar : form_->ToolBars)
            QVERIFY(bar->isHidden());
        Command("ShowAllItem")->trigger();
        for (QToolBar* bar : form_->ToolBars)
            QVERIFY(!bar->isHidden());
        QVERIFY(toggle->isChecked());
    }

    void aboutBoxIsShownModallyWithoutCredits() {
        bool seen = false;
        QTimer::singleShot(0, form_.get(), [&] {
            seen = form_->AboutForm->isVisible() && form_->AboutForm->isModal() &&
                   form_->AboutForm->CreditsPanel->isHidden();
            form_->AboutForm->OKButton->click();
        });
        Command("AboutItem")->trigger();
        QVERIFY(seen);
    }
};

QTEST_MAIN(MainFormTest)
#include "MainFormTest.moc"
