// The read-only text view in which the main window shows listings, logs and data files.
#pragma once

#include <QWidget>

class TTextLinesView;

class TChildForm : public QWidget {
    Q_OBJECT
public:
    explicit TChildForm(QWidget* parent = nullptr);

    // Each returns false, after showing the file error, when the file could not be read; the
    // view then keeps its previous text and caption.
    // The caption becomes the lower-cased file-name part of fileName.
    virtual bool LoadText(const QString& fileName);
    virtual bool LoadTextTitled(const QString& fileName, const QString& title);
    // Only announces the name; the views are read-only and write nothing.
    virtual void SaveText(const QString& fileName);

    // Read-only: the file is read once and only the lines in view are laid out.
    TTextLinesView* Memo1 = nullptr;

private:
    bool LoadFile(const QString& fileName);
};
