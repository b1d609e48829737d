// The read-only text view: loading, captions, 8-bit text and missing files.
#include "support/WindowTestSupport.h"

#include "shell/ChildForm.h"
#include "shell/TextLinesView.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QClipboard>
#include <QScrollBar>
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

    void mouseSelectionCopiesTheDecodedText() {
        TChildForm view;
        view.resize(435, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        view.Memo1->SetBytes("\x80uro \xD8st\r\nsecond line\r\nthird\r\n");
        QWidget* port = view.Memo1->viewport();
        const QFontMetrics metrics = view.Memo1->fontMetrics();
        const int column = metrics.horizontalAdvance(QLatin1Char('M'));
        const int row = metrics.lineSpacing();
        // From the third character of the first line to the sixth of the second.
        const QPoint from(4 + 2 * column + 1, row / 2);
        const QPoint to(4 + 6 * column + 1, row + row / 2);
        QTest::mousePress(port, Qt::LeftButton, {}, from);
        QTest::mouseMove(port, to);
        QTest::mouseRelease(port, Qt::LeftButton, {}, to);
        QCOMPARE(view.Memo1->SelectedText(), QString::fromUtf8("ro \xC3\x98st\nsecond"));
        view.Memo1->setFocus();
        QApplication::clipboard()->clear();
        QTest::keySequence(view.Memo1, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), QString::fromUtf8("ro \xC3\x98st\nsecond"));

        // The selection is painted: the row of the second line holds highlight pixels.
        const QImage shot = port->grab().toImage();
        const QColor highlight = view.Memo1->palette().color(QPalette::Highlight);
        bool marked = false;
        for (int x = 0; x < shot.width() && !marked; ++x)
            marked = shot.pixelColor(x, row + row / 2) == highlight;
        QVERIFY(marked);

        // A double click takes the word; Select All the whole text.
        QTest::mouseDClick(port, Qt::LeftButton, {}, QPoint(4 + 8 * column, row + row / 2));
        QCOMPARE(view.Memo1->SelectedText(), "line");
        QTest::keySequence(view.Memo1, QKeySequence::SelectAll);
        QTest::keySequence(view.Memo1, QKeySequence::Copy);
        QCOMPARE(QApplication::clipboard()->text(), view.Memo1->toPlainText());
        QVERIFY(dialogs_.Asked.isEmpty());
    }

    void largeFilesScrollByLinesAndPages() {
        QByteArray bytes;
        for (int i = 0; i < 100'000; ++i)
            bytes += QByteArray::number(i).rightJustified(8) + "\t|\r\n";
        bytes += "the last line is the widest: " + QByteArray(100, 'w') + "\r\n";
        QTemporaryDir dir;
        const QString path = dir.filePath("big.krt");
        WriteBytes(path, bytes);
        TChildForm view;
        view.resize(435, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.LoadTextTitled(path, "Cartesian data"));
        TTextLinesView* memo = view.Memo1;
        QScrollBar* v = memo->verticalScrollBar();
        const int page = v->pageStep();
        QVERIFY(page > 1);
        QCOMPARE(v->maximum(), 100'002 - page);
        // The widest line sets how far the text scrolls sideways.
        const int column = memo->fontMetrics().horizontalAdvance(QLatin1Char('M'));
        QCOMPARE(memo->horizontalScrollBar()->maximum(),
                 129 * column + 8 - memo->viewport()->width());

        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_PageDown);
        QCOMPARE(memo->FirstVisibleLine(), page);
        QTest::keyClick(memo, Qt::Key_Down);
        QCOMPARE(memo->FirstVisibleLine(), page + 1);
        QTest::keyClick(memo, Qt::Key_End);
        QCOMPARE(memo->FirstVisibleLine(), v->maximum());
        QTest::keyClick(memo, Qt::Key_Home);
        QCOMPARE(memo->FirstVisibleLine(), 0);
        memo->EnsureLineVisible(50'000);
        QCOMPARE(memo->FirstVisibleLine(), 50'000 - page + 1);

        // A click deep in the file selects from the line under the mouse; past the middle of
        // the tab the selection takes it.
        const int row = memo->fontMetrics().lineSpacing();
        QTest::mouseClick(memo->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(4, row / 2));
        QTest::mouseClick(memo->viewport(), Qt::LeftButton, Qt::ShiftModifier,
                          QPoint(4 + 13 * column, row / 2));
        QCOMPARE(memo->SelectedText(), QString::number(50'000 - page + 1).rightJustified(8) + "\t");
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
