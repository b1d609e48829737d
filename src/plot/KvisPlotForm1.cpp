// The plot window: controls, menus and events around the core view and drawing pass.
#include "plot/KvisPlotForm1.h"

#include "attributes/AttributeForm1.h"
#include "model/ProgramState.h"
#include "photos/KvPicViewForm.h"
#include "plot/HPGLWriter.h"
#include "plot/QtCanvas.h"
#include "profile/KvisCadForm1.h"
#include "reduction/ReductionState.h"
#include "ui/EscapeLineEdit.h"
#include "ui/UserDialogs.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kPanelWidth = 125;
constexpr int kGnomonPanelHeight = 113;
// How long the input must rest before the full picture follows the quick one.
constexpr int kFullRedrawDelayMs = 150;

QString Latin(const std::string& s) {
    return QString::fromLatin1(s.data(), qsizetype(s.size()));
}

QFrame* NewPanel(QWidget* parent, const char* name) {
    auto* f = new QFrame(parent);
    f->setObjectName(name);
    f->setFrameShape(QFrame::Panel);
    f->setFrameShadow(QFrame::Raised);
    f->setAutoFillBackground(true);
    return f;
}

QPushButton* NewButton(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

} // namespace

// ---- surface and gnomon box --------------------------------------------------------------

TPlotSurface::TPlotSurface(TKvisPlotForm1* form) : QWidget(form), form_(form) {
    setObjectName("PlotSurface");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(100, 100);
}

void TPlotSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, Image);
}

void TPlotSurface::resizeEvent(QResizeEvent*) {
    form_->SurfaceResized();
}
void TPlotSurface::mousePressEvent(QMouseEvent* e) {
    form_->FormMouseDown(e->button(), e->position().toPoint());
}
void TPlotSurface::mouseMoveEvent(QMouseEvent* e) {
    form_->FormMouseMove(e->buttons(), e->position().toPoint());
}
void TPlotSurface::mouseDoubleClickEvent(QMouseEvent* e) {
    form_->ClipDoubleClick = true;
    form_->FormMouseDown(e->button(), e->position().toPoint());
    form_->ClipDoubleClick = false;
}
void TPlotSurface::mouseReleaseEvent(QMouseEvent* e) {
    form_->FormMouseUp(e->button(), e->position().toPoint());
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        form_->FormClick();
}

TGnomonBox::TGnomonBox(TKvisPlotForm1* form) : QWidget(form), form_(form) {
    setObjectName("GnomonBox");
    setToolTip("Gnomon, for rotation. Click it!");
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TGnomonBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    p.drawImage(0, 0, Image);
}
void TGnomonBox::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        form_->GnomonClick();
}
void TGnomonBox::mouseDoubleClickEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton)
        form_->GnomonDblClick();
}
void TGnomonBox::mouseMoveEvent(QMouseEvent* e) {
    if (e->buttons() & Qt::RightButton)
        form_->GnomonRightMove();
}

void TDragFrame::mousePressEvent(QMouseEvent* e) {
    if (OnPress)
        OnPress(e);
}
void TDragFrame::mouseMoveEvent(QMouseEvent* e) {
    if (OnMove)
        OnMove(e);
}
void TDragFrame::mouseReleaseEvent(QMouseEvent* e) {
    if (OnRelease)
        OnRelease(e);
}

// ---- construction ------------------------------------------------------------------------

TKvisPlotForm1::TKvisPlotForm1(QWidget* parent) : QMainWindow(parent) {
    setObjectName("KvisPlotForm1");
    setWindowTitle("Kvistrel 4  Viewer");
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    SetPlotColors(PlotColors);
    InitPlotparameters(View);
    View.SimulRot = true;
    Switches.StationSize = 5;

    Surface = new TPlotSurface(this);
    setCentralWidget(Surface);
    BuildMenus();
    BuildControlPanel();
    BuildFloatingPanels();
    BuildStatusBar();
    SimultaneousRotation1->setChecked(true);
    UpdateActions();
    FullRedrawTimer = new QTimer(this);
    FullRedrawTimer->setObjectName("FullRedrawTimer");
    FullRedrawTimer->setSingleShot(true);
    FullRedrawTimer->setInterval(kFullRedrawDelayMs);
    connect(FullRedrawTimer, &QTimer::timeout, this, &TKvisPlotForm1::PlottKviste);
    resize(970, 719);
}

QAction* TKvisPlotForm1::NewAction(const char* name, const QString& text,
                                   void (TKvisPlotForm1::*handler)(), bool checkable) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    a->setCheckable(checkable);
    if (handler)
        connect(a, &QAction::triggered, this, handler);
    return a;
}

QToolButton* TKvisPlotForm1::AddTool(QToolBar* bar, QAction* action, const char* buttonName) {
    bar->addAction(action);
    auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    if (b) {
        b->setObjectName(buttonName);
        b->setFocusPolicy(Qt::NoFocus);
    }
    return b;
}

