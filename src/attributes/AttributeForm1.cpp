// The attribute dialog: grid of prefixes with in-cell editors, buttons acting on the selection.
#include "attributes/AttributeForm1.h"

#include "attributes/AttributeFile.h"
#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "plot/QtCanvas.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdio>
#include <set>

namespace {

TAttributeForm1* instance = nullptr;

enum : int {
    kColPrefix = 0,
    kColMatches = 1,
    kColAlias = 2,
    kColVisible = 3,
    kColColour = 4,
    kColLine = 5,
    kColWidth = 6,
    kColumns = 7
};

constexpr int kMaxSetNumber = 5;

// The reverse of ToQColor: 0x00BBGGRR.
std::uint32_t FromColour(const QColor& c) {
    return std::uint32_t(c.red()) | (std::uint32_t(c.green()) << 8) |
           (std::uint32_t(c.blue()) << 16);
}

// A core message shown: its text is Windows-1252, the file name in it the file system's bytes.
QString FileMessage(const std::string& message, const std::string& file) {
    return DecodeWindows1252(message).replace(DecodeWindows1252(file), FromFileName(file));
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TAttributeForm1::TAttributeForm1(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint) {
    setObjectName("AttributeForm1");
    setWindowTitle("Prefix Analysis");
    if (!instance)
        instance = this;

    PrefixStringGrid = new QTableWidget(this);
    PrefixStringGrid->setObjectName("PrefixStringGrid");
    PrefixStringGrid->setColumnCount(kColumns);
    PrefixStringGrid->setHorizontalHeaderLabels(
        {"Prefix", "Matches", "Alias", "Visible", "Color", "Line", "width"});
    PrefixStringGrid->verticalHeader()->hide();
    PrefixStringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PrefixStringGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    PrefixStringGrid->setColumnWidth(kColPrefix, 50);
    PrefixStringGrid->setColumnWidth(kColMatches, 60);
    PrefixStringGrid->setColumnWidth(kColVisible, 60);
    PrefixStringGrid->setColumnWidth(kColWidth, 50);
    for (int c : {kColAlias, kColColour, kColLine})
        PrefixStringGrid->setColumnWidth(c, 70);
    connect(PrefixStringGrid, &QTableWidget::cellDoubleClicked, this,
            &TAttributeForm1::PrefixStringGridDblClick);
    connect(PrefixStringGrid, &QTableWidget::cellClicked, this,
            &TAttributeForm1::PrefixStringGridSelectCell);
    connect(PrefixStringGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int, int) { PrefixStringGridSelectCell(row, column); });

    PrefixListBox1 = new QListWidget(this);
    PrefixListBox1->setObjectName("PrefixListBox1");
    PrefixListBox1->setSortingEnabled(true);
    PrefixListBox1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    PrefixListBox1->setToolTip("Double click in the grid's Prefix column to add a prefix, "
                               "double click here to remove the selected ones");
    connect(PrefixListBox1, &QListWidget::itemDoubleClicked, this,
            &TAttributeForm1::PrefixListBox1DblClick);

    ColorPanel2 = NewButton(this, "ColorPanel2", "Color");
    connect(ColorPanel2, &QPushButton::clicked, this, &TAttributeForm1::ColorPanel2Click);
    ComboBoxT = new QComboBox(this);
    ComboBoxT->setObjectName("ComboBoxT");
    ComboBoxT->addItems({"Visible", "Excluded"});
    connect(ComboBoxT, &QComboBox::activated, this, &TAttributeForm1::ComboBoxTChange);
    Button1 = NewButton(this, "Button1", "LineStyle");
    connect(Button1, &QPushButton::clicked, this, &TAttributeForm1::Button1Click);
    WidthButton = NewButton(this, "WidthButton", "Width");
    connect(WidthButton, &QPushButton::clicked, this, &TAttributeForm1::WidthButtonClick);

    // The floating editors, shown over a grid cell or below their button.
    LineStyleComboBox = new QComboBox(this);
    LineStyleComboBox->setObjectName("LineStyleComboBox");
    for (int code = 0; code < kPenStyleCount; ++code)
        LineStyleComboBox->addItem(PenStyleName(static_cast<std::uint8_t>(code)));
    LineStyleComboBox->setPlaceholderText("Linestyle");
    connect(LineStyleComboBox, &QComboBox::activated, this,
            &TAttributeForm1::LineStyleComboBoxChange);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->addItems({"true", "false"});
    connect(ComboBox1, &QComboBox::activated, this, &TAttributeForm1::ComboBox1Change);
    WidthSpinEdit2 = new QSpinBox(this);
    WidthSpinEdit2->setObjectName("WidthSpinEdit2");
    WidthSpinEdit2->setRange(1, 7);
    connect(WidthSpinEdit2, &QSpinBox::valueChanged, this, &TAttributeForm1::WidthSpinEdit2Change);
    for (QWidget* editor :
         {static_cast<QWidget*>(LineStyleComboBox), static_cast<QWidget*>(ComboBox1),
          static_cast<QWidget*>(WidthSpinEdit2)}) {
        editor->hide();
        editor->installEventFilter(this);
    }
    PrefixStringGrid->verticalHeader()->setDefaultSectionSize(ComboBox1->sizeHint().height());
    // An editor over a cell would stay behind when the cells scroll away under it.
    auto leaveCell = [this] {
        if (ComboBox1->isVisible())
            ComboBox1Exit();
        if (GridEdit && LineStyleComboBox->isVisible())
            LineStyleComboBoxExit();
        if (GridEdit && WidthSpinEdit2->isVisible())
            WidthSpinEdit2Exit();
    };
    connect(PrefixStringGrid->verticalScrollBar(), &QScrollBar::valueChanged, this, leaveCell);
    connect(PrefixStringGrid->horizontalScrollBar(), &QScrollBar::valueChanged, this, leaveCell);

    AliasEdit1 = new QLineEdit(this);
    AliasEdit1->setObjectName("AliasEdit1");
    AliasEdit1->setToolTip("Name of the set; Enter takes it");
    connect(AliasEdit1, &QLineEdit::returnPressed, this, &TAttributeForm1::AliasEdit1Enter);
    SpinEdit1 = new QSpinBox(this);
    SpinEdit1->setObjectName("SpinEdit1");
    SpinEdit1->setRange(0, kMaxSetNumber);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TAttributeForm1::SpinEdit1Change);

