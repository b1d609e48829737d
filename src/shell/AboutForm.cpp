// The About box with its credits panel.
#include "shell/AboutForm.h"

#include "model/FileIO.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TAboutForm::TAboutForm(QWidget* parent) : QDialog(parent) {
    InitShellResources();
    setObjectName("AboutForm");
    setWindowTitle("About Kvistrel 4win");
    setModal(true);

    Panel1 = new QFrame(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setGeometry(8, 8, 384, 216);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName("ProgramIcon");
    ProgramIcon->setPixmap(QPixmap(":/kvshell/passage.png")
                               .scaled(150, 100, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    ProgramIcon->setGeometry(8, 8, 150, 100);

    QFont big = font();
    big.setPointSize(big.pointSize() + 4);
    big.setBold(true);
    ProductName = new QLabel("Kvistrel WIN ", Panel1);
    ProductName->setObjectName("ProductName");
    ProductName->setFont(big);
    ProductName->setGeometry(170, 16, 206, 28);
    Version1 = new QLabel("Version 4.023  januar 2006", Panel1);
    Version1->setObjectName("Version1");
    Version1->setGeometry(170, 52, 206, 20);
    Copyright = new QLabel("Free software from the Kvistrel team", Panel1);
    Copyright->setObjectName("Copyright");
    Copyright->setGeometry(8, 124, 368, 20);
    Comments = new QLabel("Processing, loop correction and plotting of cave survey data.", Panel1);
    Comments->setObjectName("Comments");
    Comments->setWordWrap(true);
    Comments->setGeometry(8, 150, 368, 56);

    CreditsPanel = new QFrame(this);
    CreditsPanel->setObjectName("CreditsPanel");
    CreditsPanel->setGeometry(Panel1->geometry());
    auto* creditsLayout = new QVBoxLayout(CreditsPanel);
    creditsLayout->setContentsMargins(0, 0, 0, 0);
    CreditMemo1 = new QPlainTextEdit(CreditsPanel);
    CreditMemo1->setObjectName("CreditMemo1");
    CreditMemo1->setReadOnly(true);
    CreditMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono("Courier New");
    mono.setStyleHint(QFont::Monospace);
    CreditMemo1->setFont(mono);
    QPalette aqua = CreditMemo1->palette();
    aqua.setColor(QPalette::Base, QColor(0, 255, 255));
    aqua.setColor(QPalette::Text, Qt::black);
    CreditMemo1->setPalette(aqua);
    creditsLayout->addWidget(CreditMemo1);
    CreditsPanel->hide();

    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    OKButton->setGeometry(112, 236, 80, 28);
    CreditButton = new QPushButton("Credits", this);
    CreditButton->setObjectName("CreditButton");
    CreditButton->setGeometry(208, 236, 80, 28);

    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(CreditButton, &QPushButton::clicked, this, &TAboutForm::CreditButtonClick);

    setFixedSize(400, 276);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TAboutForm::CreditButtonClick() {
    CreditsPanel->show();
    CreditsPanel->raise();
    CreditButton->hide();
    const QString path = FindProgramFile(kCreditsFileName);
    std::string bytes;
    std::string reason = "No such file in the current directory or beside the program.";
    if (path.isEmpty() || !ReadWholeFile(ToFileName(path), bytes, reason)) {
        Dialogs().Warning(FileOpenError(kCreditsFileName, reason));
        return;
    }
    QString text = DecodeWindows1252(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    CreditMemo1->setPlainText(text);
}

void TAboutForm::hideEvent(QHideEvent* event) {
    CreditsPanel->hide();
    CreditButton->show();
    QDialog::hideEvent(event);
}
