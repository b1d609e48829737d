// Loop Correction > Least Squares Adjustment driven offscreen, the dialog answered by the test.
#include "support/MainFormRig.h"

#include "SurveyGenerator.h"
#include "model/ProgramState.h"
#include "plot/KvisPlotForm1.h"
#include "shell/AdjustmentDialog.h"
#include "shell/ChildForm.h"
#include "shell/MainForm.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QDoubleSpinBox>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class AdjustmentDialogTest : public QObject {
    Q_OBJECT

private:
    TMainFormRig rig_;
    ScriptedDialogs& dialogs_ = rig_.Dialogs;
    std::unique_ptr<TMainForm>& form_ = rig_.Form;
    int asked_ = 0;

    QString Path(const QString& name) const { return rig_.Path(name); }
    void Adjust() { form_->findChild<QAction*>("LeastSquaresBtn")->trigger(); }
    // The dialog is filled with these values and answered OK, or Cancel when ok is false.
    void Answer(double tape, double compass, double clino, bool ok = true) {
        TAdjustmentDialog::SetAnswerer([=, this](TAdjustmentDialog& d) {
            ++asked_;
            d.SdTapeSpinEdit->setValue(tape);
            d.SdCompassSpinEdit->setValue(compass);
            d.SdClinoSpinEdit->setValue(clino);
            return ok;
        });
    }
    QStringList Titles() const {
        QStringList titles;
        for (QMdiSubWindow* sub : form_->MdiArea->subWindowList())
            titles << sub->windowTitle();
        return titles;
    }

private slots:
    void init() {
        QVERIFY(rig_.Start());
        AdjustmentSettings() = TAdjustmentSettings();
        asked_ = 0;
        TGeneratorOptions g;
        g.Shots = 3000;
        g.LoopShare = 0.05;
        const std::string text = GenerateSurvey(g);
        WriteBytes(Path("gen.grt"), QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    }

    void cleanup() {
        TAdjustmentDialog::SetAnswerer(nullptr);
        rig_.Stop();
    }

    void adjustsRedrawsAndOpensTheReport() {
        Adjust(); // nothing loaded: nothing is asked
        QCOMPARE(asked_, 0);

        form_->ProcessFile(Path("gen.grt"));
        QVERIFY(Processed);
        form_->findChild<QAction*>("PlotCaveBtn")->trigger();
        const KvisArray before = Cave.Lines;
        Answer(0.05, 1.5, 2.0);
        Adjust();
        QCOMPARE(asked_, 1);
        QVERIFY2(dialogs_.TextsOf("Warning").isEmpty(),
                 qPrintable(dialogs_.TextsOf("Warning").join("\n")));
        QVERIFY(QFile::exists(Path("gen.lsq")));
        QVERIFY(Titles().contains("Least Squares Adjustment"));
        int moved = 0;
        for (int i = 1; i <= Cave.LineCount; ++i) {
            moved += Cave.Lines[i].Pos == before[i].Pos ? 0 : 1;
            QCOMPARE(Cave.Lines[i].RawPos, before[i].RawPos);
        }
        QVERIFY(moved > 0);
        // The settings are kept for the next run; the report names them.
        QCOMPARE(AdjustmentSettings().SdCompass, 1.5);
        QFile report(Path("gen.lsq"));
        QVERIFY(report.open(QIODevice::ReadOnly));
        QVERIFY(report.readAll().contains("tape 0.050 m, compass 1.50 degrees, clino 2.00"));

        TAdjustmentDialog::SetAnswerer([](TAdjustmentDialog& d) {
            return d.SdCompassSpinEdit->value() == 1.5; // opens with the last values
        });
        Adjust();
        QVERIFY(dialogs_.TextsOf("Warning").isEmpty());
    }

    void cancelAndSingularChangeNothing() {
        form_->ProcessFile(Path("gen.grt"));
        const KvisArray before = Cave.Lines;
        Answer(0.1, 2.5, 2.5, false);
        Adjust();
        QCOMPARE(asked_, 1);
        QVERIFY(!QFile::exists(Path("gen.lsq")));

        Answer(0, 0, 0);
        Adjust();
        QCOMPARE(dialogs_.TextsOf("Warning").size(), 1);
        QVERIFY(dialogs_.TextsOf("Warning").first().startsWith(
            "Least squares adjustment failed: The shot in line"));
        QVERIFY(!QFile::exists(Path("gen.lsq")));
        for (int i = 1; i <= Cave.LineCount; ++i)
            QCOMPARE(Cave.Lines[i].Pos, before[i].Pos);
        QVERIFY(!Titles().contains("Least Squares Adjustment"));
    }
};

QTEST_MAIN(AdjustmentDialogTest)
#include "AdjustmentDialogTest.moc"
