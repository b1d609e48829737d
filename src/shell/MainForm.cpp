// The main window of the desktop program.
#include "shell/MainForm.h"

#include <QLabel>

TMainForm::TMainForm(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Kvistrel");
    setCentralWidget(new QLabel("No survey data loaded", this));
    resize(900, 600);
}
