// The main window's shortcuts give way to its child windows.
#include "shell/ChildFirstShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>

TChildFirstShortcuts::TChildFirstShortcuts(QWidget* window, QMdiArea* area)
    : QObject(window), window_(window), area_(area) {
    // Every key press first asks the focus widget whether it overrides shortcuts, before any
    // shortcut is looked up: the moment to decide which window holds the keys.
    qApp->installEventFilter(this);
}

TChildFirstShortcuts::~TChildFirstShortcuts() {
    qApp->removeEventFilter(this);
}

bool TChildFirstShortcuts::FocusInChild() const {
    if (area_.isNull())
        return false;
    for (const QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (const auto* sub = qobject_cast<const QMdiSubWindow*>(w))
            return sub->mdiArea() == area_;
        if (w->isWindow())
            return false;
    }
    return false;
}

void TChildFirstShortcuts::Yield(bool yield) {
    if (yield == yielded_)
        return;
    yielded_ = yield;
    if (yield) {
        // Taken afresh each time, so commands added to the window later are covered too.
        held_.clear();
        const QList<QAction*> actions = window_->findChildren<QAction*>(Qt::FindDirectChildrenOnly);
        for (QAction* action : actions) {
            if (action->shortcuts().isEmpty())
                continue;
            held_.push_back({action, action->shortcuts()});
            action->setShortcuts(QList<QKeySequence>{});
        }
        return;
    }
    for (const THeld& held : held_)
        if (!held.Action.isNull())
            held.Action->setShortcuts(held.Keys);
    held_.clear();
}

bool TChildFirstShortcuts::RunHeldCommand(const QKeySequence& key) {
    for (const THeld& held : held_) {
        if (held.Action.isNull() || !held.Keys.contains(key))
            continue;
        // A disabled command still owns its key, as its shortcut would.
        if (held.Action->isEnabled())
            held.Action->trigger();
        return true;
    }
    return false;
}

bool TChildFirstShortcuts::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        Yield(FocusInChild());
    } else if (event->type() == QEvent::KeyPress && yielded_ && watched == area_) {
        // The key went through the child and nobody there took it.
        auto* key = static_cast<QKeyEvent*>(event);
        if (RunHeldCommand(QKeySequence(key->keyCombination()))) {
            key->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
