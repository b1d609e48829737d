// The survey data text editor: eight documents on tabs, with tools that know the file format.
#pragma once

#include "shell/DataLinje.h"

#include <QMainWindow>
#include <QTextBlock>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabBar;
class QTextDocument;

// One document slot.
struct TEditDocument {
    QString DocName = "[untitled]"; // lower-cased full file name, for showing
    QString FileName;               // the name as the file system spells it
    bool DocModified = false;
    // The text, null while the slot is unused. The memo shows the current slot's; switching tabs
    // swaps documents, so a tab change costs nothing however long the text and keeps its undo.
    QTextDocument* DocLines = nullptr;
    // The file's bytes while the text is as loaded: saving them keeps every line end as it was.
    std::optional<std::string> Loaded;
};

class TTextEditForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TTextEditForm1(QWidget* parent = nullptr);

    // False, after showing the file error, when the file cannot be read; the document is then
    // unchanged.
    bool LoadDocument(const QString& fileName);
    void SetDocumentName(const QString& fileName);
    // False, after showing the error, when the file could not be written; the slot stays
    // modified.
    bool SaveDocument(int slot);

    int CurrentSlot() const { return current_; }
    // Lines as the memo's line list counts them: a final line break starts no line.
    std::int64_t MemoLineCount() const;
    // Line n's bytes, empty beyond the end.
    std::string MemoLine(std::int64_t n) const;
    // FirstLine and LastLine from the memo's selection, as after a click in it.
    void UpdateSelectionLines();
    void UpdateCommandStates();
    void UpdateStatusBar();
    void LoadLineIntoEditor(std::int64_t n);

    // Commands; a menu item and its tool button share one.
    void NewClick();
    void OpenClick();
    void CloseClick();
    void SaveClick();
    void SaveAsClick();
    void ExitClick();
    void FontClick();
    void BackgroundClick();
    void InsHeadingButtonClick();
    void InsCommentButtonClick();
    void InstumentsButtonClick();
    void OKButton3Click();
    void CancelButton4Click();
    void NewProfileButtonClick();
    void FinishProfileButtonClick();
    void TypoButtonClick();
    void ToolButton5Click(); // line-edit window on or off
    void ToolButton6Click(); // AutoNext
    void ToolButton7Click(); // AutoPrefix
    void ToolButton8Click(); // the prefix edit
    void PreFixEditEnter();
    void DataOKButton1Click();
    void InsertBtnClick();
    void Button2Click(); // previous line
    void Button1Click(); // next line
    void TabSet1Change(int index);

    std::array<TEditDocument, kDocumentSlots> Docs;
    QString CurrentEditFile;
    std::int64_t FirstLine = 0;
    std::int64_t LastLine = 0;
    TEditSwitches Switches;

    QTabBar* TabSet1 = nullptr;
    QPlainTextEdit* TextGMemo1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* PrefixLabel = nullptr;
    QLineEdit* PreFixEdit = nullptr;
    TDataLinje* DataLinje = nullptr;
    QGroupBox* InstrumentGroupBox = nullptr;
    QComboBox* CompassCombo = nullptr;
    QComboBox* ClinoCombo = nullptr;
    QComboBox* MisvisnCombo = nullptr;
    QComboBox* CompErrCombo = nullptr;
    QComboBox* ClinoErrCombo = nullptr;
    QComboBox* TapeCombo = nullptr;
    QPushButton* OKButton3 = nullptr;
    QPushButton* CancelButton4 = nullptr;
    std::array<QLabel*, 2> StatusPanels{};

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* NewAction(const QString& name, const QString& text,
                       void (TTextEditForm1::*handler)() = nullptr, bool checkable = false);
    QAction* Command(const char* name) const;
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildClientArea();
    void BuildInstrumentDialog();
    // Sets the memo's text without counting it as an edit.
    void ShowText(const QString& text);
    void MemoEdited(int slot, int removed, int added);
    QTextDocument* NewDocument(int slot);
    QString SlotText(int slot) const;
    void SetSlotName(int slot, const QString& fileName);
    bool SaveSlot(int slot); // Save: Save As for an untitled slot
    bool SaveSlotAs(int slot);
    void EmptySlot(int slot);
    // Asks about every modified document; true when none is left modified.
    bool QueryClose();
    // Asks about a modified slot; false when the user cancels.
    bool ResolveModified(int slot);
    QTextBlock BlockAt(std::int64_t n) const; // invalid beyond the text
    void InsertLines(std::int64_t at, const std::vector<std::string>& lines);
    void ReplaceLine(std::int64_t n, const std::string& line);
    void MoveEditorTo(std::int64_t n);
    // The line-edit window's line, to go at line `at`; nothing, after a message, when it cannot.
    std::optional<std::string> LineToWrite(std::int64_t at);
    void ShowLineLabels();

    int current_ = 0;
    bool loading_ = false;
    QString lastDir_;
};
