// The photo viewer: the pictures of one station, stepped through, added and removed.
#pragma once

#include "photos/PhotoList.h"

#include <QImage>
#include <QMainWindow>

#include <string>

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QScrollArea;
class QToolBar;

// The picture: shrunk proportionally into the window and centred, or at its own size inside the
// scroll box.
class TBitImage : public QWidget {
public:
    explicit TBitImage(QWidget* parent);
    void SetPicture(const QImage& image);
    const QImage& Picture() const { return picture_; }
    void SetFullSize(bool full);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    bool fullSize_ = false;
};

// A picture read from disk, decoded no larger than memory allows.
struct TLoadedPicture {
    QImage Image;   // null when the file could not be read
    QSize FullSize; // the picture's own size, which may exceed Image's
    QString Reason; // why it could not be read, or what the loader warned of
};
TLoadedPicture LoadPicture(const QString& path);

class TKvPicViewForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TKvPicViewForm(QWidget* parent = nullptr);
    ~TKvPicViewForm() override;

    void SetUpPhotos(int station);
    // Shows the picture named by DialogFileName; false (with a message) when it cannot.
    bool GetIt();
    void UpdatePictList();
    void UpdateStatusbar();

    void FirstBtnClick();
    void NextBtnClick(); // one picture back
    void PrevBtnClick(); // one picture on
    void LastBtnClick();
    void FitButnClick();   // full size with scroll bars
    void ScrollBtnClick(); // shrunk into the window
    void Images1Click();
    void ComboBox1Select(int index);
    void ComboBox1Escape();
    void NewImage1Click();
    void RemoveImage1Click();
    void Exit1Click();

    // The photo name the next GetIt shows, as the survey file stores it (Windows-1252).
    std::string DialogFileName;
    int PicStation = 0;
    int CurPic = 0;
    QString PicName;
    TPhotoLists Lists; // what ComboBox2 and ComboBox1 show
    bool PicShown() const { return picShown_; }
    bool PicsAdded() const { return picsAdded_; }
    bool PicsRemoved() const { return picsRemoved_; }

    QToolBar* ToolBar1 = nullptr;
    QComboBox* ComboBox1 = nullptr; // file names, shown while choosing
    QComboBox* ComboBox2 = nullptr; // full names, never shown
    QScrollArea* ScrollBox1 = nullptr;
    TBitImage* BitImage = nullptr;
    QLabel* StatusPanel = nullptr;
    QMenu* File1 = nullptr;

signals:
    // The photo list of a line was stored into the model.
    void PhotosStored(int line);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* NewAction(const char* name, const QString& text, void (TKvPicViewForm::*handler)());
    void Step(TPicStep step);
    void ShowEntry(int index);
    void FillCombos();
    void ClearPicture();
    // The close question; true when the lists went to the model.
    bool OfferSave();

    bool picShown_ = false;
    bool picsAdded_ = false;
    bool picsRemoved_ = false;
    QSize picSize_;
    str4 picStationName_;
};

// The viewer created at start-up, or null.
TKvPicViewForm* KvPicViewForm();
// Shows the viewer set up for the station of a line (PhotoLineOf), creating one owned by owner when
// the program has none.
TKvPicViewForm* ShowStationPhotos(QWidget* owner, int line);
