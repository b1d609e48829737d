// The main window: menus, toolbars, status bar and the processing chain on a survey data file.
#pragma once

#include <QMainWindow>

#include <array>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QMdiArea;
class QMenu;
class QPushButton;
class QSpinBox;
class QTimer;
class QToolBar;
class TAboutForm;
class TChildForm;
class TFormEditor;

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    // The processing chain: read, reduce, write the listings.
    void ProcessFile(const QString& fileName);
    // What File > Open does once it has a name: the recent-file list, then the chain.
    void OpenNamedFile(const QString& fileName);
    void UpdateStatusPanel();
    TChildForm* CreateChild(const QString& caption);
    TChildForm* OpenOneFile(const QString& fileName, const QString& title);
    void ShowNameAndversionlabel();
    // The one place that decides which commands are enabled and checked.
    void UpdateCommandStates();
    QString PanelText(int panel) const;
    // Every open plot window draws the current positions again.
    void RedrawPlots();

    // Command handlers; a menu item and its tool button share one.
    void OpenFileBtnClick();
    void SaveBtnClick();
    void PrintBtnClick();
    void ExitBtnClick();
    void KvisEditBtnClick();
    void TextEditBtnClick();
    void CartesianBtnClick();
    void ViewCommentsBtnClick();
    void ViewProfileScansBtnClick();
    void ViewLogFileBtnClick();
    void ViewDataFileBtnClick();
    void OpenAllPropBtnClick();
    void CorrectLoopsBtnClick();
    void LeastSquaresBtnClick();
    void SetCyclesBtnClick();
    void CorrCycleOKBtnClick();
    void PlotCaveBtnClick();
    void DistancesBtnClick();
    void StatisticsBtnClick();
    void CorrectionFitClick();
    void LoopFileClick();
    void LoopLogFileClick();
    void FileName1Click();
    void CascadeClick();
    void TileClick();
    void ArrangeIconsClick();
    void MinimizeAllClick();
    void CloseAllClick();
    void ToolbarToggleClick();
    void HideAllToolbarsClick();
    void ShowAllToolbarsClick();
    void AboutClick();

    QMdiArea* MdiArea = nullptr;
    QLabel* NameVersionLabel = nullptr;
    QLabel* DateLabel = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* UnderTextLabel = nullptr;
    QFrame* CorrCyclePanel = nullptr;
    QSpinBox* CorrCycleSpinEdit1 = nullptr;
    QPushButton* CorrCycleOKBtn = nullptr;
    QTimer* Timer1 = nullptr;
    std::array<QToolBar*, 4> ToolBars{};
    std::array<QAction*, 6> RecentFiles{}; // FileName1 .. Filename6
    QAction* FileSep2 = nullptr;

    // Windows created at start-up and shown by commands; null until their windows exist.
    TFormEditor* FormEditor = nullptr;
    QWidget* TextEditForm1 = nullptr; // text editor
    TAboutForm* AboutForm = nullptr;
    QWidget* AttributeForm1 = nullptr; // shown by a plot's "Set Attributes"
    QWidget* KvisCadForm1 = nullptr;   // shown by a plot's "Node CAD Edit"
    QWidget* LineStyleForm = nullptr;  // the pen picker, for any caller

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBars();
    void BuildClientArea();
    void BuildStatusBar();
    void InitKvistrel();
    void CreateStartupWindows();
    QAction* NewAction(const QString& name, const QString& text,
                       void (TMainForm::*handler)() = nullptr);
    void AddRecentFile(const QString& fileName);
    void ViewDerivedFile(const char* extension, const QString& title);
    void ViewDataFile();
    void ViewReadingLog();
    void PlaceOverlays();

    std::array<QLabel*, 7> panels_{};
    QList<QAction*> dataActions_;   // enabled only while DataLoaded
    QList<QAction*> windowActions_; // enabled only while a child window exists
    QList<QMenu*> dataMenus_;
    std::array<QAction*, 4> toolbarToggles_{};
    QString lastOpenDir_;
};
