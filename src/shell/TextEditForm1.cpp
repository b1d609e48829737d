// The survey data text editor: documents on tabs, the memo, the tools and the line-edit window.
#include "shell/TextEditForm1.h"

#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMimeData>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr std::uint16_t kAnswerYes = 6;
const QString kFileFilter =
    QStringLiteral("Kvistrel files (*.grt);;Text files (*.txt);;All files (*)");

QString Shown(std::string_view bytes) {
    return DecodeWindows1252(bytes);
}

// The tab caption: the file-name part, at most 12 characters, the first in upper case.
QString TabCaption(const QString& fileName) {
    QString caption = QFileInfo(fileName).fileName().left(12);
    if (!caption.isEmpty())
        caption[0] = caption[0].toUpper();
    return caption;
}

} // namespace

TTextEditForm1::TTextEditForm1(QWidget* parent) : QMainWindow(parent, Qt::Window) {
    setObjectName("TextEditForm1");
    setWindowTitle("Kvistrel text editor");
    resize(900, 640);
    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildClientArea();
    UpdateStatusBar();
    ShowLineLabels();
    UpdateCommandStates();
    if (parent != nullptr)
        parent->installEventFilter(this);
}

QAction* TTextEditForm1::NewAction(const QString& name, const QString& text,
                                   void (TTextEditForm1::*handler)(), bool checkable) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    action->setCheckable(checkable);
    if (handler != nullptr)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

QAction* TTextEditForm1::Command(const char* name) const {
    auto* action = findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
    Q_ASSERT_X(action != nullptr, "TTextEditForm1::Command", "every command has an action");
    return action;
}

void TTextEditForm1::BuildActions() {
    struct Item {
        const char* Name;
        const char* Text;
        void (TTextEditForm1::*Handler)();
        const char* Shortcut;
        const char* Hint;
        bool Checkable;
    };
    const std::vector<Item> items = {
        {"FileNewItem", "&New", &TTextEditForm1::NewClick, "Ctrl+N", nullptr, false},
        {"FileOpenItem", "&Open...", &TTextEditForm1::OpenClick, "Ctrl+O", nullptr, false},
        {"FileCloseItem", "&Close", &TTextEditForm1::CloseClick, nullptr, nullptr, false},
        {"FileSaveItem", "&Save", &TTextEditForm1::SaveClick, "Ctrl+S", nullptr, false},
        {"FileSaveAsItem", "Save &As...", &TTextEditForm1::SaveAsClick, nullptr, nullptr, false},
        {"FilePrintItem", "&Print", nullptr, "Ctrl+P", nullptr, false},
        {"FilePrintSetupItem", "Prin&t Setup...", nullptr, nullptr, nullptr, false},
        {"FileExitItem", "E&xit", &TTextEditForm1::ExitClick, nullptr, nullptr, false},
        {"ToolButton1", "Cu&t", nullptr, "Ctrl+X", "Cut", false},
        {"ToolButton2", "&Copy", nullptr, "Ctrl+C", "Copy", false},
        {"ToolButton3", "&Paste", nullptr, "Ctrl+V", "Paste", false},
        {"FontItem", "&Font...", &TTextEditForm1::FontClick, nullptr, nullptr, false},
        {"BackgroundItem", "&Background...", &TTextEditForm1::BackgroundClick, nullptr, nullptr,
         false},
        {"InsHeadingButton", "Insert Heading", &TTextEditForm1::InsHeadingButtonClick, nullptr,
         "Insert Heading", false},
        {"InsCommentButton", "Insert Comment", &TTextEditForm1::InsCommentButtonClick, nullptr,
         "Insert Comment", false},
        {"InstumentsButton", "Insert new Instruments", &TTextEditForm1::InstumentsButtonClick,
         nullptr, "Insert new Instruments", false},
        {"NewProfileButton", "Insert profile scan", &TTextEditForm1::NewProfileButtonClick, nullptr,
         "Insert profile scan", false},
        {"FinishProfileButton", "Finish Profile scan", &TTextEditForm1::FinishProfileButtonClick,
         nullptr, "Finish Profile scan", false},
        {"profileCADButton", "Profile CAD", nullptr, nullptr, "Profile CAD", false},
        {"TypoButton", "Check for comma typos", &TTextEditForm1::TypoButtonClick, nullptr,
         "Check for comma typos", false},
        {"AboutItem", "&About...", nullptr, nullptr, nullptr, false},
        {"ToolButton5", "Edit", &TTextEditForm1::ToolButton5Click, nullptr, "Bruk EditVindu", true},
        {"ToolButton6", "Auto", &TTextEditForm1::ToolButton6Click, nullptr,
         "Automatisk editor av/ p\xC3\xA5", true},
        {"ToolButton7", "P", &TTextEditForm1::ToolButton7Click, nullptr,
         "Automatisk prefiks p\xC3\xA5 stasjonsnavn", true},
        {"ToolButton8", "Prefiks", &TTextEditForm1::ToolButton8Click, nullptr,
         "Velg Prefiks til stasjonsnavnene (max 2 tegn!)", true},
    };
    for (const Item& item : items) {
        QAction* a = NewAction(item.Name, item.Text, item.Handler, item.Checkable);
        if (item.Shortcut != nullptr)
            a->setShortcut(QKeySequence(item.Shortcut));
        if (item.Hint != nullptr)
            a->setToolTip(QString::fromUtf8(item.Hint));
    }
    // Short captions keep the tool bar within the window.
    const std::array<std::pair<const char*, const char*>, 7> captions = {
        {{"InsHeadingButton", "Heading"},
         {"InsCommentButton", "Comment"},
         {"InstumentsButton", "Instruments"},
         {"NewProfileButton", "Scan"},
         {"FinishProfileButton", "Finish scan"},
         {"profileCADButton", "CAD"},
         {"TypoButton", "Commas"}}};
    for (const auto& [name, caption] : captions)
        Command(name)->setIconText(caption);
    Command("profileCADButton")->setEnabled(false);
}

