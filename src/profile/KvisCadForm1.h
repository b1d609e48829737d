// The profile drawing window "Kvistrel Cross-Section CAD": one data line's cross-section drawn,
// edited and stored back as the line's profile scan.
#pragma once

#include "model/CaveModel.h"
#include "profile/CadInteraction.h"

#include <QCursor>
#include <QImage>
#include <QMainWindow>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>

class QAction;
class QFrame;
class QGroupBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QSpinBox;
class QTableWidget;
class QTimer;
class QToolBar;
class TDragFrame;
class TKvisCadForm1;
class TKvisPlotForm1;
class TextClock;
class TPlotCanvas;

// Shows the window's off-screen picture, with the zoom box's dashes over it.
class TCadSurface : public QWidget {
public:
    explicit TCadSurface(TKvisCadForm1* form);

protected:
    void paintEvent(QPaintEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    TKvisCadForm1* form_;
};

// The plan sketch of the leg and the profile plane.
class TPlanView : public QWidget {
public:
    explicit TPlanView(QWidget* parent);
    QImage Image;

protected:
    void paintEvent(QPaintEvent* e) override;
};

class TKvisCadForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TKvisCadForm1(QWidget* parent = nullptr);
    ~TKvisCadForm1() override;
    // The window created first and still alive, or nullptr.
    static TKvisCadForm1* Instance();
    // The window, created on first use.
    static TKvisCadForm1* Get(QWidget* parent);

    TCadInteraction S; // polygon, mapping, modes
    std::int32_t CurrentStation = 0;
    TPolyGon SavedPoly;
    double PlaneAzimuth = 0; // degrees
    double RotDelta = 0;     // degrees
    bool Rotating = false;
    std::string StationName; // bytes, at most four
    bool FromEditor = false;
    TTempProfil UndoProfile;
    QImage Picture;                     // what CADImage1 shows
    QPointer<TKvisPlotForm1> FramePlot; // the plot that opened the window, for the HPGL frame
    const TextClock* Clock = nullptr;   // the HPGL frame's date and time; null: the system clock

    void SetToPCParams(double a, double b, double c, double d);
    void Rutenett(double R);
    void DisplayStation(std::int32_t Station);
    void RunKvisCAD(std::int32_t Station);
    std::int32_t GetFra(const std::string& Name) const;
    std::int32_t GetTil(const std::string& Name) const;
    // The plot's entry: shows the window with the line range set; a station > 0 is displayed.
    // choose: display the given line (the plot's station); else show the window unchanged.
    void ShowFromPlot(std::int32_t station, bool choose);
    void GetGraphProfileFromCAD(const std::string& Name, double& H, double& V, double& N,
                                double& O);
    void ShowPolyStatus();
    void DrawPlan(double rotation);

    // Commands.
    void SpinEdit1Change(int value);
    void NextTO1Click();
    void PreviousFROM1Click();
    void First1Click();
    void Last1Click();
    void Refresh1Click();
    void Resetall1Click();
    void Zoom1Click();
    void ToolButton2Click();
    void ToolButton3Click();
    void ToolButton4Click();
    void StartPolygon1Click();
    void FinishPolyGon1Click();
    void deletePolyGon1Click();
    void DeleteAll1Click();
    void Node1Click();
    void Insertnode1Click();
    void deletenode1Click();
    void BreakPolyLeg1Click();
    void FlipPoly1Click();
    void PolygontoWorld1Click();
    void RedoPolygon1Click();
    void CalculateArea1Click();
    void Savetocave1Click();
    void UnDoSaveTocave1Click();
    void DeleteProfile1Click();
    void SaveToDataFile1Click();
    void SaveToHPGL1Click();
    void SavePolygon1Click();
    void ReloadPolygon1Click();
    void Data1Click();
    void RotateProfileToolButton6Click();
    void Spin01DegEdit3Change(int value);
    void Spin10DegEdit4Change(int value);
    void RotateOKClick();
    void RotateCancelClick();
    void WindowSize1Click();
    void Timer1Timer();
    void UpdateCommands();

    // Mouse on the drawing surface, in its pixels.
    void CADImage1MouseDown(Qt::MouseButton button, QPoint p);
    void CADImage1MouseMove(QPoint p, bool leftHeld);
    void CADImage1MouseUp(Qt::MouseButton button, QPoint p);

    TCadSurface* CADImage1 = nullptr;
    TPlanView* ViewImage1 = nullptr;
    QTimer* Timer1 = nullptr;
    QCursor CadCursor;

signals:
    // A line's profile changed in the cave model.
    void ProfileChanged();

private:
    friend class TCadSurface;
    void BuildActions();
    void BuildPanel();
    void BuildFloatingPanels();
    void MakeDraggable(TDragFrame* panel, int index);
    QAction* NewAction(const char* name, const QString& text, void (TKvisCadForm1::*handler)(),
                       bool checkable = false);
    void WithXor(const std::function<void(TPlotCanvas&)>& draw);
    void DrawMark(double wx, double wy, std::uint32_t colour, const QString& label);
    void SavePolyToCave(std::int32_t Station);
    bool BackupProfile(std::int32_t Station, bool Save);
    bool ValidStation(std::int32_t s) const;
    void SurfaceResized();
    // reload: the polygon from the line's stored profile; else the working polygon's world nodes.
    void ShowStation(std::int32_t Station, bool reload);
    void ShowZoomBox();

    QLabel* StationLabel1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QLabel* DeclinLabel1 = nullptr;
    QLabel* PlaneLabel1 = nullptr;
    QLabel* ProfileLabel1 = nullptr;
    QLabel* CommentLabel1 = nullptr;
    QLabel* StatusPanels[3] = {};
    QMenu* StationsPopupMenu1 = nullptr;
    QMenu* DrawPopupMenu1 = nullptr;
    QMenu* EditPopupMenu2 = nullptr;
    QMenu* FileMenu = nullptr;
    QMenu* EditMenu = nullptr;
    QMenu* ProcessMenu = nullptr;
    TDragFrame* DatamemoPanel1 = nullptr;
    QPlainTextEdit* DataMemo1 = nullptr;
    TDragFrame* DataGridPanel1 = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QLabel* KompLabel1 = nullptr;
    QLabel* KlinoLabel2 = nullptr;
    TDragFrame* RotateProfilePanel = nullptr;
    QSpinBox* Spin10DegEdit4 = nullptr;
    QSpinBox* Spin01DegEdit3 = nullptr;
    QLabel* RotDegrLabel1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* PercentLabel = nullptr;

    QAction* ZoomAct = nullptr;
    QAction* DrawAct = nullptr;
    QAction* NodeAct = nullptr;
    QAction* SaveToHPGL1 = nullptr;
    QAction* SavePolygon1 = nullptr;
    QAction* ReloadPolygon1 = nullptr;
    QAction* Refresh1 = nullptr;
    QAction* Resetall1 = nullptr;
    QAction* ZoomOut1 = nullptr;
    QAction* FlipPolygon1 = nullptr;
    QAction* Savetocave1 = nullptr;
    QAction* UnDoSaveTocave1 = nullptr;
    QAction* Insertnode1 = nullptr;
    QAction* deletenode1 = nullptr;
    QAction* mergenodes1 = nullptr;
    QAction* BreakPolyLeg1 = nullptr;
    QAction* FlipPoly1 = nullptr;
    QAction* RotatePolyXY1 = nullptr;

    bool panelDragging_ = false;
    int panelIndex_ = 0;
    QPoint grabOffset_;
    bool spinGuard_ = false; // the window itself sets the spins
    bool displayed_ = false; // a line has been shown
};
