// Every question the windows put to the user, behind one interface so tests can answer them.
#pragma once

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

class UserDialogs {
public:
    enum class Answer { Yes, No, Cancel };

    virtual ~UserDialogs() = default;
    virtual void Notice(const QString& text) = 0;  // information with an OK button
    virtual void Warning(const QString& text) = 0; // an error or warning with an OK button
    // A long list of messages in one scrollable box (one line each).
    virtual void Report(const QString& text, const QStringList& lines) = 0;
    virtual bool YesNo(const QString& text, bool warning = false) = 0;
    virtual Answer YesNoCancel(const QString& text) = 0;
    virtual std::optional<QString> TextInput(const QString& caption, const QString& prompt,
                                             const QString& initial) = 0;
    // Empty when cancelled. filter uses Qt's "Name (*.ext);;..." form.
    virtual QString OpenFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString SaveFileName(const QString& caption, const QString& dir,
                                 const QString& filter) = 0;
    virtual std::optional<QColor> Colour(const QColor& initial) = 0;
    virtual std::optional<QFont> Font(const QFont& initial) = 0;
    virtual void Beep() = 0;
};

// The dialogs in force: the Qt ones unless a test installed others.
UserDialogs& Dialogs();
// nullptr restores the Qt dialogs. The caller keeps ownership.
void SetDialogs(UserDialogs* dialogs);

// Modal Qt boxes parented to the active window.
class QtUserDialogs : public UserDialogs {
public:
    void Notice(const QString& text) override;
    void Warning(const QString& text) override;
    void Report(const QString& text, const QStringList& lines) override;
    bool YesNo(const QString& text, bool warning = false) override;
    Answer YesNoCancel(const QString& text) override;
    std::optional<QString> TextInput(const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    QString OpenFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    std::optional<QColor> Colour(const QColor& initial) override;
    std::optional<QFont> Font(const QFont& initial) override;
    void Beep() override;
};

// Answers from queues filled beforehand and records every question, so no test blocks on a box.
// An empty queue answers No, Cancel or nothing.
class ScriptedDialogs : public UserDialogs {
public:
    struct Question {
        QString Kind; // "Notice", "Warning", "Report", "YesNo", "YesNoCancel", "TextInput",
                      // "OpenFileName", "SaveFileName", "Colour", "Font", "Beep"
        QString Text;
        QStringList Lines; // of a report
    };

    QList<QString> FileNames; // for OpenFileName and SaveFileName; "" cancels
    QList<bool> YesNoAnswers;
    QList<Answer> YesNoCancelAnswers;
    QList<std::optional<QString>> TextAnswers;
    QList<std::optional<QColor>> ColourAnswers;
    QList<std::optional<QFont>> FontAnswers;
    QList<Question> Asked;

    // Texts of the questions of one kind, in order.
    QStringList TextsOf(const QString& kind) const;
    void Clear() { Asked.clear(); }

    void Notice(const QString& text) override;
    void Warning(const QString& text) override;
    void Report(const QString& text, const QStringList& lines) override;
    bool YesNo(const QString& text, bool warning = false) override;
    Answer YesNoCancel(const QString& text) override;
    std::optional<QString> TextInput(const QString& caption, const QString& prompt,
                                     const QString& initial) override;
    QString OpenFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    QString SaveFileName(const QString& caption, const QString& dir,
                         const QString& filter) override;
    std::optional<QColor> Colour(const QColor& initial) override;
    std::optional<QFont> Font(const QFont& initial) override;
    void Beep() override;
};