void TTextEditForm1::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    for (const char* name :
         {"FileNewItem", "FileOpenItem", "FileCloseItem", "FileSaveItem", "FileSaveAsItem"})
        file->addAction(Command(name));
    file->addSeparator();
    file->addAction(Command("FilePrintItem"));
    file->addAction(Command("FilePrintSetupItem"));
    file->addSeparator();
    file->addAction(Command("FileExitItem"));
    QMenu* edit = bar->addMenu("&Edit");
    for (const char* name : {"ToolButton1", "ToolButton2", "ToolButton3"})
        edit->addAction(Command(name));
    QMenu* options = bar->addMenu("&Options");
    options->addAction(Command("FontItem"));
    options->addAction(Command("BackgroundItem"));
    QMenu* tools = bar->addMenu("Tools");
    for (const char* name :
         {"InsHeadingButton", "InsCommentButton", "InstumentsButton", "NewProfileButton",
          "FinishProfileButton", "profileCADButton", "TypoButton"})
        tools->addAction(Command(name));
    QMenu* help = bar->addMenu("&Help");
    help->addAction(Command("AboutItem"));
    for (QMenu* menu : {file, edit, options, tools, help})
        connect(menu, &QMenu::aboutToShow, this, &TTextEditForm1::UpdateCommandStates);
}

void TTextEditForm1::BuildToolBar() {
    auto* bar = new QToolBar("ToolBar1", this);
    bar->setObjectName("ToolBar1");
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::vector<const char*> buttons = {"ToolButton1",
                                              "ToolButton2",
                                              "ToolButton3",
                                              nullptr,
                                              "ToolButton5",
                                              "ToolButton6",
                                              "ToolButton7",
                                              "ToolButton8",
                                              nullptr,
                                              "InsHeadingButton",
                                              "InsCommentButton",
                                              "InstumentsButton",
                                              "NewProfileButton",
                                              "FinishProfileButton",
                                              "profileCADButton",
                                              "TypoButton"};
    for (const char* name : buttons) {
        if (name == nullptr) {
            bar->addSeparator();
            continue;
        }
        QAction* action = Command(name);
        bar->addAction(action);
        bar->widgetForAction(action)->setObjectName(name);
    }
    addToolBar(Qt::TopToolBarArea, bar);
}