void TKvisPlotForm1::BuildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("File1");
    file->addAction(NewAction("ExportSVG1", "Export SVG...", &TKvisPlotForm1::ExportSVG1Click));
    file->addAction(NewAction("ExportPDF1", "Export PDF...", &TKvisPlotForm1::ExportPDF1Click));
    bar->addAction(NewAction("Exit1", "E&xit", &TKvisPlotForm1::Exit1Click));

    QMenu* settings = bar->addMenu("Settings");
    settings->setObjectName("Settings1");
    settings->addAction(NewAction("SetPlotArea1", "Set Plot &Area", nullptr));
    settings->addAction(NewAction("Setstationsymbol1", "Set &station symbol",
                                  &TKvisPlotForm1::SetStationSymbol1Click));
    QMenu* scan = settings->addMenu("&Profile Scan settings");
    scan->setObjectName("ProfileScansettings1");
    scan->addAction(NewAction("Lines1", "Lines", &TKvisPlotForm1::Lines1Click));
    scan->addAction(NewAction("Points1", "Points", &TKvisPlotForm1::Points1Click));
    scan->addAction(
        NewAction("OnlyContinous1", "&Only Continous", &TKvisPlotForm1::OnlyContinous1Click));

    QMenu* plot = bar->addMenu("P&lot");
    plot->setObjectName("Plot1");
    plot->addAction(NewAction("Refresh1", "Re&fresh", &TKvisPlotForm1::Refresh1Click));
    // F10 is read in keyPressEvent, which ignores it in rotation mode.
    plot->addAction(NewAction("ExportHPGL1", "E&xport HPGL", &TKvisPlotForm1::HPGLExport));

    View1 = bar->addMenu("&View");
    View1->setObjectName("View1");
    QMenu* zoom = View1->addMenu("&Zoom");
    zoom->setObjectName("Zoom1");
    zoom->addAction(NewAction("Fittowindow1", "&Fit to window", &TKvisPlotForm1::FitToPageClick));
    zoom->addAction(NewAction("Zoomin1", "Zoom &in", &TKvisPlotForm1::ZoomInClick));
    zoom->addAction(NewAction("Zoomout1", "Zoom &out", &TKvisPlotForm1::ZoomOutClick));
    Labels1 = NewAction("Labels1", "&Labels", &TKvisPlotForm1::LabelsBtnClick, true);
    HVNO1 = NewAction("HVNO1", "&HVNO", &TKvisPlotForm1::HVNOBtnClick, true);
    CrossSections1 =
        NewAction("CrossSections1", "&Cross Sections", &TKvisPlotForm1::CrosSectBtnClick, true);
    Grid1 = NewAction("Grid1", "&Grid", &TKvisPlotForm1::ShowGridBtnClick, true);
    NoCenterLines1 =
        NewAction("NoCenterLines1", "No &CenterLines", &TKvisPlotForm1::NocenterLnBtnClick, true);
    Stations1 = NewAction("Stations1", "S&tations", &TKvisPlotForm1::StationsBtnClick, true);
    CommentedStations1 = NewAction("CommentedStations1", "C&ommented Stations",
                                   &TKvisPlotForm1::CommStationBtnClick, true);
    PhotoStations1 = NewAction("PhotoStations1", "&Photo Stations",
                               &TKvisPlotForm1::ShowPhotoStationBtnClick, true);
    FindStation1 = NewAction("FindStation1", "&Find Station", &TKvisPlotForm1::FindStationBtnClick);
    OverlappingNames1 = NewAction("OverlappingNames1", "&Overlapping Names",
                                  &TKvisPlotForm1::OverlappingNames1Click, true);
    OverlappingNames1->setChecked(true);
    for (QAction* a : {Labels1, HVNO1, CrossSections1, Grid1, NoCenterLines1, Stations1,
                       CommentedStations1, PhotoStations1, OverlappingNames1, FindStation1})
        View1->addAction(a);
    connect(View1, &QMenu::aboutToShow, this, &TKvisPlotForm1::View1Click);

    QMenu* rotation = bar->addMenu("&Rotation");
    rotation->setObjectName("Rotation1");
    SimultaneousRotation1 = NewAction("SimultaneousRotation1", "&Simultaneous Rotation",
                                      &TKvisPlotForm1::ToggleSimulRot, true);
    Setstep1 = NewAction("Setstep1", "&Set step", &TKvisPlotForm1::Setstep1Click, true);
    rotation->addAction(SimultaneousRotation1);
    rotation->addAction(Setstep1);

    // The windows behind these items are not part of this window yet.
    QMenu* tools = bar->addMenu("&Tools");
    tools->setObjectName("Tools1");
    QMenu* attrs = tools->addMenu("Attributtes");
    attrs->setObjectName("Attributtes1");
    attrs->addAction(
        NewAction("SetAttributes1", "Set Attributes", &TKvisPlotForm1::SetAttributes1Click));
    attrs->addAction(NewAction("ApplyAttributes1", "Apply Attributes", nullptr));
    QMenu* clip = tools->addMenu("Clipping Polygon");
    clip->setObjectName("ClippingPolygon1");
    BuildClipMenus(clip);
    tools->addAction(NewAction("PassagePolyGon1", "Passage PolyGon", nullptr));
    QMenu* node = tools->addMenu("Edit Node CrossSection");
    node->setObjectName("EditNodeCrossSection1");
    node->addAction(NewAction("OpenKvisCAD1", "Open KvisCAD", &TKvisPlotForm1::OpenKvisCAD1Click));
    tools->addAction(NewAction("Statistics1", "Statistics", &TKvisPlotForm1::Statistics1Click));

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("Help1");

    StationPopupMenu1 = new QMenu(this);
    StationPopupMenu1->setObjectName("StationPopupMenu1");
    PopupTitle1 = NewAction("PopupTitle1", "Station", nullptr);
    NodeCADEdit1 = NewAction("NodeCADEdit1", "Node CAD Edit", &TKvisPlotForm1::NodeCADEdit1Click);
    ShowComment1 = NewAction("ShowComment1", "Show Comment", &TKvisPlotForm1::ShowComment1Click);
    AddComment1 = NewAction("AddComment1", "Add Comment", &TKvisPlotForm1::AddComment1Click);
    ExcludeStation1 =
        NewAction("ExcludeStation1", "Exclude Station", &TKvisPlotForm1::ExcludeStation1Click);
    Photos1 = NewAction("Photos1", "&Photos", &TKvisPlotForm1::Photos1Click);
    for (QAction* a :
         {PopupTitle1, NodeCADEdit1, ShowComment1, AddComment1, ExcludeStation1, Photos1})
        StationPopupMenu1->addAction(a);
}

