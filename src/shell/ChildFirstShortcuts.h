// The main window's shortcuts give way to its child windows. While the focus is inside a child
// of the frame, the main window's keys are withdrawn, so the child's own shortcuts and key
// handling see every key first and no key is claimed twice; a key the child leaves alone comes
// back up through the frame and runs the main window's command. A menu title of the main window
// whose Alt key the child's own menu bar also uses loses its mnemonic meanwhile.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenuBar;
class QWidget;

class TChildFirstShortcuts : public QObject {
public:
    // The shortcuts of the window's own actions (its direct children) are managed.
    TChildFirstShortcuts(QWidget* window, QMdiArea* area);
    ~TChildFirstShortcuts() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct THeld {
        QPointer<QAction> Action;
        QList<QKeySequence> Keys;
    };
    struct TTitle {
        QPointer<QAction> Action;
        QString Text;
    };
    QMdiSubWindow* FocusedChild() const;
    void YieldTo(QMdiSubWindow* child);
    void Restore();
    bool RunHeldCommand(const QKeySequence& key);

    QWidget* window_;
    QMenuBar* menuBar_;
    QPointer<QMdiArea> area_;
    QPointer<QMdiSubWindow> child_; // the child that holds the keys, if any
    std::vector<THeld> held_;
    std::vector<TTitle> titles_;
};
