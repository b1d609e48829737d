// The main window: menus, toolbars, status bar and the processing chain on a survey data file.
#include "shell/MainForm.h"

#include "attributes/AttributeForm1.h"
#include "attributes/LineStyleForm.h"
#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "model/SurveyReader.h"
#include "model/SurveyWriter.h"
#include "model/TextClock.h"
#include "photos/KvPicViewForm.h"
#include "plot/KvisPlotForm1.h"
#include "profile/KvisCadForm1.h"
#include "reduction/AdjustmentReport.h"
#include "reduction/Loops.h"
#include "reduction/Processing.h"
#include "reduction/ReductionState.h"
#include "shell/AboutForm.h"
#include "shell/AdjustmentDialog.h"
#include "shell/ChildFirstShortcuts.h"
#include "shell/ChildForm.h"
#include "shell/FormEditor.h"
#include "shell/TextEditForm1.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const char* const kCaption =
    "Kvistrel 4  for Windows . Program for processing and plotting cave survey data";
const char* const kIconFileName = "Kvistrel4.ICO";
// Both spellings of each extension: names on this file system keep their letter case.
const char* const kOpenFilter = "Kvistrel Files   (*.grt *.GRT);;Text Files       (*.txt *.TXT);;"
                                "BackUp Files (*.bac *.BAC);;All Files          (*)";
const char* const kSaveFilter =
    "Kvistrel Files    (*.grt *.GRT);;Text     Files    (*.txt *.TXT);;All         Files   (*)";

// A small toolbar picture: a coloured tile with a few letters.
QIcon Glyph(const QString& letters, const QColor& colour) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(QPen(colour.darker(170), 2));
    painter.drawRoundedRect(QRectF(2, 2, 28, 28), 6, 6);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(letters.size() > 1 ? 13 : 18);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, letters);
    return QIcon(pixmap);
}

// A tool button whose picture is its own, for a command that shows only its caption elsewhere.
class IconToolButton : public QToolButton {
public:
    IconToolButton(const QIcon& icon, QWidget* parent) : QToolButton(parent), icon_(icon) {}
    void setDefaultAction(QAction* action) {
        QToolButton::setDefaultAction(action);
        setIcon(icon_);
    }

protected:
    void actionEvent(QActionEvent* event) override {
        QToolButton::actionEvent(event);
        setIcon(icon_);
    }

private:
    QIcon icon_;
};

QStringList ToDisplay(const std::vector<std::string>& messages) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(messages.size()));
    for (const std::string& m : messages)
        lines << DecodeWindows1252(m);
    return lines;
}

// A recent-file caption shows the name literally, ampersands included.
QString RecentCaption(int number, const QString& fileName) {
    return QStringLiteral("&%1 ").arg(number) + QString(fileName).replace('&', "&&");
}

} // namespace

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    InitShellResources();
    setObjectName("MainForm");
    setWindowTitle(kCaption);
    resize(1000, 720);
    lastOpenDir_ = QDir::currentPath();

    BuildActions();
    BuildMenus();
    BuildToolBars();
    BuildClientArea();
    BuildStatusBar();
    InitKvistrel();
    CreateStartupWindows();
    // F2, F3, Alt+X and the rest go to the active child window first.
    new TChildFirstShortcuts(this, MdiArea);
    UpdateCommandStates();
    ShowNameAndversionlabel();
}

// The frame reports its children going away while the window's own members are already gone.
TMainForm::~TMainForm() {
    disconnect(MdiArea, nullptr, this, nullptr);
}

QAction* TMainForm::NewAction(const QString& name, const QString& text,
                              void (TMainForm::*handler)()) {
    auto* action = new QAction(text, this);
    action->setObjectName(name);
    if (handler != nullptr)
        connect(action, &QAction::triggered, this, handler);
    return action;
}

void TMainForm::BuildActions() {
    // The recent-file items exist from the start, hidden until Open fills them.
    const std::array<const char*, 6> names = {"FileName1", "FileName2", "FileName3",
                                              "FileName4", "FileName5", "Filename6"};
    for (std::size_t i = 0; i < names.size(); ++i) {
        RecentFiles[i] = NewAction(names[i], RecentCaption(static_cast<int>(i) + 1, {}),
                                   &TMainForm::FileName1Click);
        RecentFiles[i]->setVisible(false);
    }
}

