// The profile drawing window: layout, display of a line, navigation, zoom, rotation, panels and
// the commands that store the drawn polygon in the cave model or as data-file text.
#include "profile/KvisCadForm1.h"

#include "model/ProgramState.h"
#include "model/TextClock.h"
#include "plot/HPGLWriter.h"
#include "plot/KvisPlotForm1.h"
#include "plot/QtCanvas.h"
#include "profile/ProfileHPGL.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

// Q_INIT_RESOURCE may not stand inside a namespace.
static void InitKvprofileResource() {
    Q_INIT_RESOURCE(kvprofile);
}

namespace {

TKvisCadForm1* instance = nullptr;

constexpr int kPanelWidth = 190;
constexpr int kPlanSize = 120;
constexpr std::uint32_t kMarkBlue = 0x00FF0000;
constexpr std::uint32_t kMarkRed = 0x000000FF;

QString Fmt(double x, int width, int decimals) {
    return QString::fromStdString(FormatReal(x, width, decimals));
}

QColor Rgb(int r, int g, int b) {
    return QColor(r, g, b);
}

std::string TrimRight(std::string s) {
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

} // namespace

// ---- the two picture widgets --------------------------------------------------------------

TCadSurface::TCadSurface(TKvisCadForm1* form) : QWidget(form), form_(form) {
    setObjectName("CADImage1");
    setToolTip("Area for drawing crossection");
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void TCadSurface::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    p.drawImage(0, 0, form_->Picture);
    if (form_->S.ZoomMode != 1)
        return;
    const QColor back = palette().window().color();
    for (const TAntPixel& a : form_->S.ZoomBoxPixels())
        p.fillRect(a.X, a.Y, 1, 1, a.Black ? QColor(Qt::black) : back);
}

void TCadSurface::mousePressEvent(QMouseEvent* e) {
    form_->CADImage1MouseDown(e->button(), e->position().toPoint());
}

void TCadSurface::mouseMoveEvent(QMouseEvent* e) {
    form_->CADImage1MouseMove(e->position().toPoint(), (e->buttons() & Qt::LeftButton) != 0);
}

void TCadSurface::mouseReleaseEvent(QMouseEvent* e) {
    form_->CADImage1MouseUp(e->button(), e->position().toPoint());
}

void TCadSurface::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    form_->SurfaceResized();
}

TPlanView::TPlanView(QWidget* parent) : QWidget(parent) {
    setObjectName("ViewImage1");
    setFixedSize(kPlanSize, kPlanSize);
    Image = QImage(kPlanSize, kPlanSize, QImage::Format_RGB32);
    Image.fill(Qt::black);
}

void TPlanView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Image);
}

// ---- construction ------------------------------------------------------------------------

TKvisCadForm1* TKvisCadForm1::Instance() {
    return instance;
}

TKvisCadForm1* TKvisCadForm1::Get(QWidget* parent) {
    if (!instance)
        new TKvisCadForm1(parent);
    return instance;
}

TKvisCadForm1::TKvisCadForm1(QWidget* parent) : QMainWindow(parent) {
    if (!instance)
        instance = this;
    setObjectName("KvisCadForm1");
    setWindowTitle("Kvistrel Cross-Section CAD");
    setWindowFlag(Qt::Window, true);
    InitKvprofileResource();
    const QPixmap cursor(":/profile/KvistrelRes.png");
    CadCursor = cursor.isNull() ? QCursor(Qt::CrossCursor) : QCursor(cursor, 15, 15);

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    CADImage1 = new TCadSurface(this);
    CADImage1->setParent(central);
    CADImage1->setCursor(CadCursor);
    row->addWidget(CADImage1, 1);
    setCentralWidget(central);

    BuildActions();
    BuildPanel();
    row->addWidget(findChild<QWidget*>("RightPanel"));
    BuildFloatingPanels();

    const char* texts[3] = {"z-verdi", "x-verdi", "PolyGon Data"};
    const int widths[3] = {100, 100, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanels[i] = new QLabel(texts[i], this);
        StatusPanels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanels[i]->setMinimumWidth(widths[i]);
        statusBar()->addWidget(StatusPanels[i], i == 2 ? 1 : 0);
    }
    statusBar()->setObjectName("StatusBar1");

    // Two thirds of the screen's width; the height keeps the screen's proportions but never
    // exceeds the screen.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize sz = screen ? screen->geometry().size() : QSize(1024, 768);
    const int sw = std::max(sz.width(), 400), sh = std::max(sz.height(), 300);
    const int w = (sw / 3) * 2;
    const int h = std::min(static_cast<int>(RoundEven(((sh / 3) * 2) * double(sw) / sh)),
                           screen ? screen->availableGeometry().height() : sh);
    resize(w, h);
    setMinimumSize(sw / 4, sh / 4);
    setMaximumSize(w, std::max(h, sh / 4));

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &TKvisCadForm1::Timer1Timer);

    spinGuard_ = true;
    SpinEdit1->setRange(1, std::max(Cave.LineCount, 1));
    SpinEdit1->setValue(std::max(CurrentStation, 1));
    spinGuard_ = false;
    CADImage1->resize(std::max(w - kPanelWidth, 50), std::max(h - 60, 50));
    SurfaceResized();
    UpdateCommands();
}

TKvisCadForm1::~TKvisCadForm1() {
    if (instance == this)
        instance = nullptr;
}

QAction* TKvisCadForm1::NewAction(const char* name, const QString& text,
                                  void (TKvisCadForm1::*handler)(), bool checkable) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    a->setCheckable(checkable);
    if (handler)
        connect(a, &QAction::triggered, this, handler);
    else
        a->setEnabled(false);
    return a;
}

