// The grid editor: the shots of the loaded cave as a table, written back into the model on request.
#pragma once

#include <QMainWindow>

#include <array>
#include <cstdint>

class QAction;
class QLabel;
class QStatusBar;
class QTableView;
class TGridEditorModel;
class TGridView;

class TFormEditor : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormEditor(QWidget* parent = nullptr);

    // What every showing does: both status bars, the headings and a row for each line.
    void FillGrid();
    void RefreshStatusBars();

    // Handlers, named as the program names them.
    void StringGrid1SelectCell(int col, std::int64_t row);
    void StringGrid1Click();
    void btnDeleteRowClick();
    void btnInsertRowClick();
    void Print1Click();
    void Update1Click();
    void Exit1Click();

    // Grid rows, the heading row included, and the text of a cell (row 0 is the heading).
    std::int64_t RowCount() const;
    QString Cell(int col, std::int64_t row) const;
    QString PanelText(int panel) const;
    QString EditStatusText(int panel) const;
    // The grid selects whole rows (after a click in the index column) instead of editing cells.
    bool RowSelecting() const;

    QTableView* StringGrid1 = nullptr;
    TGridEditorModel* Model = nullptr;
    QAction* btnDeleteRow = nullptr;
    QAction* btnInsertRow = nullptr;
    QAction* Print1 = nullptr;
    QAction* Update1 = nullptr;
    QAction* Exit1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QStatusBar* EditStatus = nullptr;

    // The cell last selected, in grid rows (row 0 is the heading).
    int SelCol = 0;
    std::int64_t SelRow = 0;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildGrid();
    void BuildMenuAndToolBar();
    void BuildStatusBars();
    void SetRowSelecting(bool rows);
    void ReportErrors(const QStringList& errors);

    TGridView* view_ = nullptr;
    std::array<QLabel*, 6> panels_{};
    std::array<QLabel*, 2> editPanels_{};
};