void TMainForm::BuildMenus() {
    QStyle* st = style();
    QMenuBar* bar = menuBar();
    auto dataAction = [this](QAction* a) {
        dataActions_ << a;
        return a;
    };

    QMenu* file = bar->addMenu("&File");
    QAction* open = NewAction("OpenFileBtn", "&Open", &TMainForm::OpenFileBtnClick);
    open->setShortcut(Qt::Key_F3);
    open->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
    open->setToolTip("Open / New File");
    file->addAction(open);
    QAction* save = dataAction(NewAction("SaveBtn", "&Save", &TMainForm::SaveBtnClick));
    save->setShortcut(Qt::Key_F2);
    save->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
    save->setToolTip("Save File");
    file->addAction(save);
    // Save already asks for the name every time, so Save As is the same command.
    file->addAction(dataAction(NewAction("SaveAsItem", "Save &As", &TMainForm::SaveBtnClick)));
    file->addSeparator();
    QMenu* exportMenu = file->addMenu("&Export Data");
    exportMenu->menuAction()->setObjectName("ExportDataItem");
    exportMenu->addAction(NewAction("ExportSmapsItem", "S&MAPS4"));
    exportMenu->addAction(NewAction("ExportSigmaItem", "Si&gma123"));
    dataMenus_ << exportMenu;
    QMenu* importMenu = file->addMenu("&Import Data");
    importMenu->addAction(NewAction("ImportKvistrel3Item", "&Kvistrel3.x files"));
    importMenu->addAction(NewAction("ImportSmapsItem", "S&MAPS4 Files"));
    importMenu->addAction(NewAction("ImportXyzItem", "&XYZ File"));
    QAction* print = dataAction(NewAction("PrintBtn", "&Print", &TMainForm::PrintBtnClick));
    print->setShortcut(QKeySequence("Ctrl+P"));
    print->setIcon(Glyph("P", QColor(90, 90, 110)));
    print->setToolTip("PrintFile");
    file->addAction(print);
    QMenu* preferences = file->addMenu("Pre&ferences");
    preferences->addAction(NewAction("SetDirectoryItem", "Set &Directory"));
    file->addSeparator();
    QAction* exitAction = NewAction("ExitBtn", "E&xit", &TMainForm::ExitBtnClick);
    exitAction->setShortcut(QKeySequence("Alt+X"));
    exitAction->setIcon(st->standardIcon(QStyle::SP_DialogCloseButton));
    exitAction->setToolTip("Exit");
    file->addAction(exitAction);
    FileSep2 = file->addSeparator();
    FileSep2->setObjectName("FileSep2");
    FileSep2->setVisible(false);
    for (QAction* recent : RecentFiles)
        file->addAction(recent);

    QMenu* edit = bar->addMenu("&Edit");
    QAction* gridEditor =
        NewAction("KvisEditBtn", "Kvistrel E&ditor", &TMainForm::KvisEditBtnClick);
    gridEditor->setIcon(Glyph("G", QColor(40, 120, 60)));
    gridEditor->setToolTip("Kvistrel Editor");
    edit->addAction(gridEditor);
    QAction* textEditor =
        NewAction("TextEditBtn", "Simple &Text Editor", &TMainForm::TextEditBtnClick);
    textEditor->setIcon(Glyph("T", QColor(40, 120, 60)));
    textEditor->setToolTip("Text Editor");
    edit->addAction(textEditor);

    QMenu* properties = bar->addMenu("P&roperties");
    auto view = [&](const char* name, const char* text, void (TMainForm::*handler)(),
                    const char* letters, const char* hint) {
        QAction* a = dataAction(NewAction(name, text, handler));
        a->setIcon(Glyph(letters, QColor(30, 90, 170)));
        a->setToolTip(hint);
        return a;
    };
    QAction* cartesian = view("CartesianBtn", "Show C&artesian Data", &TMainForm::CartesianBtnClick,
                              "XY", "View cartesian Data");
    QAction* comments = view("ViewCommentsBtn", "View Co&mments", &TMainForm::ViewCommentsBtnClick,
                             ";", "View Comments");
    QAction* distances = view("DistancesBtn", "&Calculate Distances", &TMainForm::DistancesBtnClick,
                              "<>", "Distances between points");
    distances->setIcon(Glyph("<>", QColor(150, 60, 150)));
    QAction* dataFile = view("ViewDataFileBtn", "View &Data File", &TMainForm::ViewDataFileBtnClick,
                             "D", "View data file");
    QAction* logFile = view("ViewLogFileBtn", "View &Log File", &TMainForm::ViewLogFileBtnClick,
                            "L", "View LogFile");
    QAction* scans = view("ViewProfileScansBtn", "List Profile &Scans",
                          &TMainForm::ViewProfileScansBtnClick, "#", "Profile Scans");
    QAction* openAll = view("OpenAllPropBtn", "Open &all", &TMainForm::OpenAllPropBtnClick, "*",
                            "See all properties");
    properties->addActions({cartesian, comments, distances, dataFile, logFile, scans, openAll});

    QMenu* loops = bar->addMenu("&Loop Correction");
    QAction* correct = dataAction(
        NewAction("CorrectLoopsBtn", "&Correct Loops", &TMainForm::CorrectLoopsBtnClick));
    correct->setIcon(Glyph("O", QColor(190, 110, 20)));
    correct->setToolTip("Correct loops");
    loops->addAction(correct);
    loops->addAction(dataAction(NewAction("LeastSquaresBtn", "Least &Squares Adjustment",
                                          &TMainForm::LeastSquaresBtnClick)));
    QMenu* results = loops->addMenu("&View Results");
    results->menuAction()->setObjectName("ViewResultsItem");
    results->addAction(
        NewAction("CorrectionFitItem", "Correction fit", &TMainForm::CorrectionFitClick));
    results->addAction(NewAction("LoopFileItem", "Loop File", &TMainForm::LoopFileClick));
    results->addAction(NewAction("LoopLogFileItem", "LogFile", &TMainForm::LoopLogFileClick));
    dataMenus_ << results;
    QAction* cycles = NewAction("SetCyclesBtn", "Set C&ycles", &TMainForm::SetCyclesBtnClick);
    cycles->setIcon(Glyph("n", QColor(190, 110, 20)));
    cycles->setToolTip("Set correction cycles");
    loops->addAction(cycles);
    loops->addAction(NewAction("SetMethodItem", "Set &method"));

    QMenu* window = bar->addMenu("&Window");
    windowActions_ << NewAction("CascadeItem", "&Cascade", &TMainForm::CascadeClick)
                   << NewAction("TileItem", "&Tile", &TMainForm::TileClick)
                   << NewAction("ArrangeIconsItem", "&Arrange icons", &TMainForm::ArrangeIconsClick)
                   << NewAction("MinimizeAllItem", "&Minimize all", &TMainForm::MinimizeAllClick)
                   << NewAction("CloseAllItem", "Close all", &TMainForm::CloseAllClick);
    window->addActions(windowActions_);

    QAction* plot =
        dataAction(NewAction("PlotCaveBtn", "P&lot Cave", &TMainForm::PlotCaveBtnClick));
    // No icon on the action: the menu bar would show it instead of the caption. The tool
    // button carries the picture itself (BuildToolBars).
    plot->setToolTip("Plot Cave on Screen");
    bar->addAction(plot);

    QMenu* analysis = bar->addMenu("&Analysis");
    QAction* statistics = view("StatisticsBtn", "Show S&tatistics", &TMainForm::StatisticsBtnClick,
                               "S", "general survey statistics");
    statistics->setIcon(Glyph("S", QColor(150, 60, 150)));
    analysis->addAction(statistics);

    QMenu* tools = bar->addMenu("&Tools");
    const std::array<const char*, 4> toggleTexts = {"File / Edit Toolbar", "Properties Toolbar",
                                                    "Loop Correction Toolbar",
                                                    "Plotting/ Analysis toolbar"};
    for (std::size_t i = 0; i < toggleTexts.size(); ++i) {
        toolbarToggles_[i] = NewAction(QStringLiteral("ToolbarToggle%1").arg(i + 1), toggleTexts[i],
                                       &TMainForm::ToolbarToggleClick);
        toolbarToggles_[i]->setCheckable(true);
        tools->addAction(toolbarToggles_[i]);
    }
    tools->addSeparator();
    tools->addAction(NewAction("HideAllItem", "&Hide  All", &TMainForm::HideAllToolbarsClick));
    tools->addAction(NewAction("ShowAllItem", "Show All", &TMainForm::ShowAllToolbarsClick));

    QMenu* help = bar->addMenu("&Help");
    for (const char* text : {"&Contents", "&Index", "Co&mmands", "&Procedures", "&Keyboard",
                             "&Search for Help On...", "&Tutorial", "&How to Use Help"}) {
        QAction* a = help->addAction(text);
        a->setEnabled(false);
    }
    help->addSeparator();
    help->addAction(NewAction("AboutItem", "&About...", &TMainForm::AboutClick));

    // Items that need data are tested each time their menu opens.
    for (QMenu* menu : {file, edit, properties, loops, window, analysis, tools, help})
        connect(menu, &QMenu::aboutToShow, this, &TMainForm::UpdateCommandStates);
}

