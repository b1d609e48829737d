// The main window's shortcuts give way to its child windows.
#include "shell/ChildFirstShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>

#include <set>

namespace {

// The title without the marker of its mnemonic; a literal "&&" stays.
QString WithoutMnemonic(QString text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        text.remove(i, 1);
        break;
    }
    return text;
}

} // namespace

TChildFirstShortcuts::TChildFirstShortcuts(QWidget* window, QMdiArea* area)
    : QObject(window), window_(window),
      menuBar_(window->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)), area_(area) {
    // Every key press first asks the focus widget whether it overrides shortcuts, before any
    // shortcut is looked up: the moment to decide which window holds the keys.
    qApp->installEventFilter(this);
    // Also when the focus moves without a key, so menus show the keys that hold just now.
    connect(qApp, &QApplication::focusChanged, this, [this] { YieldTo(FocusedChild()); });
}

TChildFirstShortcuts::~TChildFirstShortcuts() {
    qApp->removeEventFilter(this);
}

QMdiSubWindow* TChildFirstShortcuts::FocusedChild() const {
    if (area_.isNull())
        return nullptr;
    for (QWidget* w = QApplication::focusWidget(); w != nullptr; w = w->parentWidget()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w))
            return sub->mdiArea() == area_ ? sub : nullptr;
        if (w->isWindow())
            return nullptr;
    }
    return nullptr;
}

void TChildFirstShortcuts::YieldTo(QMdiSubWindow* child) {
    if (child == child_)
        return;
    Restore();
    child_ = child;
    if (child == nullptr)
        return;
    // Taken afresh each time, so commands added to the window later are covered too.
    const QList<QAction*> actions = window_->findChildren<QAction*>(Qt::FindDirectChildrenOnly);
    for (QAction* action : actions) {
        if (action->shortcuts().isEmpty())
            continue;
        held_.push_back({action, action->shortcuts()});
        action->setShortcuts(QList<QKeySequence>{});
    }
    if (menuBar_ == nullptr)
        return;
    std::set<QKeySequence> childAltKeys;
    for (const QMenuBar* bar : child->findChildren<QMenuBar*>())
        for (const QAction* action : bar->actions())
            childAltKeys.insert(QKeySequence::mnemonic(action->text()));
    childAltKeys.erase(QKeySequence());
    for (QAction* title : menuBar_->actions()) {
        if (!childAltKeys.contains(QKeySequence::mnemonic(title->text())))
            continue;
        titles_.push_back({title, title->text()});
        title->setText(WithoutMnemonic(title->text()));
    }
}

void TChildFirstShortcuts::Restore() {
    for (const THeld& held : held_)
        if (!held.Action.isNull())
            held.Action->setShortcuts(held.Keys);
    held_.clear();
    for (const TTitle& title : titles_)
        if (!title.Action.isNull())
            title.Action->setText(title.Text);
    titles_.clear();
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
        YieldTo(FocusedChild());
    } else if (event->type() == QEvent::KeyPress && !child_.isNull() && watched == area_) {
        // The key went through the child and nobody there took it.
        auto* key = static_cast<QKeyEvent*>(event);
        if (RunHeldCommand(QKeySequence(key->keyCombination()))) {
            key->accept();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
