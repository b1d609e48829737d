// The desktop program: the main window, optionally opening one survey file given as argument.
#include "shell/MainForm.h"

#include <QApplication>
#include <QStringList>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    int status = 0;
    {
        QApplication app(argc, argv);
        QApplication::setApplicationName("Kvistrel");
        QApplication::setApplicationDisplayName("Kvistrel");
        TMainForm form;
        form.show();
        // A file given on the command line is opened as File > Open would, once the window
        // shows.
        const QStringList arguments = QApplication::arguments();
        if (arguments.size() > 1) {
            const QString fileName = arguments.at(1);
            QTimer::singleShot(0, &form, [&form, fileName] { form.OpenNamedFile(fileName); });
        }
        status = app.exec();
        // The windows and the application close here, so text on the clipboard is handed over
        // to the desktop.
    }
    // Every file the program writes is closed when its command ends. What remains is the cave
    // model, millions of small blocks for a large survey, which the system takes back at once:
    // freeing them one by one would only keep the finished program alive.
    std::fflush(nullptr);
    std::_Exit(status);
}