void TMainForm::BuildToolBars() {
    const std::array<QStringList, 4> buttons = {
        QStringList{"OpenFileBtn", "SaveBtn", "PrintBtn", "ExitBtn", "KvisEditBtn", "TextEditBtn"},
        QStringList{"CartesianBtn", "ViewCommentsBtn", "ViewProfileScansBtn", "ViewLogFileBtn",
                    "ViewDataFileBtn", "OpenAllPropBtn"},
        QStringList{"CorrectLoopsBtn", "SetCyclesBtn"},
        QStringList{"PlotCaveBtn", "DistancesBtn", "StatisticsBtn"}};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        auto* bar = new QToolBar(QStringLiteral("ToolBar%1").arg(i + 1), this);
        bar->setObjectName(QStringLiteral("ToolBar%1").arg(i + 1));
        bar->setIconSize(QSize(20, 20));
        for (const QString& name : buttons[i]) {
            auto* action = findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
            Q_ASSERT_X(action != nullptr, "BuildToolBars", "every button has a command");
            QWidget* button = nullptr;
            if (action->icon().isNull()) {
                auto* own = new IconToolButton(Glyph("3D", QColor(170, 30, 30)), bar);
                own->setDefaultAction(action);
                own->setIconSize(bar->iconSize());
                own->setAutoRaise(true);
                bar->addWidget(own);
                button = own;
            } else {
                bar->addAction(action);
                button = bar->widgetForAction(action);
            }
            // The button carries the program's name for it, as the menu item's action does.
            button->setObjectName(name);
        }
        addToolBar(Qt::TopToolBarArea, bar);
        ToolBars[i] = bar;
    }
}