void TTextEditForm1::BuildClientArea() {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 2);

    TabSet1 = new QTabBar(central);
    TabSet1->setObjectName("TabSet1");
    TabSet1->addTab(kUntitled);
    layout->addWidget(TabSet1);

    TextGMemo1 = new QPlainTextEdit(central);
    TextGMemo1->setObjectName("TextGMemo1");
    TextGMemo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    TextGMemo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    TextGMemo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont font("Lucida Console");
    font.setStyleHint(QFont::Monospace);
    TextGMemo1->setFont(font);
    TextGMemo1->installEventFilter(this);
    TextGMemo1->viewport()->installEventFilter(this);
    layout->addWidget(TextGMemo1, 1);

    auto* linePanel = new QHBoxLayout;
    Label1 = new QLabel(central);
    Label1->setObjectName("Label1");
    Label2 = new QLabel(central);
    Label2->setObjectName("Label2");
    Label3 = new QLabel(central);
    Label3->setObjectName("Label3");
    PrefixLabel = new QLabel(central);
    PrefixLabel->setObjectName("PrefixLabel");
    PreFixEdit = new QLineEdit(central);
    PreFixEdit->setObjectName("PreFixEdit");
    PreFixEdit->setMaximumWidth(60);
    PreFixEdit->hide();
    for (QWidget* w : std::initializer_list<QWidget*>{Label1, Label2, Label3, PrefixLabel})
        linePanel->addWidget(w);
    linePanel->addWidget(PreFixEdit);
    linePanel->addStretch();
    layout->addLayout(linePanel);

    DataLinje = new TDataLinje(Switches, central);
    DataLinje->hide();
    layout->addWidget(DataLinje);
    BuildInstrumentDialog();
    layout->addWidget(InstrumentGroupBox);
    setCentralWidget(central);

    StatusPanels[0] = new QLabel(this);
    StatusPanels[0]->setObjectName("StatusPanel0");
    StatusPanels[0]->setMinimumWidth(200);
    StatusPanels[1] = new QLabel(this);
    StatusPanels[1]->setObjectName("StatusPanel1");
    statusBar()->addWidget(StatusPanels[0]);
    statusBar()->addWidget(StatusPanels[1], 1);

    connect(TabSet1, &QTabBar::currentChanged, this, &TTextEditForm1::TabSet1Change);
    TextGMemo1->setDocument(NewDocument(0));
    connect(TextGMemo1, &QPlainTextEdit::selectionChanged, this,
            &TTextEditForm1::UpdateCommandStates);
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TTextEditForm1::UpdateCommandStates);
    connect(Command("ToolButton1"), &QAction::triggered, TextGMemo1, &QPlainTextEdit::cut);
    connect(Command("ToolButton2"), &QAction::triggered, TextGMemo1, &QPlainTextEdit::copy);
    connect(Command("ToolButton3"), &QAction::triggered, TextGMemo1, &QPlainTextEdit::paste);
    connect(PreFixEdit, &QLineEdit::returnPressed, this, &TTextEditForm1::PreFixEditEnter);
    connect(DataLinje, &TDataLinje::OkClicked, this, &TTextEditForm1::DataOKButton1Click);
    connect(DataLinje, &TDataLinje::ByttClicked, this, &TTextEditForm1::InsertBtnClick);
    connect(DataLinje, &TDataLinje::UpClicked, this, &TTextEditForm1::Button2Click);
    connect(DataLinje, &TDataLinje::DownClicked, this, &TTextEditForm1::Button1Click);
}