void TKvisCadForm1::BuildActions() {
    QMenuBar* bar = menuBar();
    FileMenu = bar->addMenu("File");
    FileMenu->setObjectName("File1");
    SaveToHPGL1 = NewAction("SaveToHPGL1", "Save To HPGL", &TKvisCadForm1::SaveToHPGL1Click);
    FileMenu->addAction(SaveToHPGL1);
    QMenu* prefs = FileMenu->addMenu("Preferences");
    prefs->setObjectName("Preferences1");
    prefs->addAction(NewAction("WindowSize1", "Window Size", &TKvisCadForm1::WindowSize1Click));
    QAction* exit = NewAction("Exit1", "E&xit", nullptr);
    exit->setEnabled(true);
    connect(exit, &QAction::triggered, this, &QWidget::close);
    FileMenu->addAction(exit);

    EditMenu = bar->addMenu("Edit");
    EditMenu->setObjectName("Edit1");
    SavePolygon1 = NewAction("SavePolygon1", "Save Polygon", &TKvisCadForm1::SavePolygon1Click);
    ReloadPolygon1 =
        NewAction("ReloadPolygon1", "Reload Polygon", &TKvisCadForm1::ReloadPolygon1Click);
    NodeAct = NewAction("Node1", "Node", &TKvisCadForm1::Node1Click, true);
    Refresh1 = NewAction("Refresh1", "Refresh", &TKvisCadForm1::Refresh1Click);
    Resetall1 = NewAction("Resetall1", "Reset all", &TKvisCadForm1::Resetall1Click);
    ZoomAct = NewAction("Zoom1", "Zoom", &TKvisCadForm1::Zoom1Click, true);
    ZoomOut1 = NewAction("ZoomOut1", "ZoomOut", nullptr);
    FlipPolygon1 = NewAction("FlipPolygon1", "Flip Polygon", &TKvisCadForm1::FlipPoly1Click);
    for (QAction* a : {SavePolygon1, ReloadPolygon1, NodeAct, Refresh1, Resetall1, ZoomAct,
                       ZoomOut1, FlipPolygon1})
        EditMenu->addAction(a);

    QMenu* view = bar->addMenu("View");
    view->setObjectName("View1");
    QAction* data = NewAction("Data1", "Data", &TKvisCadForm1::Data1Click);
    view->addAction(data);

    ProcessMenu = bar->addMenu("Process");
    ProcessMenu->setObjectName("Process1");
    QAction* toData =
        NewAction("SaveToDataFile1", "Save To DataFile", &TKvisCadForm1::SaveToDataFile1Click);
    QAction* toWorld =
        NewAction("PolygontoWorld1", "Polygon to World", &TKvisCadForm1::PolygontoWorld1Click);
    QAction* redo = NewAction("RedoPolygon1", "Redo Polygon", &TKvisCadForm1::RedoPolygon1Click);
    Savetocave1 = NewAction("Savetocave1", "Save to cave", &TKvisCadForm1::Savetocave1Click);
    QAction* del =
        NewAction("DeleteProfile1", "Delete Profile", &TKvisCadForm1::DeleteProfile1Click);
    UnDoSaveTocave1 = NewAction("UnDoSaveTocave1", "Recover Delete or Save",
                                &TKvisCadForm1::UnDoSaveTocave1Click);
    QAction* area =
        NewAction("CalculateArea1", "Calculate Area", &TKvisCadForm1::CalculateArea1Click);
    for (QAction* a : {toData, toWorld, redo, Savetocave1, del, UnDoSaveTocave1, area})
        ProcessMenu->addAction(a);

    for (QMenu* m : {FileMenu, EditMenu, ProcessMenu})
        connect(m, &QMenu::aboutToShow, this, &TKvisCadForm1::UpdateCommands);

    DrawAct = NewAction("StartPolygon1", "Start Polygon", &TKvisCadForm1::StartPolygon1Click, true);
    QAction* finish =
        NewAction("FinishPolyGon1", "Finish PolyGon", &TKvisCadForm1::FinishPolyGon1Click);
    QAction* delPoly =
        NewAction("deletePolyGon1", "Delete PolyGon", &TKvisCadForm1::deletePolyGon1Click);
    DrawPopupMenu1 = new QMenu(this);
    DrawPopupMenu1->setObjectName("DrawPopupMenu1");
    DrawPopupMenu1->addAction(DrawAct);
    DrawPopupMenu1->addAction(finish);
    DrawPopupMenu1->addAction(delPoly);
    DrawPopupMenu1->addAction(
        NewAction("DeleteAll1", "Delete All", &TKvisCadForm1::DeleteAll1Click));

    EditPopupMenu2 = new QMenu(this);
    EditPopupMenu2->setObjectName("EditPopupMenu2");
    Insertnode1 = NewAction("Insertnode1", "Insert node", &TKvisCadForm1::Insertnode1Click);
    deletenode1 = NewAction("deletenode1", "delete node", &TKvisCadForm1::deletenode1Click);
    mergenodes1 = NewAction("mergenodes1", "merge nodes", nullptr);
    BreakPolyLeg1 = NewAction("BreakPolyLeg1", "Break PolyLeg", &TKvisCadForm1::BreakPolyLeg1Click);
    FlipPoly1 = NewAction("FlipPoly1", "Flip Poly", &TKvisCadForm1::FlipPoly1Click);
    RotatePolyXY1 = NewAction("RotatePolyXY1", "Rotate Poly XY", nullptr);
    for (QAction* a :
         {Insertnode1, deletenode1, mergenodes1, BreakPolyLeg1, FlipPoly1, RotatePolyXY1})
        EditPopupMenu2->addAction(a);

    StationsPopupMenu1 = new QMenu(this);
    StationsPopupMenu1->setObjectName("StationsPopupMenu1");
    StationsPopupMenu1->addAction(NewAction("NextTO1", "Next TO", &TKvisCadForm1::NextTO1Click));
    StationsPopupMenu1->addAction(
        NewAction("PreviousFROM1", "Previous FROM", &TKvisCadForm1::PreviousFROM1Click));
    StationsPopupMenu1->addAction(NewAction("First1", "First", &TKvisCadForm1::First1Click));
    StationsPopupMenu1->addAction(NewAction("Last1", "Last", &TKvisCadForm1::Last1Click));
}