void TMainForm::BuildClientArea() {
    auto* client = new QWidget(this);
    client->setObjectName("ClientArea");
    client->setAutoFillBackground(true);
    QPalette black = client->palette();
    black.setColor(QPalette::Window, Qt::black);
    client->setPalette(black);

    auto label = [client](const char* name, const QColor& colour, bool emphasised) {
        auto* l = new QLabel(client);
        l->setObjectName(name);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, colour);
        l->setPalette(p);
        if (emphasised) {
            QFont f = l->font();
            f.setBold(true);
            f.setItalic(true);
            l->setFont(f);
        }
        return l;
    };
    NameVersionLabel = label("NameVersionLabel", Qt::red, true);
    QFont big = NameVersionLabel->font();
    big.setPixelSize(26);
    NameVersionLabel->setFont(big);
    NameVersionLabel->setFixedHeight(44);
    DateLabel = label("DateLabel", Qt::red, false);
    UnderTextLabel = label("UnderTextLabel", Qt::yellow, true);
    UnderTextLabel->setText(
        "Reduction, loop correction, plotting and profiles of cave survey data");

    MdiArea = new QMdiArea(client);
    MdiArea->setObjectName("MdiArea");
    // The children keep the ordinary colours; only the frame's own background is black.
    QPalette ordinary = QApplication::palette();
    ordinary.setResolveMask(~QPalette::ResolveMask(0));
    MdiArea->setPalette(ordinary);
    MdiArea->setBackground(Qt::black);
    MdiArea->setFrameShape(QFrame::NoFrame);
    MdiArea->viewport()->installEventFilter(this);
    connect(MdiArea, &QMdiArea::subWindowActivated, this, &TMainForm::UpdateCommandStates);

    // The picture lies on the frame's background, under every child window.
    Image1 = new QLabel(MdiArea->viewport());
    Image1->setObjectName("Image1");
    Image1->setPixmap(QPixmap(":/kvshell/passage.png"));
    Image1->adjustSize();
    Image1->lower();

    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(6, 0, 6, 2);
    layout->setSpacing(0);
    layout->addWidget(NameVersionLabel);
    layout->addWidget(DateLabel);
    layout->addWidget(MdiArea, 1);
    layout->addWidget(UnderTextLabel);
    setCentralWidget(client);

    CorrCyclePanel = new QFrame(client);
    CorrCyclePanel->setObjectName("CorrCyclePanel");
    CorrCyclePanel->setFrameShape(QFrame::Panel);
    CorrCyclePanel->setFrameShadow(QFrame::Raised);
    CorrCyclePanel->setAutoFillBackground(true);
    // Every role set, so nothing of the black frame reaches the panel and its label.
    QPalette panelColours = QApplication::palette();
    panelColours.setResolveMask(~QPalette::ResolveMask(0));
    CorrCyclePanel->setPalette(panelColours);
    auto* panelLayout = new QHBoxLayout(CorrCyclePanel);
    panelLayout->addWidget(new QLabel("Set  correction cycles", CorrCyclePanel));
    CorrCycleSpinEdit1 = new QSpinBox(CorrCyclePanel);
    CorrCycleSpinEdit1->setObjectName("CorrCycleSpinEdit1");
    CorrCycleSpinEdit1->setRange(1, 20);
    CorrCycleSpinEdit1->setValue(1);
    panelLayout->addWidget(CorrCycleSpinEdit1);
    CorrCycleOKBtn = new QPushButton("OK", CorrCyclePanel);
    CorrCycleOKBtn->setObjectName("CorrCycleOKBtn");
    connect(CorrCycleOKBtn, &QPushButton::clicked, this, &TMainForm::CorrCycleOKBtnClick);
    panelLayout->addWidget(CorrCycleOKBtn);
    CorrCyclePanel->adjustSize();
    CorrCyclePanel->hide();
}

