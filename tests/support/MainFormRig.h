// A main window for window tests: a temporary directory of its own as the current directory,
// every question answered by a script.
#pragma once

#include "support/WindowTestSupport.h"

#include "shell/MainForm.h"
#include "ui/UserDialogs.h"

#include <QTemporaryDir>

#include <memory>

struct TMainFormRig {
    std::unique_ptr<QTemporaryDir> Dir;
    std::unique_ptr<CurrentDirectory> Cwd;
    ScriptedDialogs Dialogs;
    std::unique_ptr<TMainForm> Form;

    // False when no temporary directory could be made. The start-up questions are forgotten,
    // so a test sees only its own.
    bool Start() {
        Dir = std::make_unique<QTemporaryDir>();
        if (!Dir->isValid())
            return false;
        Cwd = std::make_unique<CurrentDirectory>(Dir->path());
        Dialogs = ScriptedDialogs();
        SetDialogs(&Dialogs);
        Form = std::make_unique<TMainForm>();
        Dialogs.Clear();
        return true;
    }
    void Stop() {
        Form.reset();
        SetDialogs(nullptr);
        Cwd.reset();
        Dir.reset();
    }
    QString Path(const QString& name) const { return Dir->filePath(name); }
};