void TKvisPlotForm1::BuildControlPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("ControlPanel");
    panel->setFixedWidth(kPanelWidth);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(1);

    auto* limits = new QFrame(panel);
    limits->setObjectName("LimitPanel");
    limits->setFixedHeight(72);
    limits->setAutoFillBackground(true);
    limits->setBackgroundRole(QPalette::ToolTipBase);
    auto* grid = new QGridLayout(limits);
    grid->setContentsMargins(2, 2, 2, 2);
    auto label = [limits](const char* name, const char* text) {
        auto* l = new QLabel(text, limits);
        l->setObjectName(name);
        l->setForegroundRole(QPalette::ToolTipText);
        return l;
    };
    NLabel = label("NLabel", "N:");
    WLabel = label("WLabel", "W:");
    ELabel = label("ELabel", "E:");
    SLabel = label("SLabel", "S:");
    // One row each: half the panel's width cuts a limit of 1000 m or more.
    grid->setVerticalSpacing(0);
    grid->addWidget(NLabel, 0, 0);
    grid->addWidget(WLabel, 1, 0);
    grid->addWidget(ELabel, 2, 0);
    grid->addWidget(SLabel, 3, 0);
    column->addWidget(limits);

    auto* bars = new QWidget(panel);
    auto* row = new QHBoxLayout(bars);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto newBar = [bars, row](const char* name, const char* title) {
        auto* b = new QToolBar(title, bars);
        b->setObjectName(name);
        b->setOrientation(Qt::Vertical);
        b->setToolButtonStyle(Qt::ToolButtonTextOnly);
        row->addWidget(b, 0, Qt::AlignTop);
        return b;
    };
    ToolBar1 = newBar("ToolBar1", "MoveAround");
    ToolBar3 = newBar("ToolBar3", "Display");
    ToolBar2 = newBar("ToolBar2", "Rotate");
    row->addStretch(1);

    auto tool = [this](QToolBar* bar, const char* btn, const QString& text, const QString& hint,
                       void (TKvisPlotForm1::*handler)(), QAction* shared = nullptr,
                       bool checkable = false) {
        QAction* a = shared ? shared : NewAction(btn, text, handler, checkable);
        if (shared)
            a->setIconText(text);
        a->setToolTip(hint);
        AddTool(bar, a, btn);
        return a;
    };
    tool(ToolBar1, "UpBtn", "Up", "Move view north", &TKvisPlotForm1::UpBtnClick);
    tool(ToolBar1, "DownBtn", "Dn", "Move view south", &TKvisPlotForm1::DownBtnClick);
    tool(ToolBar1, "RightBtn", "Rt", "Move view east", &TKvisPlotForm1::RightBtnClick);
    tool(ToolBar1, "Leftbtn", "Lt", "Move view west", &TKvisPlotForm1::LeftbtnClick);
    tool(ToolBar1, "ZoomInbtn", "Z+", "Zoom in", nullptr, findChild<QAction*>("Zoomin1"));
    tool(ToolBar1, "ZoomOutBtn", "Z-", "Zoom out", nullptr, findChild<QAction*>("Zoomout1"));
    tool(ToolBar1, "RefreshBtn", "Ref", "Refresh plot", nullptr, findChild<QAction*>("Refresh1"));

    tool(ToolBar3, "LabelsBtn", "Lab", "show station labels", nullptr, Labels1);
    tool(ToolBar3, "HVNOBtn", "HVNO", "show HVNO", nullptr, HVNO1);
    tool(ToolBar3, "CrosSectBtn", "XS", "Show cross-section scans", nullptr, CrossSections1);
    tool(ToolBar3, "ShowGridBtn", "Grid", "Show grid", nullptr, Grid1);
    tool(ToolBar3, "NocenterLnBtn", "NoCL", "toggle centerlines", nullptr, NoCenterLines1);
    tool(ToolBar3, "StationsBtn", "Stn", "Show stations", nullptr, Stations1);
    tool(ToolBar3, "CommStationBtn", "Com", "Show commented stations only", nullptr,
         CommentedStations1);
    tool(ToolBar3, "ShowPhotoStationBtn", "Pho", "Make stations with associated bitmaps visible",
         nullptr, PhotoStations1);
    tool(ToolBar3, "FindStationBtn", "Find", "search and locate station", nullptr, FindStation1);

    RotationAction = tool(ToolBar2, "RotationBtn", "Rot", "Rotation on/off",
                          &TKvisPlotForm1::RotationBtnClick, nullptr, true);
    RotationBarActions[0] =
        tool(ToolBar2, "TiltBackBtn", "TIn", "Tilt inwards", &TKvisPlotForm1::TiltBackBtnClick);
    RotationBarActions[1] = tool(ToolBar2, "TiltOutWardsBtn", "TOut", "Tilt outwards",
                                 &TKvisPlotForm1::TiltOutWardsBtnClick);
    RotationBarActions[2] = tool(ToolBar2, "RotateRightBtn", "RR", "Rotate right",
                                 &TKvisPlotForm1::RotateRightBtnClick);
    RotationBarActions[3] =
        tool(ToolBar2, "RotateLeftBtn", "RL", "Rotate left", &TKvisPlotForm1::RotateLeftBtnClick);
    RotationStepAction = tool(ToolBar2, "RotationStepBtn", "Step", "Set rotation steps",
                              &TKvisPlotForm1::RotationStepBtnClick, nullptr, true);
    RotationBarActions[4] = RotationStepAction;
    RotationBarActions[5] = tool(ToolBar2, "ResetRotationBtn", "Rst", "reset Rotation to normal",
                                 &TKvisPlotForm1::ResetRotationBtnClick);
    column->addWidget(bars);
    column->addStretch(1);

    // Statistics panel.
    StatistikkPanel = NewPanel(panel, "StatistikkPanel");
    auto* sg = new QGridLayout(StatistikkPanel);
    sg->setContentsMargins(3, 3, 3, 3);
    const char* captions[6] = {"Length:", "Depth:", "Legs:", "Area", "Vol:", "Surf:"};
    const char* names[6] = {"StatLengthLabel", "StatDepthLabel",  "StatLegsLabel",
                            "StatAreaLabel",   "StatVolumeLabel", "StatSurfaceLabel"};
    for (int i = 0; i < 6; ++i) {
        sg->addWidget(new QLabel(captions[i], StatistikkPanel), i, 0);
        StatValueLabels[static_cast<std::size_t>(i)] = new QLabel(StatistikkPanel);
        StatValueLabels[static_cast<std::size_t>(i)]->setObjectName(names[i]);
        sg->addWidget(StatValueLabels[static_cast<std::size_t>(i)], i, 1);
    }
    QPushButton* statOk = NewButton(StatistikkPanel, "StatOKButton", "OK");
    connect(statOk, &QPushButton::clicked, this, &TKvisPlotForm1::StatOKButtonClick);
    sg->addWidget(statOk, 6, 0, 1, 2);
    StatistikkPanel->hide();
    column->addWidget(StatistikkPanel);

    // Rotation-step panel.
    RotPanel1 = NewPanel(panel, "RotPanel1");
    auto* rg = new QVBoxLayout(RotPanel1);
    rg->setContentsMargins(3, 3, 3, 3);
    rg->addWidget(new QLabel("Rotation step", RotPanel1));
    RotateSpinEdit1 = new QSpinBox(RotPanel1);
    RotateSpinEdit1->setObjectName("RotateSpinEdit1");
    RotateSpinEdit1->setRange(1, 5);
    RotateSpinEdit1->setValue(5);
    connect(RotateSpinEdit1, &QSpinBox::valueChanged, this, &TKvisPlotForm1::RotateSpinEdit1Change);
    rg->addWidget(RotateSpinEdit1);
    Incrementlabel = new QLabel(Latin(StepLabelText(View.RotStep)), RotPanel1);
    Incrementlabel->setObjectName("Incrementlabel");
    rg->addWidget(Incrementlabel);
    auto* buttons = new QHBoxLayout;
    QPushButton* ok = NewButton(RotPanel1, "IncrOKButton1", "OK");
    QPushButton* cancel = NewButton(RotPanel1, "IncrCancelButton1", "Cancel");
    connect(ok, &QPushButton::clicked, this, &TKvisPlotForm1::IncrOKButton1Click);
    connect(cancel, &QPushButton::clicked, this, &TKvisPlotForm1::IncrCancelButton1Click);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    rg->addLayout(buttons);
    RotPanel1->hide();
    column->addWidget(RotPanel1);

    // Gnomon panel: the box sits one pixel inside it.
    GnomonPanel = NewPanel(panel, "GnomonPanel");
    GnomonPanel->setFixedHeight(kGnomonPanelHeight);
    auto* gl = new QVBoxLayout(GnomonPanel);
    gl->setContentsMargins(1, 1, 1, 1);
    GnomonBox = new TGnomonBox(this);
    GnomonBox->setParent(GnomonPanel);
    gl->addWidget(GnomonBox);
    column->addWidget(GnomonPanel);

    auto* dock = new QToolBar("Controls", this);
    dock->setObjectName("ControlDock");
    dock->setMovable(false);
    dock->setFloatable(false);
    dock->addWidget(panel);
    addToolBar(Qt::RightToolBarArea, dock);
}