    ApplyButton1 = NewButton(this, "ApplyButton1", "Apply All");
    ExcludeBtn = NewButton(this, "ExcludeBtn", "Apply Exclusions");
    CancelButton1 = NewButton(this, "CancelButton1", "Cancel");
    Button2 = NewButton(this, "Button2", "Delete File");
    Button2->setToolTip("refresh (delete) attribute file");
    connect(ApplyButton1, &QPushButton::clicked, this, &TAttributeForm1::ApplyButton1Click);
    connect(ExcludeBtn, &QPushButton::clicked, this, &TAttributeForm1::ExcludeBtnClick);
    connect(CancelButton1, &QPushButton::clicked, this, &TAttributeForm1::CancelButton1Click);
    connect(Button2, &QPushButton::clicked, this, &TAttributeForm1::Button2Click);

    auto* sidePanel = new QWidget(this);
    sidePanel->setFixedWidth(200);
    auto* side = new QVBoxLayout(sidePanel);
    side->setContentsMargins(0, 0, 0, 0);
    side->addWidget(new QLabel("Selected prefixes", this));
    side->addWidget(PrefixListBox1, 1);
    side->addWidget(ColorPanel2);
    side->addWidget(new QLabel("Include/exclude", this));
    side->addWidget(ComboBoxT);
    side->addWidget(Button1);
    side->addWidget(WidthButton);
    auto* setRow = new QGridLayout;
    setRow->addWidget(new QLabel("Set", this), 0, 0);
    setRow->addWidget(SpinEdit1, 0, 1);
    setRow->addWidget(new QLabel("Alias", this), 1, 0);
    setRow->addWidget(AliasEdit1, 1, 1);
    side->addLayout(setRow);

