// The desktop program: the main window, optionally opening one survey file given as argument.
#include "shell/MainForm.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Kvistrel");
    QApplication::setApplicationDisplayName("Kvistrel");
    TMainForm form;
    form.show();
    // A file given on the command line is opened as File > Open would, once the window shows.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1) {
        const QString fileName = arguments.at(1);
        QTimer::singleShot(0, &form, [&form, fileName] { form.OpenNamedFile(fileName); });
    }
    return app.exec();
}