void TKvisPlotForm1::BuildFloatingPanels() {
    // Station finder.
    StationGridPanel1 = new TDragFrame(Surface);
    StationGridPanel1->setObjectName("StationGridPanel1");
    StationGridPanel1->setFrameShape(QFrame::Panel);
    StationGridPanel1->setFrameShadow(QFrame::Raised);
    StationGridPanel1->setLineWidth(4);
    StationGridPanel1->setAutoFillBackground(true);
    StationGridPanel1->setToolTip("All station names");
    auto* fl = new QVBoxLayout(StationGridPanel1);
    fl->setContentsMargins(8, 8, 8, 8);
    StationStringGrid = new QTableWidget(StationGridPanel1);
    StationStringGrid->setObjectName("StationStringGrid");
    StationStringGrid->setColumnCount(kFinderColumns);
    StationStringGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StationStringGrid->horizontalHeader()->hide();
    StationStringGrid->verticalHeader()->hide();
    StationStringGrid->horizontalHeader()->setDefaultSectionSize(40);
    StationStringGrid->verticalHeader()->setDefaultSectionSize(16);
    StationStringGrid->setFixedSize(kFinderColumns * 40 + 20, 200);
    connect(StationStringGrid, &QTableWidget::cellDoubleClicked, this,
            &TKvisPlotForm1::StationStringGridDblClick);
    fl->addWidget(StationStringGrid);
    StationLabel1 = new QLabel(StationGridPanel1);
    StationLabel1->setObjectName("StationLabel1");
    fl->addWidget(StationLabel1);
    auto* fb = new QHBoxLayout;
    QPushButton* find = NewButton(StationGridPanel1, "FindStationButton1", "Find station");
    QPushButton* edit = NewButton(StationGridPanel1, "EditNodeButton1", "Edit Node");
    connect(edit, &QPushButton::clicked, this, &TKvisPlotForm1::EditNodeButton1Click);
    QPushButton* cancel = NewButton(StationGridPanel1, "CancelButton1", "Cancel");
    connect(find, &QPushButton::clicked, this, &TKvisPlotForm1::FindStationButtonClick);
    connect(cancel, &QPushButton::clicked, this, &TKvisPlotForm1::CancelButtonClick);
    fb->addWidget(find);
    fb->addWidget(edit);
    fb->addWidget(cancel);
    fl->addLayout(fb);
    StationGridPanel1->adjustSize();
    StationGridPanel1->move(20, 20);
    StationGridPanel1->hide();
    StationGridPanel1->OnPress = [this](QMouseEvent* e) {
        if (e->button() != Qt::LeftButton)
            return;
        Interaction.PanelDrag = true;
        const QPoint p = e->position().toPoint();
        Interaction.DragOffset = {p.x(), p.y()};
        StationGridPanel1->setFrameShadow(QFrame::Sunken);
    };
    auto follow = [this](QMouseEvent* e) {
        const QPoint p = StationGridPanel1->mapToParent(e->position().toPoint());
        StationGridPanel1->move(p.x() - Interaction.DragOffset.X, p.y() - Interaction.DragOffset.Y);
    };
    StationGridPanel1->OnMove = [this, follow](QMouseEvent* e) {
        if (Interaction.PanelDrag)
            follow(e);
    };
    StationGridPanel1->OnRelease = [this, follow](QMouseEvent* e) {
        if (!Interaction.PanelDrag)
            return;
        follow(e);
        Interaction.PanelDrag = false;
        StationGridPanel1->setFrameShadow(QFrame::Raised);
    };

    // Station symbol size.
    StationSizePanel1 = NewPanel(Surface, "StationSizePanel1");
    auto* sl = new QGridLayout(StationSizePanel1);
    sl->addWidget(new QLabel("Circle Size", StationSizePanel1), 0, 0);
    StationSizeSpinEdit1 = new QSpinBox(StationSizePanel1);
    StationSizeSpinEdit1->setObjectName("StationSizeSpinEdit1");
    StationSizeSpinEdit1->setRange(0, 20);
    StationSizeSpinEdit1->setValue(5);
    connect(StationSizeSpinEdit1, &QSpinBox::valueChanged, this,
            &TKvisPlotForm1::StationSizeSpinEdit1Change);
    sl->addWidget(StationSizeSpinEdit1, 0, 1);
    sl->addWidget(new QLabel("Pixels", StationSizePanel1), 0, 2);
    QPushButton* reset = NewButton(StationSizePanel1, "StationSizeResetButton", "Reset");
    QPushButton* close = NewButton(StationSizePanel1, "StationSizeCloseButton", "Close");
    connect(reset, &QPushButton::clicked, this, &TKvisPlotForm1::StationSizeResetClick);
    connect(close, &QPushButton::clicked, this, &TKvisPlotForm1::StationSizeCloseClick);
    sl->addWidget(reset, 1, 0);
    sl->addWidget(close, 1, 2);
    StationSizePanel1->adjustSize();
    StationSizePanel1->move(40, 40);
    StationSizePanel1->hide();

    auto* comment = new TEscapeLineEdit(Surface);
    comment->OnEscape = [this] { CommentEdit1Escape(); };
    CommentEdit1 = comment;
    CommentEdit1->setObjectName("CommentEdit1");
    CommentEdit1->setFixedWidth(300);
    connect(CommentEdit1, &QLineEdit::returnPressed, this, &TKvisPlotForm1::CommentEdit1Enter);
    CommentEdit1->hide();

    HintWindow = new QLabel(Surface);
    HintWindow->setObjectName("HintWindow");
    HintWindow->setAutoFillBackground(true);
    HintWindow->setBackgroundRole(QPalette::ToolTipBase);
    HintWindow->setForegroundRole(QPalette::ToolTipText);
    HintWindow->setWordWrap(true);
    HintWindow->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    HintWindow->hide();
}

