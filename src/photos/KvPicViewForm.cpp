// The photo viewer: the pictures of one station, stepped through, added and removed.
#include "photos/KvPicViewForm.h"

#include "model/FileIO.h"
#include "model/ProgramState.h"
#include "ui/UserDialogs.h"
#include "ui/WindowSupport.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>

namespace {

const char* const kCaption = "Kvistrel Image Viewer";
const char* const kEmptyName = "    Empty  ";

// Above this many pixels a picture is decoded scaled into kScaledSide: a 20000 x 20000 photo
// would otherwise need 1.6 GB. JPEG scales while decoding, in steps of 1/8.
constexpr qint64 kMaxFullPixels = 24'000'000;
constexpr int kScaledSide = 2500;

TKvPicViewForm* theViewer = nullptr;

// Warnings the image plugins print while one picture is read (a truncated JPEG only warns).
QStringList* capturedWarnings = nullptr;
QtMessageHandler previousHandler = nullptr;

void CaptureWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (capturedWarnings != nullptr && (type == QtWarningMsg || type == QtCriticalMsg)) {
        capturedWarnings->append(text);
        return;
    }
    if (previousHandler != nullptr)
        previousHandler(type, context, text);
}

QString Shown(const std::string& bytes) {
    return DecodeWindows1252(bytes);
}

// A picked file's name as the survey file stores it: Windows-1252 when it can be spelt so,
// otherwise the file system's own bytes so the file is still found.
std::string Stored(const QString& path) {
    const std::string encoded = EncodeWindows1252(path);
    return DecodeWindows1252(encoded) == path ? encoded : ToFileName(path);
}

QString DataFolder() {
    return CurrentFile.empty() ? QString() : FromFileName(DirectoryOf(CurrentFile));
}

// The file behind a stored name, tried as file-system bytes and as Windows-1252 text.
QString FindPhoto(const std::string& stored) {
    const std::string dir = CurrentFile.empty() ? std::string() : DirectoryOf(CurrentFile);
    std::string found = ResolvePhotoName(stored, dir);
    if (found.empty()) {
        const std::string asText = ToFileName(DecodeWindows1252(stored));
        if (asText != stored)
            found = ResolvePhotoName(asText, dir);
    }
    return FromFileName(found);
}

QString LoadableFilter() {
    std::vector<std::string> formats;
    for (const QByteArray& f : QImageReader::supportedImageFormats())
        formats.push_back(f.toLower().toStdString());
    return QString::fromStdString(PictureFilter(formats));
}

} // namespace

TLoadedPicture LoadPicture(const QString& path) {
    TLoadedPicture out;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QStringList warnings;
    capturedWarnings = &warnings;
    previousHandler = qInstallMessageHandler(CaptureWarning);
    QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxFullPixels)
        reader.setScaledSize(size.scaled(kScaledSide, kScaledSide, Qt::KeepAspectRatio));
    out.Image = reader.read();
    qInstallMessageHandler(previousHandler);
    capturedWarnings = nullptr;
    if (out.Image.isNull()) {
        out.Reason = warnings.isEmpty() ? reader.errorString() : warnings.join(' ');
        return out;
    }
    if (!size.isValid())
        size = out.Image.size();
    else if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    out.FullSize = size;
    out.Reason = warnings.join(' ');
    return out;
}

TBitImage::TBitImage(QWidget* parent) : QWidget(parent) {
    setObjectName("BitImage");
}

void TBitImage::SetPicture(const QImage& image) {
    picture_ = image;
    SetFullSize(fullSize_);
    update();
}

void TBitImage::SetFullSize(bool full) {
    fullSize_ = full;
    if (full)
        setFixedSize(picture_.isNull() ? QSize(1, 1) : picture_.size());
    else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    update();
}

void TBitImage::paintEvent(QPaintEvent*) {
    if (picture_.isNull())
        return;
    QSize size = picture_.size();
    if (!fullSize_ && (size.width() > width() || size.height() > height()))
        size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
}

