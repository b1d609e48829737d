// The main window's shortcuts give way to its child windows. While the focus is inside a child
// of the frame, the main window's keys are withdrawn, so the child's own shortcuts and key
// handling see every key first and no key is claimed twice; a key the child leaves alone comes
// back up through the frame and runs the main window's command.
#pragma once

#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QPointer>

#include <vector>

class QAction;
class QMdiArea;
class QWidget;

class TChildFirstShortcuts : public QObject {
public:
    // The shortcuts of the window's own actions (its direct children) are managed.
    TChildFirstShortcuts(QWidget* window, QMdiArea* area);
    ~TChildFirstShortcuts() override;

    // Whether the main window's keys are withdrawn just now.
    bool Yielded() const { return yielded_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct THeld {
        QPointer<QAction> Action;
        QList<QKeySequence> Keys;
    };
    bool FocusInChild() const;
    void Yield(bool yield);
    bool RunHeldCommand(const QKeySequence& key);

    QWidget* window_;
    QPointer<QMdiArea> area_;
    std::vector<THeld> held_;
    bool yielded_ = false;
};