void TKvisCadForm1::BuildPanel() {
    auto* panel = new QWidget(this);
    panel->setObjectName("RightPanel");
    panel->setFixedWidth(kPanelWidth);
    auto* col = new QVBoxLayout(panel);
    col->setContentsMargins(4, 4, 4, 4);
    StationLabel1 = new QLabel("Station", panel);
    StationLabel1->setObjectName("StationLabel1");
    col->addWidget(StationLabel1);
    auto* spinRow = new QHBoxLayout;
    SpinEdit1 = new QSpinBox(panel);
    SpinEdit1->setObjectName("SpinEdit1");
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TKvisCadForm1::SpinEdit1Change);
    auto* stations = new QPushButton("Stations", panel);
    stations->setObjectName("SpeedButton1");
    connect(stations, &QPushButton::clicked, this, [this, stations] {
        StationsPopupMenu1->popup(stations->mapToGlobal(QPoint(0, stations->height())));
    });
    spinRow->addWidget(SpinEdit1);
    spinRow->addWidget(stations);
    col->addLayout(spinRow);
    auto label = [&](QLabel*& l, const char* name, const QString& text) {
        l = new QLabel(text, panel);
        l->setObjectName(name);
        l->setWordWrap(true);
        col->addWidget(l);
    };
    label(DeclinLabel1, "DeclinLabel1", "");
    label(PlaneLabel1, "PlaneLabel1", "");
    label(ProfileLabel1, "ProfileLabel1", "");
    label(CommentLabel1, "CommentLabel1", "Comment");
    auto* plan = new QGroupBox("Profile Plan", panel);
    plan->setObjectName("GroupBox1");
    auto* pl = new QVBoxLayout(plan);
    ViewImage1 = new TPlanView(plan);
    pl->addWidget(ViewImage1, 0, Qt::AlignHCenter);
    col->addWidget(plan);

    auto bar = [&](const char* name, const QString& title) {
        auto* t = new QToolBar(title, panel);
        t->setObjectName(name);
        t->setOrientation(Qt::Vertical);
        t->setToolButtonStyle(Qt::ToolButtonTextOnly);
        col->addWidget(t);
        return t;
    };
    auto button = [](QToolBar* t, QAction* a, const char* name, const QString& hint) {
        t->addAction(a);
        if (QWidget* w = t->widgetForAction(a)) {
            w->setObjectName(name);
            w->setToolTip(hint);
        }
    };
    auto own = [this](const char* name, const QString& text, void (TKvisCadForm1::*h)(),
                      bool checkable = false) { return NewAction(name, text, h, checkable); };

    QToolBar* t1 = bar("ToolBar1", "Zooming and moving");
    button(t1, ZoomAct, "ToolButton1", "ZoomBox");
    button(t1, own("ZoomIn1", "Zoom In", &TKvisCadForm1::ToolButton2Click), "ToolButton2",
           "Zoom In");
    button(t1, own("ZoomOutBtn1", "Zoom Out", &TKvisCadForm1::ToolButton3Click), "ToolButton3",
           "Zoom Out");
    button(t1, own("ResetZooming1", "Reset Zooming", &TKvisCadForm1::ToolButton4Click),
           "ToolButton4", "Reset Zooming");

    QToolBar* t2 = bar("ToolBar2", "Draw and edit polygon");
    button(t2, DrawAct, "DrawPolyToolButton6", "Draw Polygon");
    button(t2, findChild<QAction*>("FinishPolyGon1"), "FinishPolyToolButton7",
           "Finish (close) PolyGon");
    button(t2, findChild<QAction*>("deletePolyGon1"), "DeletePolyToolButton8", "Delete PolyGon");
    button(t2, NodeAct, "EditNodeToolButton10", "Edit Nodes and Legs");
    button(t2, SavePolygon1, "SavePolyToolButton6", "Save polygon");
    button(t2, ReloadPolygon1, "ReLoadToolButton6", "Reload Polygon");
    button(t2,
           own("RotateProfile1", "Rotate profile", &TKvisCadForm1::RotateProfileToolButton6Click),
           "RotateProfileToolButton6", "Rotate profile in XY plane");

    QToolBar* t3 = bar("ToolBar3", "Process data to cave or data file");
    button(t3, Savetocave1, "SaveTocaveToolButton11", "Save polygon to cave profile");
    button(t3, findChild<QAction*>("SaveToDataFile1"), "SaveToDataFileToolButton12",
           "Save Polygon profile to Editor data file");
    button(t3, UnDoSaveTocave1, "RecoverDeleteToolButton15", "Undo delete profile from cave");
    button(t3, findChild<QAction*>("DeleteProfile1"), "DeleteFromCaveToolButton14",
           "Delete polygon from cave");
    button(t3, findChild<QAction*>("Data1"), "ViewdataToolButton6", "View polygon data");
    button(t3, SaveToHPGL1, "ExportToHPGLToolButton6", "Export polygon to HPGL file");
    col->addStretch(1);
}

void TKvisCadForm1::MakeDraggable(TDragFrame* panel, int index) {
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(3);
    panel->setAutoFillBackground(true);
    panel->hide();
    panel->OnPress = [this, panel, index](QMouseEvent* e) {
        if (e->button() != Qt::LeftButton)
            return;
        panelDragging_ = true;
        panelIndex_ = index;
        grabOffset_ = e->position().toPoint();
        panel->setFrameShadow(QFrame::Sunken);
        QPalette p = panel->palette();
        p.setColor(QPalette::Window, palette().highlight().color());
        panel->setPalette(p);
    };
    panel->OnMove = [this, panel](QMouseEvent* e) {
        if (panelDragging_)
            panel->move(panel->mapToParent(e->position().toPoint()) - grabOffset_);
    };
    panel->OnRelease = [this](QMouseEvent*) {
        panelDragging_ = false;
        for (TDragFrame* f : {DatamemoPanel1, DataGridPanel1, RotateProfilePanel}) {
            f->setFrameShadow(QFrame::Raised);
            f->setPalette(palette());
        }
    };
}

