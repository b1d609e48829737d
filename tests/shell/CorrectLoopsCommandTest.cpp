// "Correct Loops" in the main window: the status panel after a run, the refusal of a survey
// too large to correct.
#include "support/MainFormRig.h"

#include "model/ProgramState.h"
#include "shell/MainForm.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class CorrectLoopsCommandTest : public QObject {
    Q_OBJECT

private:
    TMainFormRig rig_;
    ScriptedDialogs& dialogs_ = rig_.Dialogs;
    std::unique_ptr<TMainForm>& form_ = rig_.Form;

    QString Path(const QString& name) const { return rig_.Path(name); }
    void Run(const QString& command) { form_->findChild<QAction*>(command)->trigger(); }
    void Open(const QString& name, const QByteArray& bytes) {
        QVERIFY(WriteBytes(Path(name), bytes));
        dialogs_.FileNames << Path(name);
        Run("OpenFileBtn");
        QVERIFY(Processed);
    }
    QString Status() const {
        auto* label = form_->statusBar()->findChild<QLabel*>("CorrectionStatus");
        return label ? label->text() : QString();
    }

private slots:
    void init() { QVERIFY(rig_.Start()); }

    void cleanup() { rig_.Stop(); }

    void statusTellsLoopsAndCycles() {
        Open("cave.grt", kSmallSurvey);
        QVERIFY(Status().isEmpty());
        Run("CorrectLoopsBtn");
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
        QCOMPARE(Status(), QString("Corrected 1 loop in 10 cycles"));
        // The file panels stay visible beside it.
        QVERIFY(form_->findChild<QLabel*>("StatusPanel1")->isVisibleTo(form_.get()));
    }

    void tooManyLoopsAreRefusedThroughTheDialogs() {
        QByteArray survey = "One station\r\n;\r\ninfo\r\n360 360 0 1\r\n0 0 0\r\n";
        for (int i = 0; i < 250; ++i)
            survey += "A1   A1   " + QByteArray::number(i) + " 0 1 0 0 0 0\r\n";
        Open("one.grt", survey);
        const TVec3 before = Cave.Lines[200].Pos;
        QElapsedTimer clock;
        clock.start();
        Run("CorrectLoopsBtn");
        QVERIFY(clock.elapsed() < 1000);
        const QStringList warnings = dialogs_.TextsOf("Warning");
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].contains("31125 loops"), qPrintable(warnings[0]));
        QVERIFY(warnings[0].contains("Nothing was written or changed."));
        QVERIFY(Status().isEmpty());
        QVERIFY(!QFile::exists(Path("one.Fix")));
        QVERIFY(!QFile::exists(Path("one.tmp")));
        QCOMPARE(Cave.Lines[200].Pos, before);
    }
};

QTEST_MAIN(CorrectLoopsCommandTest)
#include "CorrectLoopsCommandTest.moc"