    auto* top = new QHBoxLayout;
    top->addWidget(PrefixStringGrid, 1);
    top->addWidget(sidePanel);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {ApplyButton1, ExcludeBtn, Button2, CancelButton1})
        buttons->addWidget(b);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top, 1);
    all->addLayout(buttons);

    ShowPanelColour(kDefaultAttributeColour);
    ResetGrid();
    // Room for all seven columns and the scroll bar.
    int columns = 0;
    for (int c = 0; c < kColumns; ++c)
        columns += PrefixStringGrid->columnWidth(c);
    PrefixStringGrid->setMinimumWidth(columns + 2 * PrefixStringGrid->frameWidth() + 20);
    resize(720, 440);
}

TAttributeForm1::~TAttributeForm1() {
    if (instance == this)
        instance = nullptr;
}

TAttributeForm1* TAttributeForm1::Instance() {
    return instance;
}

std::string TAttributeForm1::AttributeFile() const {
    return atrFile_;
}

TAttributs& TAttributeForm1::Current() {
    if (AttributeSets.empty())
        AttributeSets.push_back(DefaultSet(PrefixList));
    if (CurrentSet < 0 || static_cast<std::size_t>(CurrentSet) >= AttributeSets.size())
        CurrentSet = 0;
    return AttributeSets[static_cast<std::size_t>(CurrentSet)];
}

TAttribut* TAttributeForm1::ItemOfRow(int row) {
    TAttributs& set = Current();
    if (row < 0 || static_cast<std::size_t>(row) >= UsableItems(set))
        return nullptr;
    return &set.Items[static_cast<std::size_t>(row)];
}

template <class F> void TAttributeForm1::ForSelected(F f) {
    std::set<std::string> selected;
    for (int i = 0; i < PrefixListBox1->count(); ++i)
        selected.insert(EncodeWindows1252(PrefixListBox1->item(i)->text()));
    TAttributs& set = Current();
    const std::size_t n = UsableItems(set);
    for (std::size_t k = 0; k < n; ++k)
        if (selected.count(set.Items[k].Prefix))
            f(set.Items[k]);
    UpDateStringGrid();
}

// ---- filling ---------------------------------------------------------------------------------

void TAttributeForm1::ResetGrid() {
    // Closed, the grid holds the header and one empty row.
    const QSignalBlocker block(PrefixStringGrid);
    PrefixStringGrid->clearContents();
    PrefixStringGrid->setRowCount(1);
    PrefixList.clear();
}

void TAttributeForm1::GetLetters() {
    // The sets belong to the survey they were loaded for, even if another is read meanwhile.
    atrFile_ = CurrentFile.empty() ? std::string() : AttributeFileName(CurrentFile);
    PrefixList = ::GetLetters(Cave);
    const QSignalBlocker block(PrefixStringGrid); // filling is not selecting cells
    PrefixStringGrid->clearContents();
    PrefixStringGrid->setRowCount(static_cast<int>(PrefixList.size()));
    for (int r = 0; r < PrefixStringGrid->rowCount(); ++r) {
        for (int c = 0; c < kColumns; ++c)
            PrefixStringGrid->setItem(r, c, new QTableWidgetItem);
        const TPrefixRow& row = PrefixList[static_cast<std::size_t>(r)];
        SetCell(r, kColPrefix, QString::fromLatin1(row.Prefix.c_str()));
        SetCell(r, kColMatches, QString::number(row.Matches));
    }
    GetdefaultSetting();
    GetAttributFile();
    UpDateStringGrid();
    show();
    raise();
    activateWindow();
}