void TKvisCadForm1::BuildFloatingPanels() {
    auto closeButton = [](QWidget* parent, QWidget* panel) {
        auto* b = new QPushButton("Close", parent);
        QObject::connect(b, &QPushButton::clicked, panel, &QWidget::hide);
        return b;
    };
    DatamemoPanel1 = new TDragFrame(CADImage1);
    DatamemoPanel1->setObjectName("DatamemoPanel1");
    auto* ml = new QVBoxLayout(DatamemoPanel1);
    DataMemo1 = new QPlainTextEdit(DatamemoPanel1);
    DataMemo1->setObjectName("DataMemo1");
    DataMemo1->setFont(QFont("Courier New", 9));
    DataMemo1->setMinimumSize(420, 160);
    ml->addWidget(DataMemo1);
    ml->addWidget(closeButton(DatamemoPanel1, DatamemoPanel1));
    MakeDraggable(DatamemoPanel1, 0);
    DatamemoPanel1->move(20, 20);

    DataGridPanel1 = new TDragFrame(CADImage1);
    DataGridPanel1->setObjectName("DataGridPanel1");
    auto* gl = new QVBoxLayout(DataGridPanel1);
    auto* gr = new QHBoxLayout;
    KompLabel1 = new QLabel("Kompass", DataGridPanel1);
    KompLabel1->setObjectName("KompLabel1");
    KlinoLabel2 = new QLabel("Klino", DataGridPanel1);
    KlinoLabel2->setObjectName("KlinoLabel2");
    gr->addWidget(KompLabel1);
    gr->addWidget(KlinoLabel2);
    gr->addWidget(closeButton(DataGridPanel1, DataGridPanel1));
    gl->addLayout(gr);
    StringGrid1 = new QTableWidget(DataGridPanel1);
    StringGrid1->setObjectName("StringGrid1");
    StringGrid1->setToolTip("No data visible unless saved to cave");
    StringGrid1->horizontalHeader()->setDefaultSectionSize(40);
    StringGrid1->verticalHeader()->setDefaultSectionSize(17);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setColumnCount(5);
    StringGrid1->setMinimumSize(230, 200);
    gl->addWidget(StringGrid1);
    MakeDraggable(DataGridPanel1, 1);
    DataGridPanel1->move(40, 40);

    RotateProfilePanel = new TDragFrame(CADImage1);
    RotateProfilePanel->setObjectName("RotateProfilePanel");
    auto* rl = new QVBoxLayout(RotateProfilePanel);
    rl->addWidget(new QLabel("Rotate Round Z-axis", RotateProfilePanel));
    auto* sr = new QHBoxLayout;
    Spin10DegEdit4 = new QSpinBox(RotateProfilePanel);
    Spin10DegEdit4->setObjectName("Spin10DegEdit4");
    Spin10DegEdit4->setRange(-18, 18);
    Spin01DegEdit3 = new QSpinBox(RotateProfilePanel);
    Spin01DegEdit3->setObjectName("Spin01DegEdit3");
    Spin01DegEdit3->setRange(0, 9);
    RotDegrLabel1 = new QLabel("Degrees", RotateProfilePanel);
    RotDegrLabel1->setObjectName("RotDegrLabel1");
    sr->addWidget(Spin10DegEdit4);
    sr->addWidget(Spin01DegEdit3);
    sr->addWidget(RotDegrLabel1);
    rl->addLayout(sr);
    auto* br = new QHBoxLayout;
    auto* ok = new QPushButton("OK", RotateProfilePanel);
    ok->setObjectName("RotateOKButton");
    auto* cancel = new QPushButton("Cancel", RotateProfilePanel);
    cancel->setObjectName("RotateCancelButton");
    br->addWidget(ok);
    br->addWidget(cancel);
    rl->addLayout(br);
    connect(Spin10DegEdit4, &QSpinBox::valueChanged, this, &TKvisCadForm1::Spin10DegEdit4Change);
    connect(Spin01DegEdit3, &QSpinBox::valueChanged, this, &TKvisCadForm1::Spin01DegEdit3Change);
    connect(ok, &QPushButton::clicked, this, &TKvisCadForm1::RotateOKClick);
    connect(cancel, &QPushButton::clicked, this, &TKvisCadForm1::RotateCancelClick);
    MakeDraggable(RotateProfilePanel, 2);
    RotateProfilePanel->move(60, 60);

    GroupBox2 = new QGroupBox("Workspace Size", CADImage1);
    GroupBox2->setObjectName("GroupBox2");
    GroupBox2->setAutoFillBackground(true);
    auto* wl = new QHBoxLayout(GroupBox2);
    auto* size = new QSpinBox(GroupBox2);
    size->setObjectName("SizeSpinEdit1");
    size->setRange(3, 8);
    PercentLabel = new QLabel("% of Screen", GroupBox2);
    connect(size, &QSpinBox::valueChanged, PercentLabel, &QLabel::clear);
    auto* wok = new QPushButton("OK", GroupBox2);
    auto* wcancel = new QPushButton("Cancel", GroupBox2);
    connect(wok, &QPushButton::clicked, GroupBox2, &QWidget::hide);
    connect(wcancel, &QPushButton::clicked, GroupBox2, &QWidget::hide);
    for (QWidget* w : std::initializer_list<QWidget*>{size, PercentLabel, wok, wcancel})
        wl->addWidget(w);
    GroupBox2->move(80, 80);
    GroupBox2->hide();
}

// ---- mapping and picture -----------------------------------------------------------------

void TKvisCadForm1::SetToPCParams(double a, double b, double c, double d) {
    ::SetToPCParams(S.Map, {0, 0, Picture.width(), Picture.height()}, a, b, c, d);
}

void TKvisCadForm1::SurfaceResized() {
    const QSize size = CADImage1->size().expandedTo(QSize(1, 1));
    if (Picture.size() == size)
        return;
    // The polygon keeps its world place; the picture is drawn again for the new size.
    if (!Picture.isNull() && S.CadPoly.Count > 0)
        S.PolygonToWorld();
    Picture = QImage(size, QImage::Format_RGB32);
    Picture.fill(Qt::white);
    if (displayed_ && ValidStation(CurrentStation)) {
        ShowStation(CurrentStation, false);
        return;
    }
    double a = -5, b = -5, c = 5, d = 5;
    FitAspect({0, 0, Picture.width(), Picture.height()}, a, b, c, d);
    SetToPCParams(a, b, c, d);
    Rutenett(5);
}

void TKvisCadForm1::WithXor(const std::function<void(TPlotCanvas&)>& draw) {
    {
        QPainter p(&Picture);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        TQtCanvas c(p);
        draw(c);
    }
    CADImage1->update();
}

void TKvisCadForm1::Rutenett(double R) {
    const TGridSteps g = GridSteps(R);
    QPainter p(&Picture);
    p.fillRect(Picture.rect(), Qt::white);
    const int w = Picture.width(), h = Picture.height();
    auto vertical = [&](double x) {
        const int X = WorldToScreen(S.Map, x, 0).X;
        if (X >= -2 && X <= w + 2)
            p.drawLine(X, 0, X, h);
    };
    auto horizontal = [&](double y) {
        const int Y = WorldToScreen(S.Map, 0, y).Y;
        if (Y >= -2 && Y <= h + 2)
            p.drawLine(0, Y, w, Y);
    };
    auto gridPen = [&](std::int32_t i) {
        const bool dark = i % g.Medium == 0 || i % g.Major == 0;
        p.setPen(QPen(dark ? Rgb(255, 224, 176) : Rgb(255, 244, 240), i % g.Major == 0 ? 2 : 1));
    };
    for (std::int32_t i = 0; i <= g.N; ++i) {
        gridPen(i);
        vertical(i * g.Step);
        vertical(-i * g.Step);
    }
    for (std::int32_t i = 0; i <= g.N; ++i) {
        gridPen(i);
        horizontal(i * g.Step);
        horizontal(-i * g.Step);
    }
    p.setPen(QPen(Qt::red, 1));
    vertical(0);
    horizontal(0);

    const QFontMetrics fm(p.font());
    const int mw = fm.horizontalAdvance('M'), xh = fm.height();
    for (std::int32_t i = 0; i <= g.N; i += 10) {
        const double v = i * g.Step;
        const QString text = Fmt(v, 2, 1);
        for (const double s : {v, -v}) {
            p.setPen(QPen(Rgb(208, 176, 128), 1));
            if (g.Major < 6) {
                vertical(s);
                horizontal(s);
            }
            p.setPen(Qt::black);
            const TScreenPoint at = WorldToScreen(S.Map, s, s);
            p.drawText(at.X - mw / 2, h - xh + fm.ascent(), text);
            p.drawText(w - 2 * mw, at.Y - xh / 2 + fm.ascent(), text);
        }
    }
    p.end();
    S.Stale = true;
    CADImage1->update();
}

