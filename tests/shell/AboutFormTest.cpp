// The About box: its texts and the credits panel.
#include "support/WindowTestSupport.h"

#include "shell/AboutForm.h"
#include "ui/UserDialogs.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class AboutFormTest : public QObject {
    Q_OBJECT

private:
    ScriptedDialogs dialogs_;

private slots:
    void init() {
        dialogs_ = ScriptedDialogs();
        SetDialogs(&dialogs_);
    }
    void cleanup() { SetDialogs(nullptr); }

    void creditsComeFromTheCurrentDirectory() {
        QTemporaryDir dir;
        CurrentDirectory cwd(dir.path());
        WriteBytes(dir.filePath("kviscredits4.txt"), "The team\r\nQt\r\n");
        TAboutForm about;
        QCOMPARE(about.windowTitle(), "About Kvistrel 4win");
        QCOMPARE(about.ProductName->text(), "Kvistrel WIN ");
        QCOMPARE(about.Version1->text(), "Version 4.023  januar 2006");
        about.show();
        QVERIFY(about.CreditsPanel->isHidden());

        about.CreditButton->click();
        QVERIFY(!about.CreditsPanel->isHidden());
        QVERIFY(about.CreditButton->isHidden());
        QCOMPARE(about.CreditMemo1->toPlainText(), "The team\nQt\n");
        QVERIFY(dialogs_.Asked.isEmpty());

        // Every showing starts without the credits.
        about.OKButton->click();
        QVERIFY(about.CreditsPanel->isHidden());
        QVERIFY(!about.CreditButton->isHidden());
    }

    void missingCreditsAreReportedOnce() {
        QTemporaryDir dir;
        CurrentDirectory cwd(dir.path());
        TAboutForm about;
        about.CreditMemo1->setPlainText("before");
        about.CreditButton->click();
        QCOMPARE(dialogs_.TextsOf("Warning").size(), 1);
        QVERIFY(dialogs_.TextsOf("Warning")[0].contains("kviscredits4.txt"));
        QCOMPARE(about.CreditMemo1->toPlainText(), "before");
    }

    void theShippedCreditsFileReads() {
        QTemporaryDir dir;
        CurrentDirectory cwd(dir.path());
        QVERIFY(QFile::copy(KV_SOURCE_DIR "/src/shell/resources/kviscredits4.txt",
                            dir.filePath("kviscredits4.txt")));
        TAboutForm about;
        about.CreditButton->click();
        QVERIFY(dialogs_.Asked.isEmpty());
        QVERIFY(about.CreditMemo1->toPlainText().contains("GoogleTest"));
    }
};

QTEST_MAIN(AboutFormTest)
#include "AboutFormTest.moc"