void TAttributeForm1::GetAttributFile() {
    const std::string file = AttributeFile();
    unreadableFile_.clear();
    if (file.empty())
        return; // no survey: the default set stands
    const TAttributeFileResult r = ::GetAttributFile(file, PrefixList, AttributeSets, CurrentSet);
    if (!r.Ok) {
        unreadableFile_ = file;
        Dialogs().Warning(FileMessage(r.Message, file));
    }
    const QSignalBlocker block(SpinEdit1);
    SpinEdit1->setValue(CurrentSet);
}

bool TAttributeForm1::SaveAttributFile() {
    const std::string file = AttributeFile();
    if (file.empty())
        return false;
    // A file that could not be read may still be worth more than the sets shown instead.
    if (file == unreadableFile_ &&
        !Dialogs().YesNo("The attribute file " + FromFileName(file) +
                             " could not be read. Replace it with the attribute sets shown?",
                         true))
        return false;
    const TAttributeFileResult r = ::SaveAttributFile(file, AttributeSets);
    if (!r.Ok) {
        Dialogs().Warning(FileMessage(r.Message, file));
        return false;
    }
    unreadableFile_.clear();
    return true;
}

void TAttributeForm1::GetdefaultSetting() {
    ::GetdefaultSetting(Current(), PrefixList);
    UpDateStringGrid();
}

void TAttributeForm1::SetCell(int row, int column, const QString& text) {
    if (row < 0 || row >= PrefixStringGrid->rowCount())
        return;
    QTableWidgetItem* cell = PrefixStringGrid->item(row, column);
    if (!cell) {
        cell = new QTableWidgetItem;
        PrefixStringGrid->setItem(row, column, cell);
    }
    cell->setText(text);
}

void TAttributeForm1::UpDateStringGrid() {
    TAttributs& set = Current();
    const QString alias = DecodeWindows1252(set.SetName);
    for (int r = 0; r < static_cast<int>(PrefixList.size()); ++r) {
        const TAttribut* a = ItemOfRow(r);
        SetCell(r, kColAlias, alias);
        SetCell(r, kColVisible, a ? (a->Visible ? "true" : "false") : QString());
        SetCell(r, kColColour, a ? QString::number(a->Colour) : QString());
        SetCell(r, kColLine, a ? QString(PenStyleName(a->PenStyle)) : QString());
        SetCell(r, kColWidth, a ? QString::number(a->PenWidth) : QString());
    }
    AliasEdit1->setText(alias);
}

void TAttributeForm1::ApplyAttributes(bool ExclusionsOnly) {
    ::ApplyAttributes(Cave, Current(), ExclusionsOnly);
    emit AttributesApplied();
}

// ---- buttons ---------------------------------------------------------------------------------

void TAttributeForm1::ApplyButton1Click() {
    close();
    ApplyAttributes(false);
    SaveAttributFile();
}

void TAttributeForm1::ExcludeBtnClick() {
    close();
    ApplyAttributes(true);
    SaveAttributFile();
}

void TAttributeForm1::CancelButton1Click() {
    close();
}

void TAttributeForm1::Button2Click() {
    const std::string file = AttributeFile();
    if (!file.empty() && FileExists(file)) {
        const QString name = QFileInfo(FromFileName(file)).fileName();
        if (Dialogs().YesNo("Do you really want to delete " + name + "?") &&
            std::remove(file.c_str()) != 0)
            Dialogs().Warning("Could not delete " + FromFileName(file) + ".");
    }
    GetdefaultSetting();
}

void TAttributeForm1::closeEvent(QCloseEvent* event) {
    for (QWidget* editor :
         {static_cast<QWidget*>(LineStyleComboBox), static_cast<QWidget*>(ComboBox1),
          static_cast<QWidget*>(WidthSpinEdit2)})
        editor->hide();
    GridEdit = false;
    // The sets stay as they are: only the survey's rows go.
    ResetGrid();
    QWidget::closeEvent(event);
}

