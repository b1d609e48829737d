// The read-only text view in which the main window shows listings, logs and data files.
#include "shell/ChildForm.h"

#include "model/FileIO.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QFileInfo>
#include <QPlainTextEdit>
#include <QVBoxLayout>

TChildForm::TChildForm(QWidget* parent) : QWidget(parent) {
    setObjectName("ChildForm");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(435, 300);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setBold(true);
    Memo1->setFont(font);
    QPalette palette = Memo1->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::ToolTipBase));
    palette.setColor(QPalette::Text, palette.color(QPalette::ToolTipText));
    Memo1->setPalette(palette);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Memo1);
}

bool TChildForm::LoadFile(const QString& fileName) {
    std::string bytes;
    std::string reason;
    if (!ReadWholeFile(ToFileName(fileName), bytes, reason)) {
        Dialogs().Warning(FileOpenError(fileName, reason));
        return false;
    }
    // Line ends are CR LF in every file the program writes; the view wants bare line breaks.
    QString text = DecodeWindows1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    Memo1->setPlainText(text);
    return true;
}

bool TChildForm::LoadText(const QString& fileName) {
    if (!LoadFile(fileName))
        return false;
    setWindowTitle(QFileInfo(fileName).fileName().toLower());
    return true;
}

bool TChildForm::LoadTextTitled(const QString& fileName, const QString& title) {
    if (!LoadFile(fileName))
        return false;
    setWindowTitle(title);
    return true;
}

void TChildForm::SaveText(const QString& fileName) {
    Dialogs().Notice("SaveData to " + fileName);
    setWindowTitle(fileName.toLower());
}