void TKvisCadForm1::DrawMark(double wx, double wy, std::uint32_t colour, const QString& label) {
    QPainter p(&Picture);
    const TScreenPoint at = WorldToScreen(S.Map, wx, wy);
    p.setPen(ToQColor(colour));
    p.setBrush(ToQColor(colour));
    p.drawEllipse(QPoint(at.X, at.Y), 4, 4);
    const QFontMetrics fm(p.font());
    const QRect r(at.X + 6, at.Y - fm.height(), fm.horizontalAdvance(label), fm.height());
    p.fillRect(r, Qt::white);
    p.setPen(Qt::black);
    p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, label);
}

bool TKvisCadForm1::ValidStation(std::int32_t s) const {
    return s >= 0 && s <= Cave.LineCount && static_cast<std::size_t>(s) < Cave.Lines.size();
}

// ---- one line on screen ------------------------------------------------------------------

void TKvisCadForm1::DisplayStation(std::int32_t Station) {
    ShowStation(Station, true);
}

void TKvisCadForm1::ShowStation(std::int32_t Station, bool reload) {
    if (Cave.Lines.empty())
        Cave.Lines.resize(1); // the blank line 0 every model has
    if (!ValidStation(Station))
        Station = std::clamp<std::int32_t>(
            Station, 0,
            std::max(0, std::min<std::int32_t>(Cave.LineCount,
                                               static_cast<std::int32_t>(Cave.Lines.size()) - 1)));
    CurrentStation = Station;
    displayed_ = true;
    const Tdatalinje& L = Cave.Lines[static_cast<std::size_t>(Station)];
    const TInstrument I = InstrumentOf(Cave, L);
    const double cc = I.CompassCircle > 0 ? I.CompassCircle : 360;

    double R = DimensionExtent(L);
    if (L.HasScan) {
        TPolyGon stored;
        LoadPolyFromProfile(Cave, Station, stored);
        const double e = MaxExtent(stored);
        // A profile with every node at the station keeps the extent of the dimensions.
        if (e > 0)
            R = 1.1 * e;
        if (reload)
            S.CadPoly = stored;
    } else if (reload) {
        ClearPolyGon(S.CadPoly);
    }
    if (reload) {
        S.NodeDrag = false;
        S.PolyDrag = false;
    }

    const TCadRect client{0, 0, Picture.width(), Picture.height()};
    if (S.ZoomRectEmpty()) {
        double a = -R, b = -R, c = R, d = R;
        FitAspect(client, a, b, c, d);
        SetToPCParams(a, b, c, d);
    } else if (S.ZoomMode == 1) {
        double wx1 = 0, wy1 = 0, wx2 = 0, wy2 = 0;
        ScreenToWorld(S.Map, S.Zoom1.X, S.Zoom1.Y, wx1, wy1);
        ScreenToWorld(S.Map, S.Zoom2.X, S.Zoom2.Y, wx2, wy2);
        R = wx2 - wx1;
        FitAspect(client, wx1, wy2, wx2, wy1);
        SetToPCParams(wx1, wy2, wx2, wy1);
    }
    Rutenett(R);

    auto mark = [&](double value, const char* name, double shown, double wx, double wy) {
        if (std::fabs(value) > 0)
            DrawMark(wx, wy, kMarkBlue, QString(name) + " = " + Fmt(shown, 5, 2));
    };
    mark(L.Right, "H", L.Right, L.Right, 0);
    mark(L.Left, "V", -L.Left, -L.Left, 0);
    mark(L.Up, "O", L.Up, 0, L.Up);
    mark(L.Down, "N", -L.Down, 0, -L.Down);
    DrawMark(0, 0, kMarkRed, DecodeWindows1252(L.ToName.str()));
    StationName = TrimRight(L.ToName.str());

    StationLabel1->setText(DecodeWindows1252(L.ToName.str()) + " (" + QString::number(Station) +
                           ")");
    CommentLabel1->setText(L.Comment.empty() ? QString(" no comment")
                                             : DecodeWindows1252(L.Comment));
    if (Rotating)
        PlaneAzimuth += RotDelta;
    else if (reload)
        // Without a stored plane the drawing is across the leg: +X is the right-hand wall.
        PlaneAzimuth = L.HasScan ? L.ScanPlane : std::fmod(L.Compass + 90 + 360, 360.0);
    const QString u = QString::fromStdString(CircleUnitText(cc));
    DeclinLabel1->setText("Decl= " + Fmt(L.Compass * cc / 360, 5, 2));
    PlaneLabel1->setText("H=" + Fmt((L.Compass + 90) * cc / 360, 5, 2) + u);
    if (L.HasScan)
        ProfileLabel1->setText("Profile: " + QString::number(L.ScanCount) +
                               " Plane = " + Fmt(PlaneAzimuth, 5, 2) + "deg" + "   " +
                               Fmt(PlaneAzimuth * cc / 360, 5, 2) + u);
    else
        ProfileLabel1->setText("No Profile");
    if (S.CadPoly.Count > 0) {
        S.PolyToScreen();
        UpdatePolyGon(S.CadPoly);
        WithXor([this](TPlotCanvas& c) { S.DrawPolygon(c); });
        S.Stale = false;
    }
    spinGuard_ = true;
    SpinEdit1->setMaximum(std::max(Cave.LineCount, 1));
    SpinEdit1->setValue(Station);
    spinGuard_ = false;
    ShowPolyStatus();
    DrawPlan(RotDelta);
    Rotating = false;
    UpdateCommands();
}

void TKvisCadForm1::RunKvisCAD(std::int32_t Station) {
    CurrentStation = Station;
    DisplayStation(Station);
}

std::int32_t TKvisCadForm1::GetFra(const std::string& Name) const {
    return ::GetFra(Cave, Name);
}

std::int32_t TKvisCadForm1::GetTil(const std::string& Name) const {
    return ::GetTil(Cave, Name);
}

void TKvisCadForm1::ShowFromPlot(std::int32_t station, bool choose) {
    FromEditor = false;
    show();
    raise();
    activateWindow();
    spinGuard_ = true;
    SpinEdit1->setRange(1, std::max(Cave.LineCount, 1));
    spinGuard_ = false;
    if (choose)
        RunKvisCAD(station);
}

void TKvisCadForm1::GetGraphProfileFromCAD(const std::string& Name, double& H, double& V, double& N,
                                           double& O) {
    const std::string name = Name.substr(0, 4);
    FromEditor = true;
    ++Cave.LineCount;
    Cave.Lines.resize(static_cast<std::size_t>(Cave.LineCount) + 1);
    Tdatalinje& l = Cave.Lines.back();
    InitLine(l);
    l.Right = H;
    l.Left = V;
    l.Down = N;
    l.Up = O;
    CurrentStation = Cave.LineCount;
    DisplayStation(CurrentStation);
    StationName = name; // the new line has no name of its own
}