// ---- selection and the buttons acting on it --------------------------------------------------

void TAttributeForm1::SelectPrefix(const QString& prefix) {
    if (prefix.isEmpty() || !PrefixListBox1->findItems(prefix, Qt::MatchExactly).isEmpty())
        return;
    PrefixListBox1->addItem(prefix);
}

void TAttributeForm1::PrefixStringGridDblClick(int row, int column) {
    if (row < 0 || row >= static_cast<int>(PrefixList.size()))
        return;
    if (column == kColPrefix) {
        SelectPrefix(QString::fromLatin1(PrefixList[static_cast<std::size_t>(row)].Prefix.c_str()));
    } else if (column == kColColour) {
        TAttribut* a = ItemOfRow(row);
        const std::optional<QColor> c = Dialogs().Colour(ToQColor(a ? a->Colour : panelColour_));
        if (!c || !a)
            return;
        a->Colour = FromColour(*c);
        ShowPanelColour(a->Colour);
        UpDateStringGrid();
    }
}

void TAttributeForm1::PrefixListBox1DblClick() {
    for (QListWidgetItem* item : PrefixListBox1->selectedItems())
        delete item;
}

void TAttributeForm1::ShowPanelColour(std::uint32_t colour) {
    panelColour_ = colour;
    const QColor c = ToQColor(colour);
    ColorPanel2->setStyleSheet(QStringLiteral("background-color: %1; color: %2")
                                   .arg(c.name(), c.lightness() < 128 ? "white" : "black"));
}

void TAttributeForm1::ColorPanel2Click() {
    const std::optional<QColor> c = Dialogs().Colour(ToQColor(panelColour_));
    if (!c)
        return;
    const std::uint32_t colour = FromColour(*c);
    ShowPanelColour(colour);
    ForSelected([colour](TAttribut& a) { a.Colour = colour; });
}

void TAttributeForm1::ComboBoxTChange(int index) {
    if (index < 0)
        return;
    const bool visible = index == 0;
    ForSelected([visible](TAttribut& a) { a.Visible = visible; });
}

void TAttributeForm1::ShowBelow(QWidget* editor, QWidget* button) {
    const QPoint at = button->mapTo(this, QPoint(0, button->height()));
    editor->setGeometry(at.x(), at.y(), button->width(), editor->sizeHint().height());
    editor->show();
    editor->raise();
    editor->setFocus();
}

void TAttributeForm1::ShowOverCell(QWidget* editor, int row, int column) {
    editRow_ = row;
    const QRect cell = PrefixStringGrid->visualRect(PrefixStringGrid->model()->index(row, column));
    const QPoint at = PrefixStringGrid->viewport()->mapTo(this, cell.topLeft());
    editor->setGeometry(at.x(), at.y(), cell.width(), cell.height());
    editor->show();
    editor->raise();
    editor->setFocus();
}

void TAttributeForm1::Button1Click() {
    GridEdit = false;
    LineStyleComboBox->setCurrentIndex(-1); // shows "Linestyle": no style picked yet
    ShowBelow(LineStyleComboBox, Button1);
}

void TAttributeForm1::WidthButtonClick() {
    GridEdit = false;
    ShowBelow(WidthSpinEdit2, WidthButton);
    const int width = WidthSpinEdit2->value();
    ForSelected([width](TAttribut& a) { a.PenWidth = width; });
}

// ---- in-cell editors -------------------------------------------------------------------------

