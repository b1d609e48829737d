// The desktop program: the main window, optionally opening one survey file given as argument.
#include "shell/MainForm.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TMainForm form;
    form.show();
    return app.exec();
}