void TTextEditForm1::BuildInstrumentDialog() {
    InstrumentGroupBox = new QGroupBox("Instruments", this);
    InstrumentGroupBox->setObjectName("InstrumentGroupBox");
    auto* grid = new QGridLayout(InstrumentGroupBox);
    const QStringList circles = {"360", "400", "3600"};
    const QStringList angles = {"0.00",  "0.50",  "1.00",  "1.50", "2.00",
                                "-0.50", "-1.00", "-1.50", "-2.00"};
    auto combo = [this](const char* name, const QStringList& items, bool editable) {
        auto* c = new QComboBox(InstrumentGroupBox);
        c->setObjectName(name);
        c->addItems(items);
        c->setEditable(editable);
        c->setCurrentIndex(0);
        return c;
    };
    CompassCombo = combo("CompassCombo", circles, false);
    ClinoCombo = combo("ClinoCombo", circles, false);
    MisvisnCombo = combo("MisvisnCombo", angles, true); // any declination may be typed
    CompErrCombo = combo("CompErrCombo", angles, true);
    ClinoErrCombo = combo("ClinoErrCombo", angles, true);
    TapeCombo = combo("TapeCombo", {"meter", "centimeter", "fot (feet)"}, false);
    const std::array<std::pair<const char*, QComboBox*>, 6> rows = {
        {{"Compass", CompassCombo},
         {"Clino", ClinoCombo},
         {"Declination", MisvisnCombo},
         {"Compass error", CompErrCombo},
         {"Clino error", ClinoErrCombo},
         {"Tape", TapeCombo}}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        grid->addWidget(new QLabel(rows[i].first, InstrumentGroupBox), 0, static_cast<int>(i));
        grid->addWidget(rows[i].second, 1, static_cast<int>(i));
    }
    OKButton3 = new QPushButton("OK", InstrumentGroupBox);
    OKButton3->setObjectName("OKButton3");
    CancelButton4 = new QPushButton("Cancel", InstrumentGroupBox);
    CancelButton4->setObjectName("CancelButton4");
    grid->addWidget(OKButton3, 1, 6);
    grid->addWidget(CancelButton4, 1, 7);
    connect(OKButton3, &QPushButton::clicked, this, &TTextEditForm1::OKButton3Click);
    connect(CancelButton4, &QPushButton::clicked, this, &TTextEditForm1::CancelButton4Click);
    InstrumentGroupBox->hide();
}

// ---- memo access

std::int64_t TTextEditForm1::MemoLineCount() const {
    const QTextDocument* doc = TextGMemo1->document();
    std::int64_t count = doc->blockCount();
    if (doc->lastBlock().text().isEmpty())
        --count;
    return count;
}

QTextBlock TTextEditForm1::BlockAt(std::int64_t n) const {
    if (n < 0 || n > INT32_MAX)
        return {};
    return TextGMemo1->document()->findBlockByNumber(static_cast<int>(n));
}

std::string TTextEditForm1::MemoLine(std::int64_t n) const {
    const QTextBlock block = BlockAt(n);
    return block.isValid() ? EncodeWindows1252(block.text()) : std::string();
}

void TTextEditForm1::InsertLines(std::int64_t at, const std::vector<std::string>& lines) {
    QString joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            joined += '\n';
        joined += Shown(lines[i]);
    }
    QTextDocument* doc = TextGMemo1->document();
    QTextCursor cursor(doc);
    cursor.beginEditBlock();
    const QTextBlock block = at < 0 ? doc->firstBlock() : BlockAt(at);
    if (block.isValid()) {
        cursor.setPosition(block.position());
        cursor.insertText(joined + '\n');
    } else {
        cursor.movePosition(QTextCursor::End);
        if (doc->lastBlock().text().isEmpty())
            cursor.insertText(joined + '\n');
        else
            cursor.insertText('\n' + joined);
    }
    cursor.endEditBlock();
}

void TTextEditForm1::ReplaceLine(std::int64_t n, const std::string& line) {
    const QTextBlock block = BlockAt(n);
    if (!block.isValid() ||
        (block == TextGMemo1->document()->lastBlock() && block.text().isEmpty())) {
        InsertLines(n, {line});
        return;
    }
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    cursor.insertText(Shown(line));
}

void TTextEditForm1::ShowText(const QString& text) {
    loading_ = true;
    TextGMemo1->setPlainText(text);
    loading_ = false;
}

QTextDocument* TTextEditForm1::NewDocument(int slot) {
    auto* text = new QTextDocument(this);
    text->setDocumentLayout(new QPlainTextDocumentLayout(text));
    text->setDefaultFont(TextGMemo1->font());
    connect(text, &QTextDocument::contentsChange, this,
            [this, slot](int, int removed, int added) { MemoEdited(slot, removed, added); });
    Docs[static_cast<std::size_t>(slot)].DocLines = text;
    return text;
}

void TTextEditForm1::MemoEdited(int slot, int removed, int added) {
    if (loading_ || (removed == 0 && added == 0))
        return;
    TEditDocument& doc = Docs[static_cast<std::size_t>(slot)];
    doc.Loaded.reset();
    if (!doc.DocModified) {
        doc.DocModified = true;
        UpdateCommandStates();
    }
    UpdateStatusBar();
}

QString TTextEditForm1::SlotText(int slot) const {
    return Docs[static_cast<std::size_t>(slot)].DocLines->toPlainText();
}