void TAttributeForm1::PrefixStringGridSelectCell(int row, int column) {
    if (row < 0 || row >= static_cast<int>(PrefixList.size()))
        return;
    const QTableWidgetItem* cell = PrefixStringGrid->item(row, column);
    const QString text = cell ? cell->text() : QString();
    if (column == kColVisible) {
        ComboBox1->setCurrentIndex(ComboBox1->findText(text));
        ShowOverCell(ComboBox1, row, column);
    } else if (column == kColLine) {
        GridEdit = true;
        LineStyleComboBox->setCurrentIndex(LineStyleComboBox->findText(text));
        ShowOverCell(LineStyleComboBox, row, column);
    } else if (column == kColWidth) {
        GridEdit = true;
        const TAttribut* a = ItemOfRow(row);
        {
            const QSignalBlocker block(WidthSpinEdit2);
            WidthSpinEdit2->setValue(a ? a->PenWidth : 1);
        }
        ShowOverCell(WidthSpinEdit2, row, column);
    }
}

void TAttributeForm1::ComboBox1Change(int index) {
    if (index < 0)
        return;
    SetCell(editRow_, kColVisible, ComboBox1->itemText(index));
    if (TAttribut* a = ItemOfRow(editRow_))
        a->Visible = index == 0;
    ComboBox1->hide();
    UpDateStringGrid();
}

void TAttributeForm1::ComboBox1Exit() {
    ComboBox1->hide();
}

void TAttributeForm1::LineStyleComboBoxChange(int index) {
    if (index < 0)
        return;
    const auto code = static_cast<std::uint8_t>(index);
    if (GridEdit) {
        SetCell(editRow_, kColLine, LineStyleComboBox->itemText(index));
        if (TAttribut* a = ItemOfRow(editRow_))
            a->PenStyle = code;
        UpDateStringGrid();
    } else {
        // Opened by the button: the style is for the selected prefixes, as the width is.
        ForSelected([code](TAttribut& a) { a.PenStyle = code; });
    }
    LineStyleComboBox->hide();
}

void TAttributeForm1::LineStyleComboBoxExit() {
    LineStyleComboBox->hide();
    UpDateStringGrid();
    GridEdit = false;
}

void TAttributeForm1::WidthSpinEdit2Change(int value) {
    if (GridEdit) {
        if (TAttribut* a = ItemOfRow(editRow_))
            a->PenWidth = value;
        UpDateStringGrid();
    } else {
        ForSelected([value](TAttribut& a) { a.PenWidth = value; });
    }
}

void TAttributeForm1::WidthSpinEdit2Exit() {
    if (GridEdit)
        SetCell(editRow_, kColWidth, QString::number(WidthSpinEdit2->value()));
    WidthSpinEdit2->hide();
    UpDateStringGrid();
    GridEdit = false;
}

bool TAttributeForm1::eventFilter(QObject* watched, QEvent* event) {
    // Hiding an editor takes its focus away; that is not the user leaving it once more.
    if (event->type() == QEvent::FocusOut && !static_cast<QWidget*>(watched)->isHidden() &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        if (watched == ComboBox1)
            ComboBox1Exit();
        else if (watched == LineStyleComboBox)
            LineStyleComboBoxExit();
        else if (watched == WidthSpinEdit2)
            WidthSpinEdit2Exit();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- the set -----------------------------------------------------------------------------------

void TAttributeForm1::AliasEdit1Enter() {
    Current().SetName = EncodeWindows1252(AliasEdit1->text());
    UpDateStringGrid();
}

void TAttributeForm1::SpinEdit1Change(int value) {
    if (value < 0)
        return;
    if (static_cast<std::size_t>(value) < AttributeSets.size()) {
        CurrentSet = value; // another of the sets is shown and applied
    } else if (Dialogs().YesNo("New attribute set?")) {
        AttributeSets.push_back(TAttributs{});
        CurrentSet = static_cast<std::int32_t>(AttributeSets.size() - 1);
        ::GetdefaultSetting(Current(), PrefixList);
    }
    const QSignalBlocker block(SpinEdit1);
    SpinEdit1->setValue(CurrentSet);
    UpDateStringGrid();
}