void TKvisCadForm1::ShowPolyStatus() {
    StatusPanels[2]->setText(QString::fromStdString(PolyStatusText(S.CadPoly)));
}

void TKvisCadForm1::DrawPlan(double rotation) {
    QImage& img = ViewImage1->Image;
    img.fill(Qt::black);
    if (Cave.Lines.empty())
        return;
    const Tdatalinje& L =
        Cave.Lines[static_cast<std::size_t>(ValidStation(CurrentStation) ? CurrentStation : 0)];
    QPainter p(&img);
    const int cx = img.width() / 2, cy = img.height() / 2;
    auto ends = [&](double a, QPoint& back, QPoint& front) {
        const int dx = static_cast<int>(RoundEven(cx * std::sin(DegToRad(a))));
        const int dy = static_cast<int>(RoundEven(cy * std::cos(DegToRad(a))));
        back = QPoint(cx - dx, cy + dy);
        front = QPoint(cx + dx, cy - dy);
    };
    QPoint b, f;
    double a = L.Compass;
    ends(a, b, f);
    p.setPen(Qt::yellow);
    p.drawLine(b, f);
    p.drawRect(f.x() - 3, f.y() - 3, 6, 6);
    p.drawEllipse(QPoint(cx, cy), 2, 2);
    a -= 90;
    ends(a, b, f);
    p.setPen(Qt::red);
    p.drawLine(b, f);
    p.setPen(Qt::magenta);
    const QPoint in(f.x() < cx ? 4 : -8, f.y() < cy ? 12 : -4);
    p.drawText(f + in, "v");
    const QPoint in2(b.x() < cx ? 4 : -8, b.y() < cy ? 12 : -4);
    p.drawText(b + in2, "h");
    if (L.HasScan) {
        ends(L.ScanPlane + (Rotating ? rotation : 0), b, f);
        p.setPen(Qt::cyan);
        p.drawLine(QPoint(cx, cy), f);
    }
    p.end();
    ViewImage1->update();
}

// ---- navigation ---------------------------------------------------------------------------

void TKvisCadForm1::SpinEdit1Change(int value) {
    if (spinGuard_ || FromEditor)
        return;
    CurrentStation = std::clamp(value, 1, std::max(Cave.LineCount, 1));
    S.Stale = true;
    Rotating = false;
    DisplayStation(CurrentStation);
}

void TKvisCadForm1::NextTO1Click() {
    if (!ValidStation(CurrentStation))
        CurrentStation = 0;
    CurrentStation = GetFra(Cave.Lines[static_cast<std::size_t>(CurrentStation)].ToName.str());
    DisplayStation(CurrentStation);
}

void TKvisCadForm1::PreviousFROM1Click() {
    if (!ValidStation(CurrentStation))
        CurrentStation = 0;
    CurrentStation = GetTil(Cave.Lines[static_cast<std::size_t>(CurrentStation)].FromName.str());
    DisplayStation(CurrentStation);
}

void TKvisCadForm1::First1Click() {
    CurrentStation = 1;
    DisplayStation(CurrentStation);
}

void TKvisCadForm1::Last1Click() {
    CurrentStation = Cave.LineCount;
    DisplayStation(CurrentStation);
}

void TKvisCadForm1::Refresh1Click() {
    DisplayStation(CurrentStation);
}

void TKvisCadForm1::Resetall1Click() {
    S.ResetPolygon();
    DisplayStation(CurrentStation);
}

// ---- zoom ---------------------------------------------------------------------------------

void TKvisCadForm1::Zoom1Click() {
    S.ZoomMode = S.ZoomMode == 0 ? 1 : 0;
    if (S.ZoomMode == 0) {
        Timer1->stop();
        S.ZoomDragging = false;
    }
    CADImage1->setCursor(CadCursor);
    UpdateCommands();
    CADImage1->update();
}

void TKvisCadForm1::ToolButton2Click() {
    S.ZoomMode = 2;
    UpdateCommands();
}

void TKvisCadForm1::ToolButton3Click() {
    S.ZoomMode = 3;
    UpdateCommands();
}

void TKvisCadForm1::ToolButton4Click() {
    S.ZoomCollapse();
    if (S.CadPoly.Count > 0)
        S.PolygonToWorld();
    ShowStation(CurrentStation, false);
    S.ZoomMode = 0;
    Timer1->stop();
    UpdateCommands();
}

void TKvisCadForm1::Timer1Timer() {
    S.AntsTick();
    if (S.ZoomMode == 1)
        CADImage1->update();
}

// ---- mouse --------------------------------------------------------------------------------

void TKvisCadForm1::CADImage1MouseDown(Qt::MouseButton button, QPoint p) {
    const TScreenPoint at{p.x(), p.y()};
    if (button == Qt::LeftButton) {
        TCadReply r;
        WithXor([&](TPlotCanvas& c) { r = S.LeftPress(c, at); });
        if (r.DragCursor)
            CADImage1->setCursor(Qt::SizeAllCursor);
        if (r.ZoomBoxChanged) {
            Timer1->start();
            CADImage1->update();
        }
        if (S.DrawMode) {
            ShowPolyStatus();
            UpdateCommands(); // the first node enables the commands that need one
        }
        return;
    }
    if (button != Qt::RightButton)
        return;
    const TCadPopup popup = S.RightPress(at);
    const QPoint global = CADImage1->mapToGlobal(p);
    if (popup == TCadPopup::Draw) {
        DrawPopupMenu1->popup(global);
    } else if (popup == TCadPopup::Edit) {
        for (QAction* a : EditPopupMenu2->actions())
            a->setEnabled(false);
        deletenode1->setEnabled(S.HitKind == kCadHitNode);
        Insertnode1->setEnabled(S.HitKind == kCadHitLeg);
        BreakPolyLeg1->setEnabled(S.HitKind == kCadHitLeg);
        FlipPoly1->setEnabled(true);
        EditPopupMenu2->popup(global);
    }
}

void TKvisCadForm1::CADImage1MouseMove(QPoint p, bool leftHeld) {
    const TScreenPoint at{p.x(), p.y()};
    TCadReply r;
    if (S.NodeDrag || S.PolyDrag || (S.ZoomDragging && leftHeld))
        WithXor([&](TPlotCanvas& c) { r = S.PointerMove(c, at, leftHeld); });
    if (r.ZoomBoxChanged)
        CADImage1->update();
    double wx = 0, wy = 0;
    ScreenToWorld(S.Map, at.X, at.Y, wx, wy);
    StatusPanels[0]->setText("X  = " + Fmt(wx, 5, 2));
    StatusPanels[1]->setText("Z  = " + Fmt(wy, 5, 2));
}