TKvPicViewForm::TKvPicViewForm(QWidget* parent) : QMainWindow(parent) {
    setObjectName("KvPicViewForm");
    setWindowTitle(kCaption);
    resize(640, 520);
    if (theViewer == nullptr)
        theViewer = this;

    QMenuBar* bar = menuBar();
    File1 = bar->addMenu("&File");
    File1->setObjectName("File1");
    File1->addAction(NewAction("NewImage1", "&New Image", &TKvPicViewForm::NewImage1Click));
    File1->addAction(
        NewAction("RemoveImage1", "&Remove Image", &TKvPicViewForm::RemoveImage1Click));
    File1->addSeparator();
    File1->addAction(NewAction("Exit1", "E&xit", &TKvPicViewForm::Exit1Click));
    connect(File1, &QMenu::aboutToShow, this, &TKvPicViewForm::ComboBox1Escape);
    QMenu* view = bar->addMenu("&View");
    view->setObjectName("View1");
    QAction* fit = NewAction("FittoWindow1", "&Fit to Window", &TKvPicViewForm::ScrollBtnClick);
    QAction* scroll = NewAction("Scroll1", "Scroll", &TKvPicViewForm::FitButnClick);
    view->addAction(fit);
    view->addAction(scroll);
    bar->addAction(NewAction("Images1", "&Images", &TKvPicViewForm::Images1Click));

    ToolBar1 = addToolBar("ToolBar1");
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setMovable(false);
    auto tool = [this](const char* name, const QString& text, const QString& hint) {
        auto* action = new QAction(text, this);
        action->setToolTip(hint);
        ToolBar1->addAction(action);
        ToolBar1->widgetForAction(action)->setObjectName(name);
        return action;
    };
    connect(tool("FirstBtn", "<<", "First picture"), &QAction::triggered, this,
            &TKvPicViewForm::FirstBtnClick);
    connect(tool("NextBtn", ">", "previous"), &QAction::triggered, this,
            &TKvPicViewForm::NextBtnClick);
    connect(tool("PrevBtn", "<", "next"), &QAction::triggered, this, &TKvPicViewForm::PrevBtnClick);
    connect(tool("LastBtn", ">>", "last picture"), &QAction::triggered, this,
            &TKvPicViewForm::LastBtnClick);
    ToolBar1->addSeparator();
    // The view buttons share the menu items' commands.
    scroll->setIcon(style()->standardIcon(QStyle::SP_TitleBarMaxButton));
    scroll->setToolTip("Maximize picture");
    ToolBar1->addAction(scroll);
    ToolBar1->widgetForAction(scroll)->setObjectName("FitButn");
    fit->setIcon(style()->standardIcon(QStyle::SP_TitleBarNormalButton));
    fit->setToolTip("Fit Image to window");
    ToolBar1->addAction(fit);
    ToolBar1->widgetForAction(fit)->setObjectName("ScrollBtn");
    ToolBar1->addSeparator();

    ComboBox1 = new QComboBox(this);
    ComboBox1->setObjectName("ComboBox1");
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setMaxVisibleItems(15);
    ComboBox1->setMinimumContentsLength(24);
    QFont courier("Courier");
    courier.setStyleHint(QFont::TypeWriter);
    ComboBox1->setFont(courier);
    ComboBox1->lineEdit()->setReadOnly(true);
    ComboBox1->installEventFilter(this);
    ComboBox1->lineEdit()->installEventFilter(this);
    connect(ComboBox1, &QComboBox::activated, this, &TKvPicViewForm::ComboBox1Select);
    QAction* comboAction = ToolBar1->addWidget(ComboBox1);
    comboAction->setObjectName("ComboBox1Action");
    comboAction->setVisible(false);
    ComboBox2 = new QComboBox(this);
    ComboBox2->setObjectName("ComboBox2");
    ComboBox2->hide();

    ScrollBox1 = new QScrollArea(this);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setAlignment(Qt::AlignCenter);
    ScrollBox1->setWidgetResizable(true);
    BitImage = new TBitImage(ScrollBox1);
    ScrollBox1->setWidget(BitImage);
    BitImage->hide();
    setCentralWidget(ScrollBox1);

    StatusPanel = new QLabel("Filename", this);
    StatusPanel->setObjectName("StatusPanel0");
    StatusPanel->setMinimumWidth(400);
    statusBar()->setObjectName("StatusBar1");
    statusBar()->addWidget(StatusPanel, 1);
}