void TMainForm::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    const std::array<std::pair<const char*, int>, 7> initial = {{{"File", 150},
                                                                 {"NOCAVEXX", 150},
                                                                 {"DataLines", 100},
                                                                 {"Comments", 100},
                                                                 {"Instruments", 100},
                                                                 {"Profiles", 100},
                                                                 {"DD:MM:YY hh:mm:ss", 70}}};
    for (std::size_t i = 0; i < initial.size(); ++i) {
        auto* panel = new QLabel(initial[i].first, bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setMinimumWidth(initial[i].second);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        bar->addWidget(panel);
        panels_[i] = panel;
    }
    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this,
            [this] { panels_[6]->setText(QString::fromStdString(SystemClock().Now())); });
    Timer1->start();
}

void TMainForm::InitKvistrel() {
    const QString iconFile = FindProgramFile(kIconFileName);
    const QIcon icon(iconFile);
    if (iconFile.isEmpty())
        Dialogs().Warning(FileOpenError(
            kIconFileName, "No such file in the current directory or beside the program."));
    else if (icon.isNull())
        Dialogs().Warning(FileOpenError(iconFile, "It is not an icon."));
    else
        QApplication::setWindowIcon(icon); // the text views and dialogs share it
    DataLoaded = false;
    Processed = false;
    CorrectionCycles = kDefaultCorrectionCycles;
}

void TMainForm::CreateStartupWindows() {
    // The windows the main window shows on command, created hidden in this order. Each later
    // window is added here, between its neighbours, when it exists:
    FormEditor = new TFormEditor(this);
    TextEditForm1 = new TTextEditForm1(this);
    AboutForm = new TAboutForm(this);
    AttributeForm1 = new TAttributeForm1(this);
    KvisCadForm1 = new TKvisCadForm1(this);
    LineStyleForm = new TLineStyleForm(this);
    new TKvPicViewForm(this); // the photo viewer, found through KvPicViewForm()
}

void TMainForm::ShowNameAndversionlabel() {
    NameVersionLabel->setText(" K V I S T R E L   4.023   for Windows");
    DateLabel->setText(" januar 2006");
}

void TMainForm::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    ShowNameAndversionlabel();
    PlaceOverlays();
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (MdiArea != nullptr && watched == MdiArea->viewport() && event->type() == QEvent::Resize)
        PlaceOverlays();
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::PlaceOverlays() {
    if (Image1 == nullptr)
        return;
    const QRect area = MdiArea->viewport()->rect();
    Image1->move(area.center() - Image1->rect().center());
    CorrCyclePanel->move(MdiArea->geometry().topLeft() + QPoint(12, 12));
}