void TKvisCadForm1::CADImage1MouseUp(Qt::MouseButton button, QPoint p) {
    if (button != Qt::LeftButton)
        return;
    TCadReply r;
    WithXor([&](TPlotCanvas& c) { r = S.LeftRelease(c, {p.x(), p.y()}); });
    if (r.DefaultCursor)
        CADImage1->setCursor(CadCursor);
    if (r.ZoomBoxChanged) {
        Timer1->stop();
        CADImage1->update();
    }
    if (r.ZoomDone) {
        // The working polygon keeps its world place in the zoomed window.
        if (S.CadPoly.Count > 0)
            S.PolygonToWorld();
        ShowStation(CurrentStation, false);
        S.ZoomCollapse();
    }
    ShowPolyStatus();
}

// ---- drawing and editing ------------------------------------------------------------------

void TKvisCadForm1::StartPolygon1Click() {
    S.StartPolygon();
    UpdateCommands();
}

void TKvisCadForm1::FinishPolyGon1Click() {
    WithXor([this](TPlotCanvas& c) { S.FinishPolygon(c); });
    ShowPolyStatus();
    UpdateCommands();
}

void TKvisCadForm1::deletePolyGon1Click() {
    WithXor([this](TPlotCanvas& c) { S.DeletePolygon(c); });
    ShowPolyStatus();
    UpdateCommands();
}

void TKvisCadForm1::DeleteAll1Click() {
    if (S.CadPoly.Count <= 0)
        return;
    S.DeleteAll();
    Picture.fill(Qt::white);
    Rutenett(3);
    ShowPolyStatus();
    UpdateCommands();
}

void TKvisCadForm1::Node1Click() {
    S.EditNodeMode = !S.EditNodeMode;
    UpdateCommands();
}

void TKvisCadForm1::Insertnode1Click() {
    WithXor([this](TPlotCanvas& c) { S.InsertNodeCmd(c); });
    ShowPolyStatus();
}

void TKvisCadForm1::deletenode1Click() {
    WithXor([this](TPlotCanvas& c) { S.DeleteNodeCmd(c); });
    ShowPolyStatus();
}

void TKvisCadForm1::BreakPolyLeg1Click() {
    WithXor([this](TPlotCanvas& c) { S.BreakLegCmd(c); });
    ShowPolyStatus();
}

void TKvisCadForm1::FlipPoly1Click() {
    WithXor([this](TPlotCanvas& c) { S.FlipCmd(c); });
    ShowPolyStatus();
}

void TKvisCadForm1::PolygontoWorld1Click() {
    S.PolygonToWorld();
    UpdatePolyGon(S.CadPoly);
    ShowPolyStatus();
}

void TKvisCadForm1::RedoPolygon1Click() {
    WithXor([this](TPlotCanvas& c) { S.RedoPolygon(c); });
}

void TKvisCadForm1::CalculateArea1Click() {
    if (S.CadPoly.Count <= 0)
        return;
    S.PolygonToWorld();
    UpdatePolyGon(S.CadPoly);
    ShowPolyStatus();
}

// ---- storing ------------------------------------------------------------------------------

void TKvisCadForm1::SavePolyToCave(std::int32_t Station) {
    ::SavePolyToCave(Cave, Station, S.CadPoly, PlaneAzimuth, UndoProfile);
    emit ProfileChanged();
}

bool TKvisCadForm1::BackupProfile(std::int32_t Station, bool Save) {
    if (Save) {
        BackupProfileSave(Cave, Station, UndoProfile);
        return true;
    }
    if (UndoProfile.LineIndex == 0) {
        Dialogs().Notice("There is no saved or deleted profile to recover.");
        return false;
    }
    if (Station != UndoProfile.LineIndex &&
        !Dialogs().YesNo(QStringLiteral("you try to Save Station %1on Station %2 !!. ARE YOU SURE?")
                             .arg(UndoProfile.LineIndex)
                             .arg(Station),
                         true))
        return false;
    if (Cave.Lines[static_cast<std::size_t>(Station)].HasScan &&
        !Dialogs().YesNo(QStringLiteral("This Station %1 already have a profile: OVERWRITE?")
                             .arg(CurrentStation),
                         true))
        return false;
    RestoreProfile(Cave, Station, UndoProfile);
    emit ProfileChanged();
    return true;
}

void TKvisCadForm1::Savetocave1Click() {
    if (FromEditor)
        return;
    if (CurrentStation < 1 || !ValidStation(CurrentStation)) {
        Dialogs().Warning("No data line is shown: choose a station first.");
        return;
    }
    if (!S.CadPoly.Closed) {
        Dialogs().Warning("Close PolyGon First!!!");
        return;
    }
    if (S.CadPoly.Count < 3) {
        Dialogs().Warning(QStringLiteral("A profile needs at least 3 nodes; this polygon has %1. "
                                         "Nothing was saved.")
                              .arg(S.CadPoly.Count));
        return;
    }
    if (Cave.Lines[static_cast<std::size_t>(CurrentStation)].HasScan &&
        !Dialogs().YesNo("The Cave already have a profile! Overwrite?", true))
        return;
    S.WorldBeforeSave();
    SavePolyToCave(CurrentStation);
    ShowPolyStatus();
}

void TKvisCadForm1::UnDoSaveTocave1Click() {
    if (FromEditor || !ValidStation(CurrentStation))
        return;
    if (BackupProfile(CurrentStation, false))
        DisplayStation(CurrentStation);
}

void TKvisCadForm1::DeleteProfile1Click() {
    if (CurrentStation < 1 || !ValidStation(CurrentStation))
        return;
    if (!Dialogs().YesNo("Delete this Profile permanently?", true))
        return;
    BackupProfile(CurrentStation, true);
    ::DeleteProfile(Cave, CurrentStation);
    emit ProfileChanged();
    DisplayStation(CurrentStation);
}

void TKvisCadForm1::SaveToDataFile1Click() {
    S.WorldBeforeSave();
    if (StationName.empty()) {
        const std::optional<QString> name =
            Dialogs().TextInput("Station Name is Empty!!", "Enter Name (max 4 characters)", "");
        if (!name)
            return;
        StationName = EncodeWindows1252(name->left(4));
    }
    DataMemo1->clear();
    for (const std::string& line : DataFileBlock(StationName, PlaneAzimuth, S.CadPoly))
        DataMemo1->appendPlainText(DecodeWindows1252(line));
    DatamemoPanel1->adjustSize();
    DatamemoPanel1->show();
    DatamemoPanel1->raise();
}