TKvPicViewForm::~TKvPicViewForm() {
    if (theViewer == this)
        theViewer = nullptr;
}

QAction* TKvPicViewForm::NewAction(const char* name, const QString& text,
                                   void (TKvPicViewForm::*handler)()) {
    auto* a = new QAction(text, this);
    a->setObjectName(name);
    connect(a, &QAction::triggered, this, handler);
    return a;
}

void TKvPicViewForm::FillCombos() {
    ComboBox1->clear();
    ComboBox2->clear();
    for (std::size_t i = 0; i < Lists.Count(); ++i) {
        ComboBox2->addItem(Shown(Lists.Full(i)));
        ComboBox1->addItem(Shown(Lists.Name(i)));
    }
}

void TKvPicViewForm::ClearPicture() {
    BitImage->SetPicture(QImage());
    BitImage->hide();
    picShown_ = false;
    setWindowTitle(kCaption);
}

void TKvPicViewForm::SetUpPhotos(int station) {
    // Switching stations must not drop changes the user has not been asked about.
    if (picsAdded_ || picsRemoved_)
        OfferSave();
    PicStation = station;
    Lists.Clear();
    picShown_ = picsAdded_ = picsRemoved_ = false;
    CurPic = 0;
    ClearPicture();
    picSize_ = QSize(0, 0);
    PicName = kEmptyName;
    picStationName_ = str4();
    const bool valid = station >= 0 && station < static_cast<int>(Cave.Lines.size());
    if (valid) {
        const Tdatalinje& line = Cave.Lines[static_cast<std::size_t>(station)];
        picStationName_ = line.ToName;
        if (line.HasPhotos)
            Lists.Load(line.Photos, line.PhotoCount);
    }
    FillCombos();
    ComboBox1->setEditText(QString());
    UpdateStatusbar();
    if (Lists.Count() > 0) {
        DialogFileName = Lists.Full(0);
        GetIt();
    }
}

bool TKvPicViewForm::GetIt() {
    const QString path = FindPhoto(DialogFileName);
    if (path.isEmpty()) {
        Dialogs().Notice(Shown(DialogFileName) + " not found");
        return false;
    }
    const TLoadedPicture picture = LoadPicture(path);
    if (picture.Image.isNull()) {
        Dialogs().Notice(path + ": " + picture.Reason);
        return false;
    }
    BitImage->SetPicture(picture.Image);
    BitImage->show();
    setWindowTitle(path);
    PicName = Shown(PhotoFileNamePart(DialogFileName));
    picSize_ = picture.FullSize;
    picShown_ = true;
    UpdateStatusbar();
    // A picture that is damaged part of the way is shown as far as it goes, with the reason.
    if (!picture.Reason.isEmpty())
        Dialogs().Notice(path + ": " + picture.Reason);
    return true;
}

void TKvPicViewForm::UpdatePictList() {
    CurPic = static_cast<int>(Lists.Add(DialogFileName));
    FillCombos();
}

void TKvPicViewForm::UpdateStatusbar() {
    std::int32_t count = 0;
    str4 name;
    if (PicStation >= 0 && PicStation < static_cast<int>(Cave.Lines.size())) {
        const Tdatalinje& line = Cave.Lines[static_cast<std::size_t>(PicStation)];
        count = line.PhotoCount;
        name = line.ToName;
    }
    const std::string text =
        PicStatusText(EncodeWindows1252(PicName), picSize_.width(), picSize_.height(), count, name);
    StatusPanel->setText(Shown(text));
}

void TKvPicViewForm::ShowEntry(int index) {
    if (index < 0 || index >= static_cast<int>(Lists.Count()))
        return;
    CurPic = index;
    DialogFileName = Lists.Full(static_cast<std::size_t>(index));
    GetIt();
}

void TKvPicViewForm::Step(TPicStep step) {
    ShowEntry(StepPicture(CurPic, static_cast<std::int32_t>(Lists.Count()), step));
}