void TKvisPlotForm1::BuildStatusBar() {
    static const char* const texts[6] = {"KvisteNavn", "Stations", "Length",
                                         "Profiles",   "(E)",      "(N)"};
    static const int widths[6] = {200, 100, 100, 100, 100, 100};
    for (int i = 0; i < 6; ++i) {
        auto* l = new QLabel(texts[i], statusBar());
        l->setObjectName(QString("StatusPanel%1").arg(i));
        l->setFixedWidth(widths[i]);
        statusBar()->addWidget(l);
        StatusPanels[static_cast<std::size_t>(i)] = l;
    }
}

// ---- drawing -----------------------------------------------------------------------------

void TKvisPlotForm1::RebuildIndex() {
    index_.Build(Cave);
    indexLines_ = Cave.LineCount;
    fromLines_.clear(); // worked out when the first quick picture needs it
}

void TKvisPlotForm1::SurfaceResized() {
    const QSize s = Surface->size();
    QImage image(s, QImage::Format_RGB32);
    image.fill(Qt::black);
    Surface->Image = image;
    Clip.PictureCleared();
    if (!viewSetUp_) {
        SetSurfaceArea(View, s.width(), s.height());
        return;
    }
    if (fitted_) {
        SetSurfaceArea(View, s.width(), s.height());
        FitToPage(View, Cave);
    } else
        ResizeKeepingScale(View, s.width(), s.height());
    PlottKviste();
}

void TKvisPlotForm1::ViewMoved() {
    fitted_ = false;
}

void TKvisPlotForm1::SetGnomBox() {
    const int w = GnomonPanel->width() - 2;
    GnomonPanel->setFixedHeight(std::max(w + 2, 20));
    GnomonBox->setFixedSize(std::max(w, 18), std::max(w, 18));
    View.GnomLeft = 1;
    View.GnomTop = 1;
    View.GnomWidth = GnomonBox->width();
    View.GnomHeight = GnomonBox->height();
}

void TKvisPlotForm1::InitierPlot() {
    SetGnomBox();
    InitPlotparameters(View);
    PlotHPGL().HPGLActive = false;
    Switches.ShowWalls = false;
    Incrementlabel->setText(Latin(StepLabelText(View.RotStep)));
    FitToPage(View, Cave);
    fitted_ = true;
}

void TKvisPlotForm1::SetupView() {
    const QSize s = Surface->size();
    SetViewPort(View, 0, 0, s.width(), s.height(), Summary);
    SetSurfaceArea(View, s.width(), s.height()); // what is fitted is what is seen
    InitierPlot();
    viewSetUp_ = true;
    PlottKviste();
}

void TKvisPlotForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!viewSetUp_)
        SetupView();
}

// Pass over the surface image with the window's canvas.
template <class F> static void PaintOn(QImage& image, F f) {
    if (image.isNull())
        return;
    QPainter painter(&image);
    TQtCanvas canvas(painter);
    f(canvas);
}

void TKvisPlotForm1::DrawPass(const TPlotSwitches& switches, bool withGrid, bool clear,
                              const std::vector<std::int32_t>* fromLines) {
    ClipHideAll(); // the clear need not reach every figure, nor the cave leave them whole
    PaintOn(Surface->Image, [&](TQtCanvas& canvas) {
        if (clear) {
            KeepProportions(View);
            const TViewLimits& v = View.Limits;
            SetToPCParams(View, v.West, v.South, v.East, v.North);
            // The viewport may leave a rim of the surface; old pictures must not stay there.
            canvas.SetPen({kColourBlack, kPenSolid, 1});
            canvas.SetBrush({kColourBlack, true});
            canvas.Rectangle(0, 0, Surface->Image.width() + 1, Surface->Image.height() + 1);
            ClearPlotScreen(canvas, View);
        }
        THPGLWriter& hpgl = PlotHPGL();
        TPlotPass pass{
            canvas, Cave, View, switches, PlotColors, index_, hpgl.HPGLActive ? &hpgl : nullptr};
        pass.CullToViewport = true;
        pass.HideOverlappingLabels = !OverlappingNames1->isChecked();
        pass.FromLines = fromLines;
        pass.StationPositionsOnly = Switches.ShowStations && !switches.ShowStations;
        PlottPolygon(pass);
        if (withGrid && switches.ShowGrid) {
            const TViewLimits& v = View.Limits;
            TegnGrid(canvas, View, PlotColors, v.West, v.North, v.East, v.South);
        }
    });
    if (!clear)
        PlottClipPolyGoner();
    Surface->update();
}

void TKvisPlotForm1::RedrawSwitch(bool withGrid, bool clear) {
    if (!Processed)
        return;
    FullRedrawTimer->stop();
    RebuildIndex();
    DrawPass(Switches, withGrid, clear);
}

void TKvisPlotForm1::PlottKviste() {
    FullRedrawTimer->stop();
    if (Processed) {
        KeepProportions(View);
        UpdateStatusPanel();
        RedrawSwitch(true, true);
    }
    PlottClipPolyGoner();
    DrawGnomon();
}

void TKvisPlotForm1::QuickRedraw() {
    const TPlotSwitches& sw = Switches;
    const bool heavy = sw.ShowLabels || sw.ShowStations || sw.ShowWalls || sw.ShowCrossSections;
    if (!Processed || !heavy) {
        PlottKviste();
        return;
    }
    KeepProportions(View);
    UpdateStatusPanel();
    // The index of the last full picture serves while the names stay as they are.
    TPlotSwitches legs = sw;
    legs.ShowLabels = legs.ShowStations = legs.ShowWalls = legs.ShowCrossSections = false;
    if (indexLines_ != Cave.LineCount)
        RebuildIndex();
    if (fromLines_.size() != Cave.Lines.size())
        fromLines_ = FromLines(Cave, index_);
    DrawPass(legs, true, true, &fromLines_);
    PlottClipPolyGoner();
    DrawGnomon();
    FullRedrawTimer->start();
}