void TKvisCadForm1::SaveToHPGL1Click() {
    if (S.CadPoly.Count <= 0)
        return;
    S.PolygonToWorld();
    UpdatePolyGon(S.CadPoly);
    const SystemClock systemClock;
    const TextClock& clock = Clock ? *Clock : systemClock;
    // The frame shows the angles of the plot that opened the window, else those of a plan.
    const TPlotView plan;
    TProfileHPGLInput in{Cave,       CurrentFile, CurrentStation,
                         S.CadPoly,  StationName, FramePlot ? FramePlot->View : plan,
                         clock.Now()};
    std::string message;
    if (!ProfileHPGLExport(PlotHPGL(), in, message))
        Dialogs().Warning(FromFileName(message));
}

void TKvisCadForm1::SavePolygon1Click() {
    if (S.CadPoly.Count <= 0)
        return;
    S.PolygonToWorld();
    CopyPolyGon(S.CadPoly, SavedPoly);
    UpdateCommands();
}

void TKvisCadForm1::ReloadPolygon1Click() {
    if (SavedPoly.Count <= 0)
        return;
    WithXor([this](TPlotCanvas& c) {
        if (S.CadPoly.Count > 0)
            S.DrawPolygon(c);
        CopyPolyGon(SavedPoly, S.CadPoly);
        // The copy keeps its world place, whatever window it was saved in.
        S.PolyToScreen();
        UpdatePolyGon(S.CadPoly);
        S.DrawPolygon(c);
    });
    ShowPolyStatus();
    UpdateCommands();
}

void TKvisCadForm1::Data1Click() {
    const bool valid = ValidStation(CurrentStation);
    const Tdatalinje& L = Cave.Lines[static_cast<std::size_t>(valid ? CurrentStation : 0)];
    const TInstrument I = InstrumentOf(Cave, L);
    if (L.HasScan && S.CadPoly.Count > 0) {
        StringGrid1->clearContents();
        StringGrid1->setRowCount(S.CadPoly.Count);
        StringGrid1->setHorizontalHeaderLabels({"No", "Incl", "dist", "x(m)", "z(m)"});
        const auto rows = static_cast<std::int32_t>(
            std::min<std::size_t>(L.ScanPoints.size(), static_cast<std::size_t>(S.CadPoly.Count)));
        for (std::int32_t i = 0; i < rows; ++i) {
            const TProfil& sp = L.ScanPoints[static_cast<std::size_t>(i)];
            const TWPoint w = static_cast<std::size_t>(i) < S.CadPoly.WPts.size()
                                  ? S.CadPoly.WPts[static_cast<std::size_t>(i)]
                                  : TWPoint{};
            // Shown in the units of the line's clinometer, as surveyed.
            const QString cells[5] = {QString::number(i + 1),
                                      Fmt(sp.Angle * I.ClinoCircle / 360, 4, 1),
                                      Fmt(sp.Distance, 4, 2), Fmt(w.X, 5, 2), Fmt(w.Y, 5, 2)};
            for (int c = 0; c < 5; ++c)
                StringGrid1->setItem(i, c, new QTableWidgetItem(cells[c]));
        }
    }
    if (L.HasScan) {
        KompLabel1->setText("Komp: " + Fmt(I.CompassCircle, 3, 0));
        KlinoLabel2->setText("Klin: " + Fmt(I.ClinoCircle, 3, 0));
    }
    DataGridPanel1->adjustSize();
    DataGridPanel1->show();
    DataGridPanel1->raise();
}

// ---- rotation panel -----------------------------------------------------------------------

void TKvisCadForm1::RotateProfileToolButton6Click() {
    spinGuard_ = true;
    Spin10DegEdit4->setValue(0);
    Spin01DegEdit3->setMinimum(-9);
    Spin01DegEdit3->setValue(0);
    spinGuard_ = false;
    RotDegrLabel1->setText("00 deg");
    RotDelta = 0;
    Rotating = false;
    RotateProfilePanel->adjustSize();
    RotateProfilePanel->show();
    RotateProfilePanel->raise();
}

static void ApplyRotationText(TKvisCadForm1& f, QSpinBox* tens, QSpinBox* units, QLabel* label) {
    const std::string t = RotationText(tens->value(), units->value());
    f.RotDelta = std::stod(t);
    label->setText(QString::fromStdString(t) + " deg");
    f.Rotating = true;
    f.DrawPlan(f.RotDelta);
}

void TKvisCadForm1::Spin01DegEdit3Change(int) {
    if (spinGuard_)
        return;
    spinGuard_ = true;
    Spin01DegEdit3->setMinimum(Spin10DegEdit4->value() != 0 ? 0 : -9);
    spinGuard_ = false;
    ApplyRotationText(*this, Spin10DegEdit4, Spin01DegEdit3, RotDegrLabel1);
}

void TKvisCadForm1::Spin10DegEdit4Change(int value) {
    if (spinGuard_)
        return;
    spinGuard_ = true;
    if (Spin01DegEdit3->value() < 0 && value != 0)
        Spin01DegEdit3->setValue(-Spin01DegEdit3->value());
    Spin01DegEdit3->setMinimum(value != 0 ? 0 : -9);
    spinGuard_ = false;
    ApplyRotationText(*this, Spin10DegEdit4, Spin01DegEdit3, RotDegrLabel1);
}

void TKvisCadForm1::RotateOKClick() {
    RotateProfilePanel->hide();
    DrawPlan(RotDelta);
    if (S.CadPoly.Count > 0)
        S.PolygonToWorld();
    ShowStation(CurrentStation, false);
}

void TKvisCadForm1::RotateCancelClick() {
    RotDelta = 0;
    Rotating = false;
    RotateProfilePanel->hide();
    DrawPlan(0);
}

void TKvisCadForm1::WindowSize1Click() {
    GroupBox2->setVisible(!GroupBox2->isVisible());
    GroupBox2->adjustSize();
    GroupBox2->raise();
}

// ---- which commands are on ----------------------------------------------------------------

void TKvisCadForm1::UpdateCommands() {
    const bool nodes = S.CadPoly.Count > 0;
    SaveToHPGL1->setEnabled(nodes);
    SavePolygon1->setEnabled(nodes);
    ReloadPolygon1->setEnabled(true);
    NodeAct->setEnabled(true);
    NodeAct->setChecked(S.EditNodeMode);
    ZoomAct->setEnabled(true);
    ZoomAct->setChecked(S.ZoomMode != 0);
    Refresh1->setEnabled(!S.DrawMode);
    Resetall1->setEnabled(false);
    ZoomOut1->setEnabled(false);
    FlipPolygon1->setEnabled(true);
    DrawAct->setChecked(S.DrawMode);
    Savetocave1->setEnabled(!FromEditor);
    UnDoSaveTocave1->setEnabled(!FromEditor);
}