QString TMainForm::PanelText(int panel) const {
    return panels_.at(panel)->text();
}

void TMainForm::UpdateStatusPanel() {
    panels_[0]->setText(QFileInfo(FromFileName(CurrentFile)).fileName());
    panels_[1]->setText(DecodeWindows1252(Cave.CaveName));
    panels_[2]->setText(QStringLiteral("%1 lines").arg(Cave.LineCount));
    panels_[3]->setText(QStringLiteral("%1 comments").arg(Cave.CommentCount));
    panels_[4]->setText(QStringLiteral("%1 Instruments").arg(Cave.InstrumentCount));
    panels_[5]->setText(QStringLiteral("%1 Profile shots").arg(Cave.ScanPointCount));
    panels_[6]->setText(QString::fromStdString(SystemClock().Now()));
}

void TMainForm::UpdateCommandStates() {
    for (QAction* a : dataActions_)
        a->setEnabled(DataLoaded);
    for (QMenu* m : dataMenus_)
        m->menuAction()->setEnabled(DataLoaded);
    const bool children = MdiArea != nullptr && !MdiArea->subWindowList().isEmpty();
    for (QAction* a : windowActions_)
        a->setEnabled(children);
    for (std::size_t i = 0; i < ToolBars.size(); ++i)
        if (ToolBars[i] != nullptr)
            toolbarToggles_[i]->setChecked(!ToolBars[i]->isHidden());
}

void TMainForm::ProcessFile(const QString& fileName) {
    BusyCursor busy;
    const std::string name = ToFileName(fileName);
    const SystemClock clock;
    const TReadResult read = ReadSurveyFile(name, Cave, HeaderLine2, clock);
    if (!read.Ok) {
        DataLoaded = false;
        Processed = false;
        UpdateCommandStates();
        if (!read.Message.empty()) {
            QString text = DecodeWindows1252(read.Message);
            if (!read.Reason.empty())
                text += '\n' + DecodeWindows1252(read.Reason);
            Dialogs().Warning(text);
        }
        QString couldNot = "Could NOT read " + fileName;
        // A file that could not be opened at all gets the reason (missing, a folder, ...).
        if (read.Message.empty() && !read.Reason.empty())
            couldNot += '\n' + FromFileName(read.Reason);
        Dialogs().Warning(couldNot);
        return;
    }
    CurrentFile = name;
    UpdateStatusPanel();
    DataLoaded = true;
    // An open grid editor shows the new cave; cells typed for the old one are dropped.
    if (FormEditor != nullptr && FormEditor->isVisible())
        FormEditor->FillGrid();
    if (!read.Notices.empty())
        Dialogs().Report("Notes from reading " + fileName + ":", ToDisplay(read.Notices));

    const TProcessResult processed = ProcessCave(Cave, Summary, CurrentFile, clock);
    Processed = true;
    UpdateCommandStates();
    // One list for all unlinked shots: a survey may have hundreds of them.
    if (!processed.Connectivity.empty())
        Dialogs().Report(QStringLiteral("%1 shots of %2 could not be linked:")
                             .arg(processed.Connectivity.size())
                             .arg(QFileInfo(fileName).fileName()),
                         ToDisplay(processed.Connectivity));
    if (!processed.ListingErrors.empty())
        Dialogs().Warning(ToDisplay(processed.ListingErrors).join('\n'));
}

void TMainForm::AddRecentFile(const QString& fileName) {
    FileSep2->setVisible(true);
    for (std::size_t i = RecentFiles.size() - 1; i >= 1; --i) {
        const QAction* previous = RecentFiles[i - 1];
        RecentFiles[i]->setData(previous->data());
        RecentFiles[i]->setText(
            RecentCaption(static_cast<int>(i) + 1, previous->data().toString()));
        RecentFiles[i]->setVisible(previous->isVisible());
    }
    RecentFiles[0]->setData(fileName);
    RecentFiles[0]->setText(RecentCaption(1, fileName));
    RecentFiles[0]->setVisible(true);
}

void TMainForm::OpenNamedFile(const QString& fileName) {
    lastOpenDir_ = QFileInfo(fileName).absolutePath();
    AddRecentFile(fileName);
    ProcessFile(fileName);
}

void TMainForm::OpenFileBtnClick() {
    const QString fileName = Dialogs().OpenFileName("Open", lastOpenDir_, kOpenFilter);
    if (fileName.isEmpty())
        return;
    OpenNamedFile(fileName);
}

