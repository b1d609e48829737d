// The grid editor: the shots of the loaded cave as a table, written back into the model on request.
#include "shell/FormEditor.h"

#include "model/ProgramState.h"
#include "shell/GridEditorModel.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

// The table, able to store a cell that is still being typed when a command needs it.
class TGridView : public QTableView {
public:
    using QTableView::QTableView;

    void CommitOpenEditor() {
        if (state() != EditingState)
            return;
        // Closed editors are only hidden until they are deleted.
        for (auto* editor : viewport()->findChildren<QLineEdit*>(Qt::FindDirectChildrenOnly)) {
            if (editor->isHidden())
                continue;
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
};

namespace {

const char* const kCaption = "Kvistrel 4 for windows editor";
// More conversion errors than this come in one list instead of a box each.
constexpr int kMaxSeparateWarnings = 10;

const QAbstractItemView::EditTriggers kCellEditing =
    QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
    QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed;

QLabel* Panel(const QString& text, int width, QWidget* parent) {
    auto* panel = new QLabel(text, parent);
    panel->setMinimumWidth(width);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    return panel;
}

} // namespace

TFormEditor::TFormEditor(QWidget* parent) : QMainWindow(parent) {
    setObjectName("FormEditor");
    setWindowFlag(Qt::Window);
    setWindowTitle(kCaption);
    resize(720, 480);
    BuildGrid();
    BuildMenuAndToolBar();
    BuildStatusBars();
    FillGrid();
}

void TFormEditor::BuildGrid() {
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Model = new TGridEditorModel(Cave, this);
    view_ = new TGridView(client);
    StringGrid1 = view_;
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setModel(Model);
    // No fixed column: the index is an ordinary cell.
    StringGrid1->verticalHeader()->hide();
    // Fixed sizes: nothing measures a million rows.
    StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    StringGrid1->verticalHeader()->setDefaultSectionSize(22);
    StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The heading row is fixed: a click on it selects nothing.
    StringGrid1->horizontalHeader()->setSectionsClickable(false);
    StringGrid1->horizontalHeader()->setHighlightSections(false);
    StringGrid1->setWordWrap(false);
    for (int col = 0; col < kGridColumns; ++col)
        StringGrid1->setColumnWidth(col, col == kColFrom || col == kColTo ? 52 : 64);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    layout->addWidget(StringGrid1);

    connect(StringGrid1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    StringGrid1SelectCell(current.column(), current.row() + 1);
            });
    connect(StringGrid1, &QAbstractItemView::clicked, this, &TFormEditor::StringGrid1Click);

    EditStatus = new QStatusBar(client);
    EditStatus->setObjectName("EditStatus");
    EditStatus->setSizeGripEnabled(false);
    EditStatus->setAutoFillBackground(true);
    QPalette yellow = EditStatus->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    yellow.setColor(QPalette::WindowText, Qt::black);
    EditStatus->setPalette(yellow);
    editPanels_[0] = Panel("Col:", 80, EditStatus);
    editPanels_[1] = Panel("Row:", 100, EditStatus);
    for (QLabel* p : editPanels_)
        EditStatus->addWidget(p);
    layout->addWidget(EditStatus);
    setCentralWidget(client);
}

void TFormEditor::BuildMenuAndToolBar() {
    auto action = [this](const char* name, const char* text, void (TFormEditor::*handler)()) {
        auto* a = new QAction(text, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Print1 = action("Print1", "&Print", &TFormEditor::Print1Click);
    Update1 = action("Update1", "&Update", &TFormEditor::Update1Click);
    Exit1 = action("Exit1", "E&xit", &TFormEditor::Exit1Click);
    menuBar()->addAction(Print1);
    menuBar()->addAction(Update1);
    menuBar()->addAction(Exit1);

    auto* bar = new QToolBar("ToolBar1", this);
    bar->setObjectName("ToolBar1");
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnDeleteRow = action("btnDeleteRow", "Delete Row", &TFormEditor::btnDeleteRowClick);
    btnInsertRow = action("btnInsertRow", "Insert Row", &TFormEditor::btnInsertRowClick);
    for (QAction* a : {btnDeleteRow, btnInsertRow}) {
        bar->addAction(a);
        bar->widgetForAction(a)->setObjectName(a->objectName());
    }
    addToolBar(Qt::TopToolBarArea, bar);
}

void TFormEditor::BuildStatusBars() {
    StatusBar1 = statusBar();
    StatusBar1->setObjectName("StatusBar1");
    const std::array<int, 6> widths = {150, 150, 110, 100, 100, 110};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        panels_[i] = Panel({}, widths[i], StatusBar1);
        panels_[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusBar1->addWidget(panels_[i]);
    }
}

void TFormEditor::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window restored from an icon is not shown anew: its cells stay as typed.
    if (!event->spontaneous())
        FillGrid();
}

void TFormEditor::FillGrid() {
    Model->Fill();
    // A selection of the previous cave would let "Delete Row" empty a row nobody chose.
    SelCol = 0;
    SelRow = 0;
    SetRowSelecting(false);
    RefreshStatusBars();
}

void TFormEditor::RefreshStatusBars() {
    panels_[0]->setText(QFileInfo(FromFileName(CurrentFile)).fileName());
    panels_[1]->setText(DecodeWindows1252(Cave.CaveName));
    panels_[2]->setText(QStringLiteral("%1 datalines").arg(Cave.LineCount));
    panels_[3]->setText(QStringLiteral("%1 comments").arg(Cave.CommentCount));
    panels_[4]->setText(QStringLiteral("%1 instuments").arg(Cave.InstrumentCount));
    panels_[5]->setText(QStringLiteral("%1 profile shots").arg(Cave.ScanPointCount));
    editPanels_[0]->setText(QStringLiteral("Col:%1").arg(SelCol));
    editPanels_[1]->setText(QStringLiteral("Row:%1").arg(SelRow));
}

void TFormEditor::SetRowSelecting(bool rows) {
    StringGrid1->setSelectionBehavior(rows ? QAbstractItemView::SelectRows
                                           : QAbstractItemView::SelectItems);
    StringGrid1->setEditTriggers(rows ? QAbstractItemView::NoEditTriggers : kCellEditing);
    btnDeleteRow->setEnabled(rows);
    btnInsertRow->setEnabled(rows);
}

bool TFormEditor::RowSelecting() const {
    return StringGrid1->selectionBehavior() == QAbstractItemView::SelectRows;
}

void TFormEditor::StringGrid1SelectCell(int col, std::int64_t row) {
    SelCol = col;
    SelRow = row;
    RefreshStatusBars();
}

void TFormEditor::StringGrid1Click() {
    if (SelCol == kColIndex) {
        Dialogs().Beep();
        SetRowSelecting(true);
        const QModelIndex cell = Model->CellIndex(SelRow, kColIndex);
        if (cell.isValid())
            StringGrid1->selectRow(cell.row());
    } else {
        SetRowSelecting(false);
    }
    RefreshStatusBars();
}

void TFormEditor::btnDeleteRowClick() {
    Model->DeleteRow(SelRow);
}

void TFormEditor::btnInsertRowClick() {}

void TFormEditor::Print1Click() {}

void TFormEditor::Update1Click() {
    // Without a cave read, or after a read that failed, there is nothing to write into.
    if (!DataLoaded)
        return;
    view_->CommitOpenEditor();
    ReportErrors(Model->Update());
    RefreshStatusBars();
}

void TFormEditor::ReportErrors(const QStringList& errors) {
    if (errors.size() > kMaxSeparateWarnings) {
        Dialogs().Report(QStringLiteral("%1 cells could not be converted; their lines keep the "
                                        "previous values:")
                             .arg(errors.size()),
                         errors);
        return;
    }
    for (const QString& e : errors)
        Dialogs().Warning(e);
}

void TFormEditor::Exit1Click() {
    close();
}

std::int64_t TFormEditor::RowCount() const {
    return Model->GridRows();
}

QString TFormEditor::Cell(int col, std::int64_t row) const {
    if (row == 0)
        return col >= 0 && col < kGridColumns ? QString(GridHeading(col)) : QString();
    return Model->CellText(row, col);
}

QString TFormEditor::PanelText(int panel) const {
    return panels_.at(static_cast<std::size_t>(panel))->text();
}

QString TFormEditor::EditStatusText(int panel) const {
    return editPanels_.at(static_cast<std::size_t>(panel))->text();
}
