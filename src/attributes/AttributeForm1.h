// The attribute dialog "Prefix Analysis": the survey's prefixes and the attribute set applied.
#pragma once

#include "attributes/AttributeSets.h"

#include <QWidget>

#include <string>
#include <vector>

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;
class QTableWidget;

class TAttributeForm1 : public QWidget {
    Q_OBJECT
public:
    // Created once, hidden; GetLetters fills and shows it.
    explicit TAttributeForm1(QWidget* parent = nullptr);
    ~TAttributeForm1() override;
    // The dialog created first and still alive, or nullptr.
    static TAttributeForm1* Instance();

    // Prefix analysis of Cave, the sets of the attribute file (or the default set), then shown.
    void GetLetters();
    void GetAttributFile();
    // Writes every set; a failure is reported. False when nothing was written.
    bool SaveAttributFile();
    void GetdefaultSetting();
    void UpDateStringGrid();
    void ApplyAttributes(bool ExclusionsOnly);
    // Beside the survey that was current when the dialog was opened; empty without one.
    std::string AttributeFile() const;

    // Buttons and controls.
    void ApplyButton1Click();
    void ExcludeBtnClick();
    void CancelButton1Click();
    void Button2Click();
    void PrefixStringGridDblClick(int row, int column);
    void PrefixStringGridSelectCell(int row, int column);
    void PrefixListBox1DblClick();
    void ColorPanel2Click();
    void ComboBoxTChange(int index);
    void Button1Click();
    void WidthButtonClick();
    void ComboBox1Change(int index);
    void ComboBox1Exit();
    void LineStyleComboBoxChange(int index);
    void LineStyleComboBoxExit();
    void WidthSpinEdit2Change(int value);
    void WidthSpinEdit2Exit();
    void AliasEdit1Enter();
    void SpinEdit1Change(int value);
    // Adds a prefix to the selected ones (kept sorted, each once).
    void SelectPrefix(const QString& prefix);

    QTableWidget* PrefixStringGrid = nullptr;
    QListWidget* PrefixListBox1 = nullptr; // the selected prefixes
    QPushButton* ColorPanel2 = nullptr;
    QComboBox* ComboBoxT = nullptr; // "Visible", "Excluded"
    QPushButton* Button1 = nullptr; // "LineStyle"
    QPushButton* WidthButton = nullptr;
    QComboBox* LineStyleComboBox = nullptr;
    QComboBox* ComboBox1 = nullptr; // "true", "false" over a grid cell
    QSpinBox* WidthSpinEdit2 = nullptr;
    QLineEdit* AliasEdit1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr; // the set number
    QPushButton *ApplyButton1 = nullptr, *ExcludeBtn = nullptr, *CancelButton1 = nullptr,
                *Button2 = nullptr;

    std::vector<TPrefixRow> PrefixList; // the grid's rows
    bool GridEdit = false;              // an in-cell editor was opened from a grid cell

signals:
    // The shots took a set: the plots redraw.
    void AttributesApplied();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TAttributs& Current();
    // Item r of the current set behind grid row r, or nullptr when the set is shorter.
    TAttribut* ItemOfRow(int row);
    // Calls f for every item whose prefix is selected, then refreshes the grid.
    template <class F> void ForSelected(F f);
    void ShowOverCell(QWidget* editor, int row, int column);
    void ShowBelow(QWidget* editor, QWidget* button);
    void SetCell(int row, int column, const QString& text);
    void ShowPanelColour(std::uint32_t colour);
    void ResetGrid();

    int editRow_ = -1;              // grid row of the in-cell editor
    std::string atrFile_;           // the attribute file of the sets shown
    std::string unreadableFile_;    // the attribute file that could not be read on opening
    std::uint32_t panelColour_ = 0; // shown on ColorPanel2
};
