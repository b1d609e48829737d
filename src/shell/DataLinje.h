// The text editor's line-edit window: one data line in nine fields, checked while typed, and
// the comment panel shown instead for lines that are not shots.
#pragma once

#include "model/CaveModel.h"
#include "shell/TextEditLogic.h"

#include <QWidget>

#include <array>
#include <string>

class QGroupBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// The text editor's switches, all off at start.
struct TEditSwitches {
    bool EditWindowOn = false;
    bool AutoNext = false;
    bool AutoPrefix = false;
    std::string Prefix; // at most 2 characters
};

class TDataLinje : public QWidget {
    Q_OBJECT
public:
    TDataLinje(const TEditSwitches& switches, QWidget* parent = nullptr);

    // Fields from a split data line, with the instrument in force.
    void ShowDataLine(const TSplitDataLine& split, const std::array<std::string, 3>& instrument);
    // A line that is not a shot, whole.
    void ShowComment(const QString& line);
    bool ShowingComment() const;

    // What leaving a field does: tag 0, 1 names, 2 .. 8 readings.
    void CommitField(int tag);
    // Reads every reading field into EditLine; false with the field's message when one does
    // not hold a number, so no line is written with a reading left over from another line.
    bool CommitReadings(QString& problem);
    // After "OK" with AutoNext: the next shot starts where this one ended.
    void StartNextLine();

    Tdatalinje EditLine;

    QGroupBox* GroupBox1 = nullptr;
    std::array<QLineEdit*, 9> Edits{}; // Edit1 .. Edit9, tags 0 .. 8
    QPushButton* DataOKButton1 = nullptr;
    QPushButton* InsertBtn = nullptr;
    QPushButton* Button2 = nullptr; // previous line
    QPushButton* Button1 = nullptr; // next line
    QLabel* Label14 = nullptr;      // compass circle
    QLabel* Label15 = nullptr;      // clino circle
    QLabel* Label16 = nullptr;      // length scale
    QFrame* CommentPanel = nullptr;
    QLineEdit* CommentEdit = nullptr;
    QPushButton* Button4 = nullptr; // previous line
    QPushButton* Button3 = nullptr; // next line

signals:
    void OkClicked();
    void ByttClicked();
    void UpClicked();
    void DownClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void NameEdited(int tag);
    void ReadingChanged(int tag);
    int TagOf(QObject* edit) const;

    const TEditSwitches& switches_;
    bool settingText_ = false;
};

// The colours of a field that looks right and one that does not.
void SetFieldColour(QLineEdit* edit, bool red);