// ---- window state

void TTextEditForm1::UpdateSelectionLines() {
    const QTextCursor cursor = TextGMemo1->textCursor();
    const QTextDocument* doc = TextGMemo1->document();
    FirstLine = doc->findBlock(cursor.selectionStart()).blockNumber();
    LastLine = doc->findBlock(cursor.selectionEnd()).blockNumber();
    ShowLineLabels();
    UpdateCommandStates();
}

void TTextEditForm1::ShowLineLabels() {
    Label1->setText(QStringLiteral("First: %1").arg(FirstLine + 1));
    Label2->setText(QStringLiteral("Last : %1").arg(LastLine + 1));
    Label3->setText(QStringLiteral("Selected:%1").arg(LastLine - FirstLine));
}

void TTextEditForm1::UpdateCommandStates() {
    const TEditDocument& doc = Docs[static_cast<std::size_t>(current_)];
    Command("FileSaveItem")->setEnabled(doc.DocModified && doc.DocName != kUntitled);
    const bool selection = TextGMemo1->textCursor().hasSelection();
    Command("ToolButton1")->setEnabled(selection);
    Command("ToolButton2")->setEnabled(selection);
    const QMimeData* clip = QApplication::clipboard()->mimeData();
    Command("ToolButton3")->setEnabled(clip != nullptr && clip->hasText());
    Command("NewProfileButton")->setEnabled(FirstLine == LastLine);
    Command("FinishProfileButton")->setEnabled(FirstLine != LastLine);
    Command("profileCADButton")->setEnabled(false);
    Command("ToolButton5")->setChecked(Switches.EditWindowOn);
    Command("ToolButton6")->setChecked(Switches.AutoNext);
    Command("ToolButton7")->setChecked(Switches.AutoPrefix);
    Command("ToolButton8")->setChecked(!PreFixEdit->isHidden());
}

void TTextEditForm1::UpdateStatusBar() {
    StatusPanels[0]->setText(QFileInfo(CurrentEditFile).fileName());
    StatusPanels[1]->setText(QStringLiteral("Total %1 lines").arg(MemoLineCount()));
}

bool TTextEditForm1::eventFilter(QObject* watched, QEvent* event) {
    // The program ends with its main window: unsaved documents are asked about first.
    if (watched == parentWidget() && event->type() == QEvent::Close) {
        if (!QueryClose()) {
            event->ignore();
            return true;
        }
        return false;
    }
    const bool memo = watched == TextGMemo1 || watched == TextGMemo1->viewport();
    if (memo &&
        (event->type() == QEvent::MouseButtonRelease || event->type() == QEvent::KeyRelease))
        UpdateSelectionLines();
    return QMainWindow::eventFilter(watched, event);
}

// ---- documents

void TTextEditForm1::SetSlotName(int slot, const QString& fileName) {
    TEditDocument& doc = Docs[static_cast<std::size_t>(slot)];
    doc.FileName = fileName;
    doc.DocName = fileName.toLower();
    TabSet1->setTabText(slot, TabCaption(fileName));
}

void TTextEditForm1::SetDocumentName(const QString& fileName) {
    SetSlotName(current_, fileName);
}

bool TTextEditForm1::LoadDocument(const QString& fileName) {
    std::string bytes;
    std::string reason;
    if (!ReadWholeFile(ToFileName(fileName), bytes, reason)) {
        Dialogs().Warning(FileOpenError(fileName, reason));
        return false;
    }
    ShowText(Shown(ToMemoLines(bytes)));
    TEditDocument& doc = Docs[static_cast<std::size_t>(current_)];
    doc.Loaded = std::move(bytes);
    doc.DocModified = false;
    CurrentEditFile = fileName;
    lastDir_ = QFileInfo(fileName).absolutePath();
    SetDocumentName(fileName);
    FirstLine = LastLine = 0;
    ShowLineLabels();
    UpdateStatusBar();
    UpdateCommandStates();
    if (Switches.EditWindowOn)
        LoadLineIntoEditor(FirstLine);
    return true;
}

