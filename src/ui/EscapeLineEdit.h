// A one-line edit box that floats over a window: Enter is its own signal, Escape a callback.
#pragma once

#include <QKeyEvent>
#include <QLineEdit>

#include <functional>

class TEscapeLineEdit : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void()> OnEscape; // hides the box without a change

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape && OnEscape) {
            OnEscape();
            return;
        }
        QLineEdit::keyPressEvent(e);
    }
};