void TKvisPlotForm1::DrawGnomon() {
    QImage& image = GnomonBox->Image;
    if (image.size() != GnomonBox->size())
        image = QImage(GnomonBox->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    PaintOn(image, [&](TQtCanvas& canvas) { PlottGnomon(canvas, View); });
    GnomonBox->update();
}

void TKvisPlotForm1::UpdateStatusPanel() {
    const TViewLimits& v = View.Limits;
    WLabel->setText(Latin(LimitLabelText("W: ", v.West)));
    SLabel->setText(Latin(LimitLabelText("S: ", v.South)));
    ELabel->setText(Latin(LimitLabelText("E: ", v.East)));
    NLabel->setText(Latin(LimitLabelText("N: ", v.North)));
    StatusPanels[0]->setText(Latin(Cave.CaveName));
    StatusPanels[1]->setText(QString::number(Cave.LineCount) + " stations");
    StatusPanels[2]->clear();
    StatusPanels[3]->clear();
}

void TKvisPlotForm1::UpdateActions() {
    RotationAction->setChecked(rotationBarOn_);
    for (QAction* a : RotationBarActions)
        a->setEnabled(rotationBarOn_);
    Labels1->setChecked(Switches.ShowLabels);
    HVNO1->setChecked(Switches.ShowWalls);
    CrossSections1->setChecked(Switches.ShowCrossSections);
    Grid1->setChecked(Switches.ShowGrid);
    NoCenterLines1->setChecked(!Switches.ShowCentreLines);
    Stations1->setChecked(Switches.ShowStations);
    CommentedStations1->setChecked(Switches.CommentedOnly);
    SimultaneousRotation1->setChecked(View.SimulRot);
}

// ---- view commands -----------------------------------------------------------------------

void TKvisPlotForm1::FitToPageClick() {
    FitToPage(View, Cave);
    fitted_ = true;
    PlottKviste();
}

void TKvisPlotForm1::ZoomInClick() {
    if (!Zoom(View, true)) {
        Dialogs().Notice(kZoomLimitMessage);
        return;
    }
    ViewMoved();
    QuickRedraw();
}

void TKvisPlotForm1::ZoomOutClick() {
    Zoom(View, false);
    ViewMoved();
    QuickRedraw();
}

void TKvisPlotForm1::UpBtnClick() {
    ShiftView(View, 2);
    ViewMoved();
    QuickRedraw();
}
void TKvisPlotForm1::DownBtnClick() {
    ShiftView(View, 3);
    ViewMoved();
    QuickRedraw();
}
void TKvisPlotForm1::RightBtnClick() {
    ShiftView(View, 1);
    ViewMoved();
    QuickRedraw();
}
void TKvisPlotForm1::LeftbtnClick() {
    ShiftView(View, 0);
    ViewMoved();
    QuickRedraw();
}
void TKvisPlotForm1::Refresh1Click() {
    PlottKviste();
}

void TKvisPlotForm1::CenterStation(const QString& name) {
    TVec3 r;
    KeepProportions(View);
    if (!::CenterStation(View, Cave, name.toLatin1().toStdString(), r))
        return;
    ViewMoved();
    PlottKviste();
    if (!Processed)
        return;
    PaintOn(Surface->Image, [&](TQtCanvas& canvas) {
        std::int32_t sx, sy;
        ToScreen(View, r.X, r.Y, sx, sy);
        canvas.SetPenColour(kColourFuchsia);
        canvas.SetBrush({kColourBlack, false});
        canvas.SetFontColour(PlotColors[kColDefault]);
        canvas.Ellipse(sx - 4 * View.UnitX, sy - 2 * View.UnitY, sx + 4 * View.UnitX,
                       sy + 2 * View.UnitY);
        canvas.TextOut(sx + 4 * View.UnitX, sy - 2 * View.UnitY, name.toLatin1().toStdString());
    });
    Surface->update();
}

void TKvisPlotForm1::SetRotation() {
    View.RotationMode = !View.RotationMode;
    DrawGnomon();
}

void TKvisPlotForm1::ToggleSimulRot() {
    View.SimulRot = !View.SimulRot;
    SimultaneousRotation1->setChecked(View.SimulRot);
    DrawGnomon();
}

void TKvisPlotForm1::RotationBtnClick() {
    View.RotationMode = !View.RotationMode;
    rotationBarOn_ = View.RotationMode;
    UpdateActions();
    DrawGnomon();
}

void TKvisPlotForm1::StepDone() {
    if (View.SimulRot)
        QuickRedraw();
    else
        DrawGnomon();
}

// A rotation or tilt turns the view about the cave point at the centre of the window.
template <class Step> void TKvisPlotForm1::RotationStep(Step step) {
    KeepProportions(View);
    const TPlotView before = View;
    const bool ok = step(View);
    KeepCentreThroughRotation(View, before, Summary);
    // A fitted view widens as far as the turned cave needs; a view the user chose keeps its
    // scale.
    if (fitted_)
        WidenToHold(View, Cave);
    StepDone();
    if (!ok)
        Dialogs().Notice(kTiltLimitMessage);
}

void TKvisPlotForm1::RotateLeftBtnClick() {
    RotationStep([](TPlotView& v) { return RotateLeft(v), true; });
}
void TKvisPlotForm1::RotateRightBtnClick() {
    RotationStep([](TPlotView& v) { return RotateRight(v), true; });
}
void TKvisPlotForm1::TiltBackBtnClick() {
    RotationStep([](TPlotView& v) { return TiltBack(v); });
}
void TKvisPlotForm1::TiltOutWardsBtnClick() {
    RotationStep([](TPlotView& v) { return TiltOutwards(v); });
}
void TKvisPlotForm1::ResetRotationBtnClick() {
    RotationStep([](TPlotView& v) { return ResetRotation(v), true; });
}

void TKvisPlotForm1::RotateSpinEdit1Change(int value) {
    View.RotStep = RotStepFromSpin(value);
    Incrementlabel->setText(Latin(StepLabelText(View.RotStep)));
    DrawGnomon();
}

void TKvisPlotForm1::IncrOKButton1Click() {
    RotPanel1->hide();
    Setstep1->setChecked(false);
    DrawGnomon();
    RotationStepAction->setChecked(false);
}

void TKvisPlotForm1::IncrCancelButton1Click() {
    RotPanel1->setVisible(!RotPanel1->isVisible());
    Setstep1->setChecked(!Setstep1->isChecked());
    View.RotStep = 10;
    Incrementlabel->setText(Latin(StepLabelText(View.RotStep)));
    DrawGnomon();
    RotationStepAction->setChecked(false);
}

void TKvisPlotForm1::Setstep1Click() {
    RotPanel1->setVisible(!RotPanel1->isVisible());
    Setstep1->setChecked(RotPanel1->isVisible());
}

void TKvisPlotForm1::RotationStepBtnClick() {
    RotPanel1->show();
    RotationStepAction->setChecked(true);
}

// ---- switches ----------------------------------------------------------------------------

void TKvisPlotForm1::LabelsBtnClick() {
    Switches.ShowLabels = !Switches.ShowLabels;
    UpdateActions();
    RedrawSwitch(true, true);
}
void TKvisPlotForm1::HVNOBtnClick() {
    Switches.ShowWalls = !Switches.ShowWalls;
    UpdateActions();
    RedrawSwitch(true, true);
}
void TKvisPlotForm1::ShowGridBtnClick() {
    Switches.ShowGrid = !Switches.ShowGrid;
    UpdateActions();
    RedrawSwitch(true, true);
}
void TKvisPlotForm1::CrosSectBtnClick() {
    Switches.ShowCrossSections = !Switches.ShowCrossSections;
    UpdateActions();
    RedrawSwitch(false, true);
}
void TKvisPlotForm1::NocenterLnBtnClick() {
    Switches.ShowCentreLines = !Switches.ShowCentreLines;
    UpdateActions();
    RedrawSwitch(false, true);
}
void TKvisPlotForm1::StationsBtnClick() {
    Switches.ShowStations = !Switches.ShowStations;
    UpdateActions();
    RedrawSwitch(false, true);
}
void TKvisPlotForm1::CommStationBtnClick() {
    Switches.CommentedOnly = !Switches.CommentedOnly;
    UpdateActions();
    RedrawSwitch(false, true);
}
void TKvisPlotForm1::ShowPhotoStationBtnClick() {
    Switches.ShowPhotoStations = !Switches.ShowPhotoStations;
    PhotoStations1->setChecked(Switches.ShowPhotoStations);
    RedrawSwitch(false, true);
}
void TKvisPlotForm1::Lines1Click() {
    Switches.ScanPointMode = false;
    RedrawSwitch(false, false);
}
void TKvisPlotForm1::Points1Click() {
    Switches.ScanPointMode = true;
    RedrawSwitch(false, false);
}
void TKvisPlotForm1::OnlyContinous1Click() {
    Switches.ScanPointMode = false;
    Switches.OnlyContinuous = true;
    RedrawSwitch(false, false);
}
void TKvisPlotForm1::View1Click() {
    UpdateActions();
}

void TKvisPlotForm1::SetStationSymbol1Click() {
    StationSizePanel1->show();
    StationSizePanel1->raise();
}
void TKvisPlotForm1::StationSizeSpinEdit1Change(int value) {
    Switches.StationSize = value;
}
void TKvisPlotForm1::StationSizeResetClick() {
    StationSizeSpinEdit1->setValue(5);
    Switches.StationSize = 5;
    PlottKviste();
}
void TKvisPlotForm1::StationSizeCloseClick() {
    StationSizePanel1->hide();
    PlottKviste();
}

void TKvisPlotForm1::Statistics1Click() {
    RebuildIndex();
    const TStatTexts t = StatTexts(GetStatData(Cave, index_));
    const std::string* values[6] = {&t.Length, &t.Depth, &t.Legs, &t.Area, &t.Volume, &t.Surface};
    for (std::size_t i = 0; i < 6; ++i)
        StatValueLabels[i]->setText(Latin(*values[i]));
    StatistikkPanel->show();
}
void TKvisPlotForm1::StatOKButtonClick() {
    StatistikkPanel->hide();
}

void TKvisPlotForm1::OverlappingNames1Click() {
    RedrawSwitch(true, true);
}

void TKvisPlotForm1::PlaceInFrame(QMdiSubWindow* sub) {
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    if (!area)
        return;
    const QRect visible = area->viewport()->rect();
    const QSize size = QSize(900, 620).boundedTo(visible.size());
    sub->resize(size);
    const int x = std::clamp(sub->x(), 0, std::max(visible.width() - size.width(), 0));
    const int y = std::clamp(sub->y(), 0, std::max(visible.height() - size.height(), 0));
    sub->move(x, y);
}

void TKvisPlotForm1::Exit1Click() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->close();
    else
        close();
}