bool TTextEditForm1::SaveDocument(int slot) {
    TEditDocument& doc = Docs[static_cast<std::size_t>(slot)];
    const std::string bytes =
        doc.Loaded ? *doc.Loaded : ToFileLines(EncodeWindows1252(SlotText(slot)));
    std::string reason;
    if (!WriteFileAtomically(ToFileName(doc.FileName), bytes, reason)) {
        Dialogs().Warning(QStringLiteral("Could not save \"%1\": %2 The text is kept unsaved.")
                              .arg(doc.FileName, QString::fromStdString(reason)));
        return false;
    }
    doc.Loaded = bytes;
    doc.DocModified = false;
    UpdateCommandStates();
    return true;
}

bool TTextEditForm1::SaveSlotAs(int slot) {
    const QString name = Dialogs().SaveFileName("Save As", lastDir_, kFileFilter);
    if (name.isEmpty())
        return false;
    lastDir_ = QFileInfo(name).absolutePath();
    SetSlotName(slot, name);
    return SaveDocument(slot);
}

bool TTextEditForm1::SaveSlot(int slot) {
    if (Docs[static_cast<std::size_t>(slot)].DocName == kUntitled)
        return SaveSlotAs(slot);
    return SaveDocument(slot);
}

void TTextEditForm1::EmptySlot(int slot) {
    TEditDocument& doc = Docs[static_cast<std::size_t>(slot)];
    loading_ = true;
    doc.DocLines->setPlainText({});
    loading_ = false;
    doc.Loaded.reset();
    doc.DocModified = false;
    doc.FileName.clear();
    doc.DocName = kUntitled;
    TabSet1->setTabText(slot, kUntitled);
    if (slot == current_) {
        FirstLine = LastLine = 0;
        ShowLineLabels();
        UpdateStatusBar();
    }
    UpdateCommandStates();
}

bool TTextEditForm1::ResolveModified(int slot) {
    const auto answer = Dialogs().YesNoCancel("Save changes to " + TabSet1->tabText(slot) + "?");
    if (answer == UserDialogs::Answer::Cancel)
        return false;
    if (answer == UserDialogs::Answer::Yes)
        SaveSlot(slot);
    else
        EmptySlot(slot);
    return true;
}

void TTextEditForm1::NewClick() {
    for (int slot = 0; slot < kDocumentSlots; ++slot) {
        TEditDocument& doc = Docs[static_cast<std::size_t>(slot)];
        if (doc.DocLines != nullptr)
            continue;
        NewDocument(slot);
        TabSet1->addTab(kUntitled); // slots are used in order, so the slot is the tab
        return;
    }
}

void TTextEditForm1::OpenClick() {
    if (Docs[static_cast<std::size_t>(current_)].DocModified) {
        SaveClick();
        if (Docs[static_cast<std::size_t>(current_)].DocModified)
            return;
    }
    const QString name = Dialogs().OpenFileName("Open", lastDir_, kFileFilter);
    if (!name.isEmpty())
        LoadDocument(name);
}

void TTextEditForm1::CloseClick() {
    TEditDocument& doc = Docs[static_cast<std::size_t>(current_)];
    if (doc.DocModified) {
        const auto answer =
            Dialogs().YesNoCancel("Save changes to " + TabSet1->tabText(current_) + "?");
        if (answer == UserDialogs::Answer::Cancel)
            return;
        if (answer == UserDialogs::Answer::Yes)
            SaveSlot(current_);
        else
            doc.DocModified = false;
    }
    if (!doc.DocModified)
        EmptySlot(current_);
}

void TTextEditForm1::SaveClick() {
    SaveSlot(current_);
}

void TTextEditForm1::SaveAsClick() {
    SaveSlotAs(current_);
}

void TTextEditForm1::ExitClick() {
    close();
}

bool TTextEditForm1::QueryClose() {
    for (int slot = 0; slot < kDocumentSlots; ++slot)
        if (Docs[static_cast<std::size_t>(slot)].DocModified && !ResolveModified(slot))
            return false;
    // A save that failed or was cancelled leaves its document modified.
    for (const TEditDocument& doc : Docs)
        if (doc.DocModified)
            return false;
    return true;
}

void TTextEditForm1::closeEvent(QCloseEvent* event) {
    if (QueryClose())
        event->accept();
    else
        event->ignore();
}

