// The plot window: the cave as a rotatable wire drawing with its controls and read-outs.
#pragma once

#include "plot/ClipPolyInteraction.h"
#include "plot/PlotInteraction.h"
#include "plot/PlotRender.h"
#include "plot/ViewTransform.h"

#include <QFrame>
#include <QImage>
#include <QMainWindow>

#include <array>
#include <functional>
#include <vector>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QToolBar;
class QToolButton;
class QMdiSubWindow;
class QTimer;

class TKvisPlotForm1;
class TextClock;

// The drawing surface: shows the off-screen image and hands mouse events to the window.
class TPlotSurface : public QWidget {
public:
    explicit TPlotSurface(TKvisPlotForm1* form);
    QImage Image;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    TKvisPlotForm1* form_;
};

// The gnomon's paint box.
class TGnomonBox : public QWidget {
public:
    explicit TGnomonBox(TKvisPlotForm1* form);
    QImage Image;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    TKvisPlotForm1* form_;
};

// A frame whose own mouse events (outside its children) go to callbacks: the finder's drag.
class TDragFrame : public QFrame {
public:
    using QFrame::QFrame;
    std::function<void(QMouseEvent*)> OnPress, OnMove, OnRelease;

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
};

class TKvisPlotForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Draws the global Cave with the global Summary.
    explicit TKvisPlotForm1(QWidget* parent = nullptr);

    // This window's own view, switches and pointer state.
    TPlotView View;
    TPlotSwitches Switches;
    TPlotColorTable PlotColors{};
    TPlotInteraction Interaction;

    // Redraws.
    void PlottKviste();
    void RedrawSwitch(bool withGrid, bool clear);
    void DrawGnomon();
    void UpdateStatusPanel();
    void InitierPlot();
    void SetGnomBox();
    void UpdateActions();
    void SetupView(); // SetViewPort, InitierPlot and a redraw, as on showing
    // While the view moves: the legs at once, the full picture once the input has rested.
    void QuickRedraw();
    // Sizes and places a new plot window inside what its frame shows.
    static void PlaceInFrame(QMdiSubWindow* sub);

    // View commands.
    void FitToPageClick();
    void ZoomInClick();
    void ZoomOutClick();
    void UpBtnClick();
    void DownBtnClick();
    void RightBtnClick();
    void LeftbtnClick();
    void Refresh1Click();
    void CenterStation(const QString& name);
    void SetRotation();
    void ToggleSimulRot();
    void RotationBtnClick();
    void RotateLeftBtnClick();
    void RotateRightBtnClick();
    void TiltBackBtnClick();
    void TiltOutWardsBtnClick();
    void ResetRotationBtnClick();
    void RotateSpinEdit1Change(int value);
    void IncrOKButton1Click();
    void IncrCancelButton1Click();
    void Setstep1Click();
    void RotationStepBtnClick();

    // Display switches.
    void LabelsBtnClick();
    void HVNOBtnClick();
    void CrosSectBtnClick();
    void ShowGridBtnClick();
    void NocenterLnBtnClick();
    void StationsBtnClick();
    void CommStationBtnClick();
    void ShowPhotoStationBtnClick();
    void Lines1Click();
    void Points1Click();
    void OnlyContinous1Click();
    void View1Click(); // the View menu opens: check marks from the switches
    void SetStationSymbol1Click();
    void StationSizeSpinEdit1Change(int value);
    void StationSizeResetClick();
    void StationSizeCloseClick();
    void Statistics1Click();
    void StatOKButtonClick();
    void Exit1Click();
    void OverlappingNames1Click();

    // Exports of the view (KvisPlotForm1Export.cpp): the plotter files, SVG and PDF.
    void HPGLExport();
    void ExportSVG1Click();
    void ExportPDF1Click();
    const TextClock* Clock = nullptr; // the frame's date and time; null: the system clock

    // Station pop-up menu, comment box, hint and finder.
    void FormMouseDown(Qt::MouseButton button, QPoint pos);
    void FormMouseMove(Qt::MouseButtons buttons, QPoint pos);
    void FormMouseUp(Qt::MouseButton button, QPoint pos);
    void FormClick();
    void GnomonClick();
    void GnomonDblClick();
    void GnomonRightMove();
    void ShowComment1Click();
    void AddComment1Click();
    void CommentEdit1Enter();
    void CommentEdit1Escape();
    void ExcludeStation1Click();
    void SetAttributes1Click(); // the attribute dialog on this survey
    void Photos1Click();
    void DisplayHint(int x, int y, const QString& text);
    void CloseHint();
    void FindStationBtnClick();
    void StationStringGridDblClick(int row, int column);
    void FindStationButtonClick();
    void EditNodeButton1Click();
    void NodeCADEdit1Click();
    void OpenKvisCAD1Click();
    void ShowKvisCAD(std::int32_t station, bool choose);
    void CancelButtonClick();

    TPlotSurface* Surface = nullptr;
    TGnomonBox* GnomonBox = nullptr;
    QFrame* GnomonPanel = nullptr;
    QLabel *NLabel = nullptr, *ELabel = nullptr, *WLabel = nullptr, *SLabel = nullptr;
    QToolBar *ToolBar1 = nullptr, *ToolBar2 = nullptr, *ToolBar3 = nullptr;
    QFrame* RotPanel1 = nullptr;
    QSpinBox* RotateSpinEdit1 = nullptr;
    QLabel* Incrementlabel = nullptr;
    QFrame* StatistikkPanel = nullptr;
    std::array<QLabel*, 6> StatValueLabels{};
    QFrame* StationSizePanel1 = nullptr;
    QSpinBox* StationSizeSpinEdit1 = nullptr;
    TDragFrame* StationGridPanel1 = nullptr;
    QTableWidget* StationStringGrid = nullptr;
    QLabel* StationLabel1 = nullptr;
    QLineEdit* CommentEdit1 = nullptr;
    QLabel* HintWindow = nullptr;
    QMenu* StationPopupMenu1 = nullptr;
    QMenu* View1 = nullptr;
    std::array<QLabel*, 6> StatusPanels{};

    QAction *Labels1 = nullptr, *HVNO1 = nullptr, *CrossSections1 = nullptr, *Grid1 = nullptr,
            *NoCenterLines1 = nullptr, *Stations1 = nullptr, *CommentedStations1 = nullptr,
            *PhotoStations1 = nullptr, *FindStation1 = nullptr, *OverlappingNames1 = nullptr;
    QAction *SimultaneousRotation1 = nullptr, *Setstep1 = nullptr;
    QAction *RotationAction = nullptr, *RotationStepAction = nullptr;
    std::array<QAction*, 6> RotationBarActions{}; // enabled only while rotation is on
    QAction *PopupTitle1 = nullptr, *NodeCADEdit1 = nullptr, *ShowComment1 = nullptr,
            *AddComment1 = nullptr, *ExcludeStation1 = nullptr, *Photos1 = nullptr;

    QTimer* FullRedrawTimer = nullptr; // single shot: the full picture after the input rests

    // Clip polygon: menus, pop-ups and file (KvisPlotForm1Clip.cpp).
    TClipPolyInteraction Clip;
    bool ClipDoubleClick = false; // the press being handled is the second of a double click
    void ClippingPolygon1Click(); // the menu opens: enabling and check marks
    void DrawnewPolyGon1Click();
    void GetPolyGons1Click();
    void SavePolygons1Click();
    void HideshowPolyGons1Click();
    void DeletePolyGons1Click();
    void EditNode1Click();
    void NewPolyGon1Click();
    void ClosepolyGon1Click();
    void NamePolyGon1Click(); // "Name/Rename Poly" and "Name PolyGon"
    void PolyNameEdit1Enter();
    void PolyNameEdit1Escape();
    void EditPolyGon1Click();
    void DeletePolyGon1Click(); // of ClipPolyPopup1
    void PolygonInfo1Click();
    void AddNode1Click();
    void DeleteNode1Click();
    void DeletePolyGon2Click(); // of EditClipNodePopup1
    void Printable1Click();
    void EndEdit1Click();
    void ClipOutSide1Click();
    void ClipInside1Click();
    void ResetClipping1Click();
    void SettPolyClppingToCave(int mode);
    void PlottClipPolyGoner();
    // False when the file is missing or unreadable; *fault tells the second (message shown).
    bool GetClipPolyFile(bool* fault = nullptr);
    bool SaveClipPolyFile();
    void UpdateClipActions();
    QMenu *ClippingPolygon1 = nullptr, *ClipPolyPopup1 = nullptr, *EditClipNodePopup1 = nullptr,
          *ClipActionPopup1 = nullptr;
    QLineEdit* PolyNameEdit1 = nullptr;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    friend class TPlotSurface;
    void BuildMenus();
    void BuildControlPanel();
    void BuildFloatingPanels();
    void BuildStatusBar();
    QAction* NewAction(const char* name, const QString& text, void (TKvisPlotForm1::*handler)(),
                       bool checkable = false);
    QToolButton* AddTool(QToolBar* bar, QAction* action, const char* buttonName);
    void SurfaceResized();
    void StepDone(); // after a rotation step: gnomon, and the cave when SimulRot
    void RebuildIndex();
    void ExportVector(bool pdf);
    void DrawPass(const TPlotSwitches& switches, bool withGrid, bool clear,
                  const std::vector<std::int32_t>* fromLines = nullptr);
    void ViewMoved(); // the view left the fit: a resize keeps scale and centre from now on
    template <class Step> void RotationStep(Step step);
    void BuildClipMenus(QMenu* clip);
    QAction* ClipAction(const char* name) const;
    void ClipPaint(const std::function<void(TPlotCanvas&)>& figures); // in exclusive-or
    void ClipHideAll();
    void ApplyClipReply(const TClipReply& reply);
    void ClipLeftDown(QPoint pos);
    void ClipMouseMove(QPoint pos);
    void ClipLeftUp();
    void ClipRightDown(bool stationMenuOpen);

    TStationIndex index_;
    bool rotationBarOn_ = false; // set only by RotationBtn
    bool viewSetUp_ = false;
    bool fitted_ = false;                 // the view is a fit: a resize fits again
    std::int32_t indexLines_ = -1;        // LineCount when index_ was built
    std::vector<std::int32_t> fromLines_; // of index_, for the quick pictures
};
