// The text editor's line-edit window and its comment panel.
#include "shell/DataLinje.h"

#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int kNameTags = 2;

QString Shown(const std::string& bytes) {
    return DecodeWindows1252(bytes);
}

} // namespace

void SetFieldColour(QLineEdit* edit, bool red) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, red ? QColor(Qt::red) : QColor(Qt::white));
    palette.setColor(QPalette::Text, QColor(Qt::black));
    edit->setPalette(palette);
}

TDataLinje::TDataLinje(const TEditSwitches& switches, QWidget* parent)
    : QWidget(parent), switches_(switches) {
    setObjectName("DataLinje");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);

    GroupBox1 = new QGroupBox("DataLinje", this);
    GroupBox1->setObjectName("GroupBox1");
    auto* grid = new QGridLayout(GroupBox1);
    grid->setHorizontalSpacing(4);
    const std::array<const char*, 9> captions = {
        "Fra[4]", "Til[4]", "Komp", "Klino", "Lengd", "H\xC3\xB8yre", "Venstre", "Ned", "Opp"};
    for (int i = 0; i < 9; ++i) {
        auto* label =
            new QLabel(QString::fromUtf8(captions[static_cast<std::size_t>(i)]), GroupBox1);
        grid->addWidget(label, 0, i);
        auto* edit = new QLineEdit(GroupBox1);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edit->setProperty("tag", i);
        edit->setFont(QFont("Lucida Console"));
        edit->setMinimumWidth(i < kNameTags ? 48 : 56);
        edit->installEventFilter(this);
        SetFieldColour(edit, false);
        grid->addWidget(edit, 1, i);
        Edits[static_cast<std::size_t>(i)] = edit;
        if (i < kNameTags)
            connect(edit, &QLineEdit::textEdited, this, [this, i] { NameEdited(i); });
        else
            connect(edit, &QLineEdit::textChanged, this, [this, i] { ReadingChanged(i); });
    }
    for (int i = 0; i + 1 < 9; ++i)
        setTabOrder(Edits[static_cast<std::size_t>(i)], Edits[static_cast<std::size_t>(i) + 1]);

    auto* buttons = new QHBoxLayout;
    DataOKButton1 = new QPushButton("OK", GroupBox1);
    DataOKButton1->setObjectName("DataOKButton1");
    DataOKButton1->setToolTip("Append the line after the current one");
    InsertBtn = new QPushButton("Bytt", GroupBox1);
    InsertBtn->setObjectName("InsertBtn");
    InsertBtn->setToolTip("Replace the current line");
    Button2 = new QPushButton("/\\", GroupBox1);
    Button2->setObjectName("Button2");
    Button1 = new QPushButton("V", GroupBox1);
    Button1->setObjectName("Button1");
    for (QPushButton* b : {DataOKButton1, InsertBtn, Button2, Button1})
        buttons->addWidget(b);
    buttons->addSpacing(16);
    auto* instrument = new QFrame(GroupBox1);
    instrument->setObjectName("InstrumentPanel");
    instrument->setFrameShape(QFrame::StyledPanel);
    auto* instrumentRow = new QHBoxLayout(instrument);
    instrumentRow->setContentsMargins(6, 2, 6, 2);
    instrumentRow->addWidget(new QLabel("Instrument:", instrument));
    Label14 = new QLabel(instrument);
    Label14->setObjectName("Label14");
    Label15 = new QLabel(instrument);
    Label15->setObjectName("Label15");
    Label16 = new QLabel(instrument);
    Label16->setObjectName("Label16");
    for (QLabel* l : {Label14, Label15, Label16})
        instrumentRow->addWidget(l);
    buttons->addWidget(instrument);
    buttons->addStretch();
    grid->addLayout(buttons, 2, 0, 1, 9);
    outer->addWidget(GroupBox1);

    CommentPanel = new QFrame(this);
    CommentPanel->setObjectName("CommentPanel");
    CommentPanel->setFrameShape(QFrame::StyledPanel);
    auto* commentRow = new QHBoxLayout(CommentPanel);
    CommentEdit = new QLineEdit(CommentPanel);
    CommentEdit->setObjectName("CommentEdit");
    // The panel only shows the line; the memo is where such lines are edited.
    CommentEdit->setReadOnly(true);
    CommentEdit->setFont(QFont("Lucida Console"));
    Button4 = new QPushButton("/\\", CommentPanel);
    Button4->setObjectName("Button4");
    Button3 = new QPushButton("V", CommentPanel);
    Button3->setObjectName("Button3");
    commentRow->addWidget(CommentEdit, 1);
    commentRow->addWidget(Button4);
    commentRow->addWidget(Button3);
    CommentPanel->hide();
    outer->addWidget(CommentPanel);

    connect(DataOKButton1, &QPushButton::clicked, this, &TDataLinje::OkClicked);
    connect(InsertBtn, &QPushButton::clicked, this, &TDataLinje::ByttClicked);
    connect(Button2, &QPushButton::clicked, this, &TDataLinje::UpClicked);
    connect(Button4, &QPushButton::clicked, this, &TDataLinje::UpClicked);
    connect(Button1, &QPushButton::clicked, this, &TDataLinje::DownClicked);
    connect(Button3, &QPushButton::clicked, this, &TDataLinje::DownClicked);
}

