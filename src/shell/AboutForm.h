// The About box with its credits panel.
#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(QWidget* parent = nullptr);

    void CreditButtonClick();

    QFrame* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version1 = nullptr;
    QLabel* Copyright = nullptr;
    QLabel* Comments = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CreditButton = nullptr;
    QFrame* CreditsPanel = nullptr;
    QPlainTextEdit* CreditMemo1 = nullptr;

protected:
    // Every showing starts without the credits.
    void hideEvent(QHideEvent* event) override;
};

inline constexpr const char* kCreditsFileName = "kviscredits4.txt";