void TKvPicViewForm::FirstBtnClick() {
    Step(TPicStep::First);
}
void TKvPicViewForm::NextBtnClick() {
    Step(TPicStep::Previous);
}
void TKvPicViewForm::PrevBtnClick() {
    Step(TPicStep::Next);
}
void TKvPicViewForm::LastBtnClick() {
    Step(TPicStep::Last);
}

void TKvPicViewForm::FitButnClick() {
    ScrollBox1->setWidgetResizable(false);
    BitImage->SetFullSize(true);
}

void TKvPicViewForm::ScrollBtnClick() {
    BitImage->SetFullSize(false);
    ScrollBox1->setWidgetResizable(true);
}

void TKvPicViewForm::Images1Click() {
    ToolBar1->findChild<QAction*>("ComboBox1Action")->setVisible(true);
    ComboBox1->setEditText("   Select below");
    ComboBox1->setFocus();
}

void TKvPicViewForm::ComboBox1Select(int index) {
    if (index < 0 || index >= static_cast<int>(Lists.Count()))
        return;
    CurPic = index;
    DialogFileName = Lists.Full(static_cast<std::size_t>(index));
    if (GetIt())
        ComboBox1Escape();
}

void TKvPicViewForm::ComboBox1Escape() {
    ToolBar1->findChild<QAction*>("ComboBox1Action")->setVisible(false);
}

bool TKvPicViewForm::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == ComboBox1 || watched == ComboBox1->lineEdit()) &&
        event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ComboBox1Select(ComboBox1->currentIndex());
            return true;
        }
        if (key == Qt::Key_Escape) {
            ComboBox1Escape();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TKvPicViewForm::NewImage1Click() {
    const QString picked = Dialogs().OpenFileName("Open picture", DataFolder(), LoadableFilter());
    if (picked.isEmpty())
        return;
    DialogFileName = Stored(picked);
    if (!GetIt())
        return;
    picsAdded_ = true;
    UpdatePictList();
}

void TKvPicViewForm::RemoveImage1Click() {
    // Only the picture on screen can be removed: after a removal nothing is shown.
    if (!picShown_ || CurPic < 0 || CurPic >= static_cast<int>(Lists.Count()))
        return;
    Lists.Remove(static_cast<std::size_t>(CurPic));
    FillCombos();
    ClearPicture();
    PicName = kEmptyName;
    UpdateStatusbar();
    picsRemoved_ = true;
}

void TKvPicViewForm::Exit1Click() {
    close();
}

bool TKvPicViewForm::OfferSave() {
    if (!Dialogs().YesNo("New pictures loaded or deleted, SaveToCave?"))
        return false;
    // The survey may have been read again while the viewer was open.
    if (PicStation < 0 || PicStation >= static_cast<int>(Cave.Lines.size()) ||
        Cave.Lines[static_cast<std::size_t>(PicStation)].ToName != picStationName_) {
        Dialogs().Warning("The survey has changed: the photo list of station " +
                          Shown(picStationName_.str()) + " was not stored.");
        return false;
    }
    StorePhotos(Cave.Lines[static_cast<std::size_t>(PicStation)], Lists.FullNames());
    picsAdded_ = picsRemoved_ = false;
    UpdateStatusbar();
    emit PhotosStored(PicStation);
    return true;
}

void TKvPicViewForm::closeEvent(QCloseEvent* event) {
    if (picsAdded_ || picsRemoved_)
        OfferSave();
    // Answered either way: the next station starts without pending changes.
    picsAdded_ = picsRemoved_ = false;
    QMainWindow::closeEvent(event);
}

void TKvPicViewForm::showEvent(QShowEvent* event) {
    picsAdded_ = false;
    QMainWindow::showEvent(event);
}

TKvPicViewForm* KvPicViewForm() {
    return theViewer;
}

TKvPicViewForm* ShowStationPhotos(QWidget* owner, int line) {
    TKvPicViewForm* viewer = theViewer != nullptr ? theViewer : new TKvPicViewForm(owner);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    viewer->SetUpPhotos(PhotoLineOf(Cave, line));
    return viewer;
}