void TDataLinje::ShowDataLine(const TSplitDataLine& split,
                              const std::array<std::string, 3>& instrument) {
    settingText_ = true;
    EditLine.FromName = str4(split.FromName);
    EditLine.ToName = str4(split.ToName);
    Edits[0]->setText(Shown(split.FromName));
    Edits[1]->setText(Shown(split.ToName));
    for (int i = 0; i < kReadingFields; ++i) {
        const std::string& field = split.Fields[static_cast<std::size_t>(i)];
        Edits[static_cast<std::size_t>(i + kNameTags)]->setText(Shown(field));
        double value = 0;
        if (ReadEditorNumber(field, value))
            ReadingField(EditLine, i) = value;
    }
    for (QLineEdit* name : {Edits[0], Edits[1]})
        SetFieldColour(name, false);
    settingText_ = false;
    Label14->setText(Shown(instrument[0]));
    Label15->setText(Shown(instrument[1]));
    Label16->setText(Shown(instrument[2]));
    CommentPanel->hide();
    GroupBox1->show();
}

void TDataLinje::ShowComment(const QString& line) {
    CommentEdit->setText(line);
    GroupBox1->hide();
    CommentPanel->show();
}

bool TDataLinje::ShowingComment() const {
    return !CommentPanel->isHidden();
}

void TDataLinje::NameEdited(int tag) {
    if (settingText_)
        return;
    QLineEdit* edit = Edits[static_cast<std::size_t>(tag)];
    const TNameCheck check = CheckNameField(EncodeWindows1252(edit->text()));
    if (check.Cut) {
        Dialogs().Beep();
        const QSignalBlocker quiet(edit);
        edit->setText(Shown(check.Text));
    }
    SetFieldColour(edit, check.Cut);
}

void TDataLinje::ReadingChanged(int tag) {
    QLineEdit* edit = Edits[static_cast<std::size_t>(tag)];
    SetFieldColour(edit, ReadingFieldSuspect(EncodeWindows1252(edit->text()), tag == 3));
}

void TDataLinje::CommitField(int tag) {
    if (tag < 0 || tag >= 9)
        return;
    QLineEdit* edit = Edits[static_cast<std::size_t>(tag)];
    settingText_ = true;
    if (tag < kNameTags) {
        const TNameCommit commit =
            CommitName(EncodeWindows1252(edit->text()), switches_.AutoPrefix, switches_.Prefix);
        if (commit.Beep)
            Dialogs().Beep();
        (tag == 0 ? EditLine.FromName : EditLine.ToName) = commit.Name;
        edit->setText(Shown(commit.Name.str()));
    } else {
        double value = 0;
        if (ReadEditorNumber(EncodeWindows1252(edit->text()), value)) {
            ReadingField(EditLine, tag - kNameTags) = value;
            edit->setText(Shown(FormatEditorNumber(value)));
        }
    }
    settingText_ = false;
}

bool TDataLinje::CommitReadings(QString& problem) {
    for (int i = 0; i < kReadingFields; ++i) {
        QLineEdit* edit = Edits[static_cast<std::size_t>(i + kNameTags)];
        double value = 0;
        if (!ReadEditorNumber(EncodeWindows1252(edit->text()), value)) {
            problem = QStringLiteral("The field %1 does not hold a number: \"%2\". The line is not "
                                     "written.")
                          .arg(Shown(std::string(ReadingFieldName(i))), edit->text());
            edit->setFocus();
            return false;
        }
        CommitField(i + kNameTags);
    }
    return true;
}

void TDataLinje::StartNextLine() {
    settingText_ = true;
    EditLine.FromName = EditLine.ToName;
    EditLine.ToName = str4("    ");
    Edits[0]->setText(Shown(EditLine.FromName.str()));
    Edits[1]->clear();
    for (int i = 0; i < kReadingFields; ++i) {
        ReadingField(EditLine, i) = 0;
        Edits[static_cast<std::size_t>(i + kNameTags)]->setText("0.00");
    }
    settingText_ = false;
    Edits[1]->setFocus();
}

int TDataLinje::TagOf(QObject* edit) const {
    for (std::size_t i = 0; i < Edits.size(); ++i)
        if (Edits[i] == edit)
            return static_cast<int>(i);
    return -1;
}

bool TDataLinje::eventFilter(QObject* watched, QEvent* event) {
    const int tag = TagOf(watched);
    if (tag >= 0) {
        if (event->type() == QEvent::FocusOut) {
            CommitField(tag);
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // The space bar and Enter move on like Tab; leaving the field commits it.
            if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
                CommitField(tag);
                if (tag + 1 < static_cast<int>(Edits.size()))
                    Edits[static_cast<std::size_t>(tag) + 1]->setFocus();
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}