void TTextEditForm1::TabSet1Change(int index) {
    if (index < 0 || index >= kDocumentSlots || index == current_)
        return;
    current_ = index;
    TextGMemo1->setDocument(Docs[static_cast<std::size_t>(index)].DocLines);
    FirstLine = LastLine = 0;
    ShowLineLabels();
    UpdateStatusBar();
    UpdateCommandStates();
    if (Switches.EditWindowOn) // the line-edit window follows the text shown
        LoadLineIntoEditor(FirstLine);
}

void TTextEditForm1::FontClick() {
    if (const auto font = Dialogs().Font(TextGMemo1->font())) {
        TextGMemo1->setFont(*font);
        for (const TEditDocument& doc : Docs)
            if (doc.DocLines != nullptr)
                doc.DocLines->setDefaultFont(*font);
    }
}

void TTextEditForm1::BackgroundClick() {
    QPalette palette = TextGMemo1->palette();
    if (const auto colour = Dialogs().Colour(palette.color(QPalette::Base))) {
        palette.setColor(QPalette::Base, *colour);
        TextGMemo1->setPalette(palette);
    }
}

// ---- tools

void TTextEditForm1::InsHeadingButtonClick() {
    const auto& heading = HeadingTemplate();
    InsertLines(FirstLine, std::vector<std::string>(heading.begin(), heading.end()));
}

void TTextEditForm1::InsCommentButtonClick() {
    QString station;
    if (Switches.EditWindowOn)
        station = (Switches.AutoNext ? DataLinje->Edits[0] : DataLinje->Edits[1])->text();
    const std::string current = MemoLine(FirstLine);
    // An existing comment is offered for change and replaced only by a new text, so
    // cancelling keeps it.
    const bool replace = !current.empty() && current.front() == ';';
    const QString initial = replace ? Shown(std::string_view(current).substr(1)) : QString();
    auto answer = Dialogs().TextInput("Comment", "Enter comment for station " + station, initial);
    if (!answer || answer->isEmpty())
        return;
    answer->replace('\n', ' ');
    const std::string line = CommentLine(EncodeWindows1252(*answer));
    if (replace) {
        ReplaceLine(FirstLine, line);
    } else {
        InsertLines(FirstLine + 1, {line});
        ++FirstLine;
        LastLine = std::max(LastLine, FirstLine);
    }
    ShowLineLabels();
    UpdateCommandStates();
}

void TTextEditForm1::InstumentsButtonClick() {
    InstrumentGroupBox->show();
}

void TTextEditForm1::OKButton3Click() {
    std::string line;
    std::string reason;
    if (!BuildInstrumentLine(EncodeWindows1252(CompassCombo->currentText()),
                             EncodeWindows1252(ClinoCombo->currentText()),
                             EncodeWindows1252(MisvisnCombo->currentText()),
                             static_cast<TTape>(std::max(0, TapeCombo->currentIndex())), line,
                             reason)) {
        Dialogs().Warning(Shown(reason));
        return;
    }
    InsertLines(FirstLine, {line});
    InstrumentGroupBox->hide();
}

void TTextEditForm1::CancelButton4Click() {
    InstrumentGroupBox->hide();
}

void TTextEditForm1::NewProfileButtonClick() {
    if (FirstLine != LastLine)
        return;
    InsertLines(FirstLine, ProfileScanLines());
}

void TTextEditForm1::FinishProfileButtonClick() {
    if (FirstLine == LastLine)
        return;
    InsertLines(FirstLine, {ProfileScanHeader(LastLine - FirstLine)});
    LastLine = FirstLine;
    ShowLineLabels();
    UpdateCommandStates();
}

void TTextEditForm1::TypoButtonClick() {
    const std::string text = EncodeWindows1252(TextGMemo1->toPlainText());
    const std::vector<TCommaTypo> typos = FindCommaTypos(text);
    // "No" stops the boxes: a file typed with decimal commas would otherwise need one answer
    // per comma. The count still covers them all.
    for (const TCommaTypo& typo : typos) {
        const bool yes = Dialogs().YesNo(Shown(CommaTypoMessage(typo)), true);
        LastAnswer = yes ? kAnswerYes : kAnswerNo;
        if (!yes)
            break;
    }
    Dialogs().Notice(Shown(CommaTypoSummary(typos.size())));
}

// ---- line-edit window

