// The read-only text view in which the main window shows listings, logs and data files.
#include "shell/ChildForm.h"

#include "shell/TextLinesView.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QFileInfo>
#include <QVBoxLayout>

TChildForm::TChildForm(QWidget* parent) : QWidget(parent) {
    setObjectName("ChildForm");
    setAttribute(Qt::WA_DeleteOnClose);
    resize(435, 300);

    Memo1 = new TTextLinesView(this);
    Memo1->setObjectName("Memo1");
    QFont font("Courier New");
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
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
    std::string reason;
    if (!Memo1->Load(ToFileName(fileName), reason)) {
        Dialogs().Warning(FileOpenError(fileName, reason));
        return false;
    }
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
