// The read-only text view: loading, captions, 8-bit text and missing files.
#include "support/WindowTestSupport.h"

#include "shell/ChildForm.h"
#include "shell/TextLinesView.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QTemporaryDir>
#include <QtTest>

class ChildFormTest : public QObject {
    Q_OBJECT

private:
    ScriptedDialogs dialogs_;

private slots:
    void init() {
        dialogs_ = ScriptedDialogs();
        SetDialogs(&dialogs_);
    }
    void cleanup() { SetDialogs(nullptr); }

    void loadsWindows1252TextAndSetsTheCaption() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Kvitberghola.KRT");
        // "Ø" is the single byte D8 in every listing; 0x80 is the euro sign, 0x96 an en dash.
        WriteBytes(path, QByteArray("\xD8st \x80 \x96 line 1\r\nline 2\r\n"));
        TChildForm view;
        QVERIFY(view.LoadText(path));
        QCOMPARE(view.Memo1->toPlainText(),
                 QString::fromUtf8("\xC3\x98st \xE2\x82\xAC \xE2\x80\x93 line 1\nline 2\n"));
        QCOMPARE(view.windowTitle(), "kvitberghola.krt");
        QVERIFY(view.Memo1->isReadOnly());

        QVERIFY(view.LoadTextTitled(path, "Cartesian data"));
        QCOMPARE(view.windowTitle(), "Cartesian data");
        QVERIFY(dialogs_.Asked.isEmpty());
    }

    void missingFilesKeepThePreviousText() {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.txt");
        WriteBytes(path, "kept\r\n");
        TChildForm view;
        QVERIFY(view.LoadTextTitled(path, "Kept"));
        for (const QString& bad : {dir.filePath("gone.txt"), dir.path()}) {
            QVERIFY(!view.LoadTextTitled(bad, "Other"));
            QCOMPARE(view.Memo1->toPlainText(), "kept\n");
            QCOMPARE(view.windowTitle(), "Kept");
        }
        const QStringList warnings = dialogs_.TextsOf("Warning");
        QCOMPARE(warnings.size(), 2);
        QVERIFY(warnings[0].startsWith("Cannot open file \"" + dir.filePath("gone.txt") + "\""));
    }

    void saveTextWritesNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Out.TXT");
        TChildForm view;
        view.SaveText(path);
        QCOMPARE(dialogs_.TextsOf("Notice"), QStringList{"SaveData to " + path});
        QCOMPARE(view.windowTitle(), path.toLower());
        QVERIFY(!QFile::exists(path));
    }

    void windows1252RoundTripsEveryByte() {
        std::string all;
        for (int b = 0; b < 256; ++b)
            all.push_back(static_cast<char>(b));
        const QString text = DecodeWindows1252(all);
        QCOMPARE(text.size(), 256);
        // Five bytes have no character of their own and come back as themselves.
        QCOMPARE(EncodeWindows1252(text), all);
        QCOMPARE(EncodeWindows1252(QString::fromUtf8("\xE2\x88\x9E")), std::string("?"));
    }
};

QTEST_MAIN(ChildFormTest)
#include "ChildFormTest.moc"