void TMainForm::FileName1Click() {
    const auto* item = qobject_cast<QAction*>(sender());
    if (item == nullptr || item->data().toString().isEmpty())
        return;
    ProcessFile(item->data().toString());
}

void TMainForm::SaveBtnClick() {
    if (!DataLoaded)
        return;
    const QString dir = CurrentFile.empty() ? lastOpenDir_ : FromFileName(DirectoryOf(CurrentFile));
    const QString chosen = Dialogs().SaveFileName("Save As", dir, kSaveFilter);
    if (chosen.isEmpty())
        return;
    // The file that will be overwritten is the ".grt" one, so that is the one backed up, in its
    // own folder: two caves of one name in different folders keep their own backups.
    const std::string target = ChangeExtension(ToFileName(chosen), ".grt");
    const QString targetName = FromFileName(target);
    if (FileExists(target)) {
        const QString backup = FromFileName(ChangeExtension(target, ".BAC"));
        // A copy, not a rename: the old file stays in place until the new one is complete.
        if ((QFile::exists(backup) && !QFile::remove(backup)) || !QFile::copy(targetName, backup)) {
            Dialogs().Warning("Unable to create backup file.");
            return;
        }
    }
    const TWriteResult written = WriteSurveyFile(target, Cave, HeaderLine2, SystemClock());
    if (!written.Ok) {
        Dialogs().Warning("Could NOT write " + targetName + "\n" +
                          DecodeWindows1252(written.Reason));
        return;
    }
    Dialogs().Notice(DecodeWindows1252(written.Message));
}

void TMainForm::PrintBtnClick() {}

void TMainForm::ExitBtnClick() {
    close();
}

void TMainForm::KvisEditBtnClick() {
    if (FormEditor != nullptr) {
        FormEditor->show();
        FormEditor->raise();
    }
}

void TMainForm::TextEditBtnClick() {
    if (TextEditForm1 != nullptr) {
        TextEditForm1->show();
        TextEditForm1->raise();
        TextEditForm1->activateWindow();
    }
}

TChildForm* TMainForm::CreateChild(const QString& caption) {
    auto* child = new TChildForm;
    child->setWindowTitle(caption);
    QMdiSubWindow* sub = MdiArea->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->resize(435, 300);
    sub->show();
    UpdateCommandStates();
    return child;
}

TChildForm* TMainForm::OpenOneFile(const QString& fileName, const QString& title) {
    TChildForm* child = CreateChild(QFileInfo(fileName).fileName().toLower());
    child->LoadTextTitled(fileName, title);
    return child;
}

// The views open each file under the name its writer gave it.
void TMainForm::ViewDerivedFile(const char* extension, const QString& title) {
    if (!Processed)
        return;
    OpenOneFile(FromFileName(ChangeExtension(CurrentFile, extension)), title);
}

void TMainForm::ViewDataFile() {
    if (!Processed)
        return;
    const QString name = FromFileName(CurrentFile);
    OpenOneFile(name, QFileInfo(name).fileName());
}

void TMainForm::ViewReadingLog() {
    if (!Processed)
        return;
    OpenOneFile(FromFileName(JoinPath(DirectoryOf(CurrentFile), kReadingLogName)), "LogFile");
}

void TMainForm::CartesianBtnClick() {
    ViewDerivedFile(".krt", "Cartesian data");
}
void TMainForm::ViewCommentsBtnClick() {
    ViewDerivedFile(".kom", "Comments");
}
void TMainForm::ViewProfileScansBtnClick() {
    ViewDerivedFile(".scn", "Profile Scans");
}
void TMainForm::StatisticsBtnClick() {
    ViewDerivedFile(".sta", "Statistics");
}
void TMainForm::CorrectionFitClick() {
    ViewDerivedFile(".Fix", "Loop Correction Fit");
}
void TMainForm::LoopFileClick() {
    ViewDerivedFile(".lop", "Loop File");
}
void TMainForm::LoopLogFileClick() {
    ViewDerivedFile(".Log", "Loop Correction log");
}
void TMainForm::ViewLogFileBtnClick() {
    ViewReadingLog();
}
void TMainForm::ViewDataFileBtnClick() {
    ViewDataFile();
}