// ---- keys and mouse ----------------------------------------------------------------------

// The keys of this window, which the frame's shortcuts must not take while it is active.
static bool PlotKey(const QKeyEvent* e) {
    const Qt::KeyboardModifiers mods =
        e->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (e->key() == Qt::Key_X && mods == Qt::AltModifier)
        return true;
    if (mods & ~Qt::ShiftModifier)
        return false;
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
    case Qt::Key_F5:
    case Qt::Key_F6:
    case Qt::Key_F7:
    case Qt::Key_F10:
        return true;
    default:
        return false;
    }
}

bool TKvisPlotForm1::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride && PlotKey(static_cast<QKeyEvent*>(event))) {
        event->accept(); // delivered as a key press to this window instead
        return true;
    }
    return QMainWindow::event(event);
}

void TKvisPlotForm1::keyPressEvent(QKeyEvent* event) {
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const int key = event->key();
    if (key == Qt::Key_X && (event->modifiers() & Qt::AltModifier)) {
        Exit1Click();
        return;
    }
    if (View.RotationMode) {
        switch (key) {
        case Qt::Key_Left:
            RotateLeftBtnClick();
            break;
        case Qt::Key_Right:
            RotateRightBtnClick();
            break;
        case Qt::Key_Up:
            TiltBackBtnClick();
            break;
        case Qt::Key_Down:
            TiltOutWardsBtnClick();
            break;
        case Qt::Key_F7:
            ResetRotationBtnClick();
            break;
        default:
            QMainWindow::keyPressEvent(event);
            return;
        }
        return;
    }
    switch (key) {
    case Qt::Key_Left:
        LeftbtnClick();
        break;
    case Qt::Key_Right:
        RightBtnClick();
        break;
    case Qt::Key_Up:
        UpBtnClick();
        break;
    case Qt::Key_Down:
        DownBtnClick();
        break;
    case Qt::Key_F2:
        ShowGridBtnClick();
        break;
    case Qt::Key_F3:
        HVNOBtnClick();
        break;
    case Qt::Key_F4:
        if (shift)
            ZoomOutClick();
        else
            ZoomInClick();
        break;
    case Qt::Key_F5:
        LabelsBtnClick();
        break;
    case Qt::Key_F6:
        SetRotation();
        break;
    case Qt::Key_F7:
        if (shift)
            ToggleSimulRot();
        else {
            InitierPlot();
            PlottKviste();
        }
        break;
    case Qt::Key_F10:
        HPGLExport();
        break;
    default:
        QMainWindow::keyPressEvent(event);
        return;
    }
}

void TKvisPlotForm1::FormMouseDown(Qt::MouseButton button, QPoint pos) {
    CloseHint();
    Interaction.LastDown = {pos.x(), pos.y()};
    StatistikkPanel->hide();
    if (button == Qt::LeftButton)
        ClipLeftDown(pos);
    if (button != Qt::RightButton)
        return;
    const std::int32_t hit = StationHitTest(Cave, Switches, pos.x(), pos.y());
    if (hit == 0) {
        ClipRightDown(false);
        return;
    }
    Interaction.SelectedLine = hit;
    const Tdatalinje& line = Cave.Lines[static_cast<std::size_t>(hit)];
    PopupTitle1->setText(Latin(PopupTitle(line)));
    ShowComment1->setEnabled(line.HasComment);
    ShowComment1->setVisible(line.HasComment);
    AddComment1->setText(line.HasComment ? "Edit Comment" : "Add Comment");
    StationPopupMenu1->popup(Surface->mapToGlobal(pos));
    ClipRightDown(true);
}