void TTextEditForm1::ToolButton5Click() {
    Switches.EditWindowOn = !Switches.EditWindowOn;
    DataLinje->setVisible(Switches.EditWindowOn);
    if (Switches.EditWindowOn && MemoLineCount() > 6)
        LoadLineIntoEditor(FirstLine);
    UpdateCommandStates();
}

void TTextEditForm1::ToolButton6Click() {
    Switches.AutoNext = !Switches.AutoNext;
    UpdateCommandStates();
}

void TTextEditForm1::ToolButton7Click() {
    Switches.AutoPrefix = !Switches.AutoPrefix;
    UpdateCommandStates();
}

void TTextEditForm1::ToolButton8Click() {
    PreFixEdit->setVisible(PreFixEdit->isHidden());
    if (!PreFixEdit->isHidden())
        PreFixEdit->setFocus();
    UpdateCommandStates();
}

void TTextEditForm1::PreFixEditEnter() {
    const TPrefixChoice choice = ChoosePrefix(EncodeWindows1252(PreFixEdit->text()));
    if (!choice.Accepted) {
        PreFixEdit->setText(Shown(choice.Text));
        SetFieldColour(PreFixEdit, true);
        return;
    }
    Switches.Prefix = choice.Text;
    SetFieldColour(PreFixEdit, false);
    PrefixLabel->setText("Prefix= " + Shown(choice.Text));
    PreFixEdit->hide();
    UpdateCommandStates();
}

void TTextEditForm1::LoadLineIntoEditor(std::int64_t n) {
    const std::string line = MemoLine(n);
    if (!IsDataLine(line)) {
        DataLinje->ShowComment(Shown(line));
        return;
    }
    // The search walks upwards one block at a time; a lookup by number for each line would
    // cost a tree search per line.
    QTextBlock block;
    std::int64_t blockNo = -1;
    const std::int64_t instrumentLine = InstrumentLineFor(n, [&](std::int64_t i) {
        if (block.isValid() && i == blockNo - 1)
            block = block.previous();
        else
            block = BlockAt(i);
        blockNo = i;
        if (!block.isValid() || block.length() <= 1)
            return '\0';
        const char16_t c = TextGMemo1->document()->characterAt(block.position()).unicode();
        return c < 0x80 ? static_cast<char>(c) : '?';
    });
    DataLinje->ShowDataLine(SplitDataLine(line), InstrumentTexts(MemoLine(instrumentLine)));
}

void TTextEditForm1::MoveEditorTo(std::int64_t n) {
    FirstLine = LastLine = n;
    const QTextBlock block = BlockAt(n);
    if (block.isValid()) {
        QTextCursor cursor(block);
        TextGMemo1->setTextCursor(cursor);
        TextGMemo1->ensureCursorVisible();
    }
    ShowLineLabels();
    UpdateCommandStates();
    LoadLineIntoEditor(n);
}

void TTextEditForm1::Button2Click() {
    if (FirstLine - 1 >= kFirstBodyLine)
        MoveEditorTo(FirstLine - 1);
}

void TTextEditForm1::Button1Click() {
    // The memo's last block is the empty one after the final line break of a file, so the
    // second-to-last block is the file's last line.
    if (FirstLine + 1 <= TextGMemo1->document()->blockCount() - 2)
        MoveEditorTo(FirstLine + 1);
}

std::optional<std::string> TTextEditForm1::LineToWrite(std::int64_t at) {
    // The five heading lines stay in front of every data line.
    if (at < kFirstBodyLine) {
        Dialogs().Warning(QStringLiteral("Line %1 would be in the heading (lines 1 to 5), where a "
                                         "data line cannot go.")
                              .arg(at + 1));
        return std::nullopt;
    }
    QString problem;
    if (!DataLinje->CommitReadings(problem)) {
        Dialogs().Warning(problem);
        return std::nullopt;
    }
    return BuildDataLine(DataLinje->EditLine);
}

void TTextEditForm1::DataOKButton1Click() {
    const auto line = LineToWrite(FirstLine + 1);
    if (!line)
        return;
    InsertLines(FirstLine + 1, {*line});
    ++FirstLine;
    LastLine = FirstLine;
    if (Switches.AutoNext)
        DataLinje->StartNextLine();
    ShowLineLabels();
    UpdateCommandStates();
}

void TTextEditForm1::InsertBtnClick() {
    if (const auto line = LineToWrite(FirstLine))
        ReplaceLine(FirstLine, *line);
}