void TMainForm::OpenAllPropBtnClick() {
    if (!Processed)
        return;
    CloseAllClick();
    ViewDataFile();
    ViewDerivedFile(".krt", "Cartesian data");
    ViewDerivedFile(".kom", "Comments");
    ViewDerivedFile(".scn", "Profile Scans");
    ViewDerivedFile(".sta", "Statistics");
    ViewReadingLog();
}

void TMainForm::DistancesBtnClick() {}

void TMainForm::CorrectLoopsBtnClick() {
    if (!DataLoaded || !Processed)
        return;
    BusyCursor busy;
    const TCorrectionResult result =
        CorrectLoops(Cave, LoopTable, CorrectionCycles, CurrentFile, SystemClock());
    if (!result.Ok) {
        Dialogs().Warning(DecodeWindows1252(result.Reason));
    } else {
        // A panel of its own: a status message would hide the file panels while it shows.
        auto* done = statusBar()->findChild<QLabel*>("CorrectionStatus");
        if (!done) {
            done = new QLabel(statusBar());
            done->setObjectName("CorrectionStatus");
            statusBar()->addPermanentWidget(done);
        }
        done->setText(QString::fromStdString(CorrectionSummary(result, CorrectionCycles)));
        done->setMinimumWidth(done->sizeHint().width()); // never cut by the panels beside it
    }
    // The plot windows show the corrected positions.
    RedrawPlots();
}

void TMainForm::RedrawPlots() {
    for (QMdiSubWindow* sub : MdiArea->subWindowList())
        if (auto* plot = qobject_cast<TKvisPlotForm1*>(sub->widget()))
            plot->PlottKviste();
}

void TMainForm::LeastSquaresBtnClick() {
    if (!RunLeastSquaresAdjustment(this))
        return;
    RedrawPlots();
    ViewDerivedFile(kAdjustmentReportExt, "Least Squares Adjustment");
}

void TMainForm::SetCyclesBtnClick() {
    CorrCycleSpinEdit1->setValue(CorrectionCycles);
    PlaceOverlays();
    CorrCyclePanel->show();
    CorrCyclePanel->raise();
}

void TMainForm::CorrCycleOKBtnClick() {
    CorrCycleSpinEdit1->interpretText();
    CorrectionCycles = CorrCycleSpinEdit1->value();
    CorrCyclePanel->hide();
}

void TMainForm::PlotCaveBtnClick() {
    if (!DataLoaded || !Processed)
        return;
    // Several plot windows may be open at once, each with its own view.
    QMdiSubWindow* sub = MdiArea->addSubWindow(new TKvisPlotForm1);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    TKvisPlotForm1::PlaceInFrame(sub);
    sub->show();
    TKvisPlotForm1::PlaceInFrame(sub); // the frame may have cascaded it on showing
    UpdateCommandStates();
}

void TMainForm::CascadeClick() {
    MdiArea->cascadeSubWindows();
}

void TMainForm::TileClick() {
    MdiArea->tileSubWindows();
}

// Minimised children in a row along the bottom of the frame.
void TMainForm::ArrangeIconsClick() {
    const QRect area = MdiArea->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow* sub : MdiArea->subWindowList()) {
        if (!sub->isMinimized())
            continue;
        sub->move(x, area.bottom() - sub->height() + 1);
        x += sub->width();
    }
}

void TMainForm::MinimizeAllClick() {
    const QList<QMdiSubWindow*> children = MdiArea->subWindowList();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        (*it)->showMinimized();
}

void TMainForm::CloseAllClick() {
    const QList<QMdiSubWindow*> children = MdiArea->subWindowList();
    for (auto it = children.crbegin(); it != children.crend(); ++it)
        (*it)->close();
    UpdateCommandStates();
}

void TMainForm::ToolbarToggleClick() {
    for (std::size_t i = 0; i < toolbarToggles_.size(); ++i)
        if (sender() == toolbarToggles_[i])
            ToolBars[i]->setVisible(ToolBars[i]->isHidden());
    UpdateCommandStates();
}

void TMainForm::HideAllToolbarsClick() {
    for (QToolBar* bar : ToolBars)
        bar->hide();
    UpdateCommandStates();
}

void TMainForm::ShowAllToolbarsClick() {
    for (QToolBar* bar : ToolBars)
        bar->show();
    UpdateCommandStates();
}

void TMainForm::AboutClick() {
    AboutForm->exec();
}