void TKvisPlotForm1::FormMouseMove(Qt::MouseButtons, QPoint pos) {
    double x, y;
    ToWorld(View, pos.x(), pos.y(), x, y);
    StatusPanels[4]->setText(Latin(PointerText("East  = ", x)));
    StatusPanels[5]->setText(Latin(PointerText("North = ", y)));
    ClipMouseMove(pos);
}

void TKvisPlotForm1::FormMouseUp(Qt::MouseButton button, QPoint) {
    Interaction.PanelDrag = false;
    CloseHint();
    if (button == Qt::LeftButton)
        ClipLeftUp();
}

void TKvisPlotForm1::FormClick() {
    View.RotationMode = false;
    DrawGnomon();
}

void TKvisPlotForm1::GnomonClick() {
    SetRotation();
    setFocus();
    StatistikkPanel->hide();
}

void TKvisPlotForm1::GnomonDblClick() {
    RotPanel1->setVisible(!RotPanel1->isVisible());
    DrawGnomon();
    SetRotation();
}

void TKvisPlotForm1::GnomonRightMove() {
    SetRotation();
}

static bool ValidLine(std::int32_t i) {
    return i >= 1 && i <= Cave.LineCount;
}

void TKvisPlotForm1::ShowComment1Click() {
    if (!ValidLine(Interaction.SelectedLine))
        return;
    const Tdatalinje& line = Cave.Lines[static_cast<std::size_t>(Interaction.SelectedLine)];
    DisplayHint(Interaction.LastDown.X, Interaction.LastDown.Y, Latin(ShowCommentText(line)));
    Interaction.HintShown = true;
}

void TKvisPlotForm1::AddComment1Click() {
    if (!ValidLine(Interaction.SelectedLine))
        return;
    const Tdatalinje& line = Cave.Lines[static_cast<std::size_t>(Interaction.SelectedLine)];
    CommentEdit1->setText(line.HasComment ? Latin(line.Comment) : QString());
    CommentEdit1->move(Interaction.LastDown.X, Interaction.LastDown.Y);
    CommentEdit1->show();
    CommentEdit1->raise();
    CommentEdit1->setFocus();
}

void TKvisPlotForm1::CommentEdit1Enter() {
    CommentEdit1->hide();
    setFocus();
    if (!ValidLine(Interaction.SelectedLine))
        return;
    Tdatalinje& line = Cave.Lines[static_cast<std::size_t>(Interaction.SelectedLine)];
    line.Comment = CommentEdit1->text().toLatin1().toStdString();
    line.HasComment = !line.Comment.empty();
    RedrawSwitch(true, true);
}

void TKvisPlotForm1::CommentEdit1Escape() {
    CommentEdit1->hide();
    setFocus();
}

void TKvisPlotForm1::SetAttributes1Click() {
    TAttributeForm1* form = TAttributeForm1::Instance();
    if (!form)
        form = new TAttributeForm1(this);
    // Every plot that opened the dialog shows the legs once a set is applied.
    connect(form, &TAttributeForm1::AttributesApplied, this, &TKvisPlotForm1::PlottKviste,
            Qt::UniqueConnection);
    form->GetLetters();
}

void TKvisPlotForm1::ExcludeStation1Click() {
    if (!ValidLine(Interaction.SelectedLine))
        return;
    Cave.Lines[static_cast<std::size_t>(Interaction.SelectedLine)].Visible = false;
    PlottKviste();
}

void TKvisPlotForm1::Photos1Click() {
    if (!ValidLine(Interaction.SelectedLine))
        return;
    TKvPicViewForm* viewer = ShowStationPhotos(this, Interaction.SelectedLine);
    // A stored list changes which stations are marked as photographed.
    connect(viewer, &TKvPicViewForm::PhotosStored, this, &TKvisPlotForm1::PlottKviste,
            Qt::UniqueConnection);
}

void TKvisPlotForm1::DisplayHint(int x, int y, const QString& text) {
    const QFontMetrics fm(HintWindow->font());
    const THintSize s = HintSize(Surface->width(), fm.horizontalAdvance(text), fm.height());
    HintWindow->setText(text);
    HintWindow->setGeometry(x, y, s.Width, s.Height);
    HintWindow->show();
    HintWindow->raise();
}

void TKvisPlotForm1::CloseHint() {
    HintWindow->hide();
    Interaction.HintShown = false;
}

void TKvisPlotForm1::FindStationBtnClick() {
    Interaction.FoundName.clear();
    const std::int32_t n = std::max(Cave.LineCount, 0);
    StationStringGrid->clearContents();
    StationStringGrid->setRowCount(FinderRowCount(n));
    for (std::int32_t i = 1; i <= n; ++i) {
        const int cell = i - 1;
        StationStringGrid->setItem(
            cell / kFinderColumns, cell % kFinderColumns,
            new QTableWidgetItem(Latin(Cave.Lines[static_cast<std::size_t>(i)].ToName.str())));
    }
    StationGridPanel1->show();
    StationGridPanel1->raise();
}

void TKvisPlotForm1::StationStringGridDblClick(int row, int column) {
    const QTableWidgetItem* item = StationStringGrid->item(row, column);
    StationLabel1->setText(item ? item->text() : QString());
}

// The profile drawing window on the selected line, on the found station, or as it was.
void TKvisPlotForm1::ShowKvisCAD(std::int32_t station, bool choose) {
    TKvisCadForm1* cad = TKvisCadForm1::Get(window());
    connect(cad, &TKvisCadForm1::ProfileChanged, this, &TKvisPlotForm1::PlottKviste,
            Qt::UniqueConnection);
    cad->FramePlot = this;
    cad->ShowFromPlot(station, choose);
}

void TKvisPlotForm1::NodeCADEdit1Click() {
    ShowKvisCAD(Interaction.SelectedLine, true);
}

void TKvisPlotForm1::OpenKvisCAD1Click() {
    ShowKvisCAD(0, false);
}

void TKvisPlotForm1::EditNodeButton1Click() {
    Interaction.FoundName = StationLabel1->text().left(4).toLatin1().toStdString();
    StationGridPanel1->hide();
    StationStringGrid->setRowCount(0);
    ShowKvisCAD(GetTil(Cave, Interaction.FoundName), true);
}

void TKvisPlotForm1::FindStationButtonClick() {
    Interaction.FoundName = StationLabel1->text().left(4).toLatin1().toStdString();
    StationGridPanel1->hide();
    StationStringGrid->setRowCount(0);
    CenterStation(Latin(Interaction.FoundName));
}

void TKvisPlotForm1::CancelButtonClick() {
    Interaction.FoundName.clear();
    StationGridPanel1->hide();
    StationStringGrid->setRowCount(0);
}
