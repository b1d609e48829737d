// Every question the windows put to the user, behind one interface so tests can answer them.
#include "ui/UserDialogs.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace {

QtUserDialogs& QtDialogs() {
    static QtUserDialogs dialogs;
    return dialogs;
}

UserDialogs* installed = nullptr;

QWidget* Owner() {
    return QApplication::activeWindow();
}

QString Caption() {
    return QApplication::applicationDisplayName();
}

} // namespace

UserDialogs& Dialogs() {
    return installed != nullptr ? *installed : QtDialogs();
}

void SetDialogs(UserDialogs* dialogs) {
    installed = dialogs;
}

void QtUserDialogs::Notice(const QString& text) {
    QMessageBox::information(Owner(), Caption(), text);
}

void QtUserDialogs::Warning(const QString& text) {
    QMessageBox::warning(Owner(), Caption(), text);
}

void QtUserDialogs::Report(const QString& text, const QStringList& lines) {
    QDialog box(Owner());
    box.setWindowTitle(Caption());
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(new QLabel(text, &box));
    auto* list = new QPlainTextEdit(&box);
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(lines.join('\n'));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    box.resize(560, 320);
    box.exec();
}

bool QtUserDialogs::YesNo(const QString& text, bool warning) {
    const auto answer =
        warning
            ? QMessageBox::warning(Owner(), Caption(), text, QMessageBox::Yes | QMessageBox::No)
            : QMessageBox::question(Owner(), Caption(), text, QMessageBox::Yes | QMessageBox::No);
    return answer == QMessageBox::Yes;
}

UserDialogs::Answer QtUserDialogs::YesNoCancel(const QString& text) {
    const auto answer = QMessageBox::question(
        Owner(), Caption(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes)
        return Answer::Yes;
    if (answer == QMessageBox::No)
        return Answer::No;
    return Answer::Cancel;
}

std::optional<QString> QtUserDialogs::TextInput(const QString& caption, const QString& prompt,
                                                const QString& initial) {
    bool ok = false;
    QString text = QInputDialog::getText(Owner(), caption, prompt, QLineEdit::Normal, initial, &ok);
    if (!ok)
        return std::nullopt;
    return text;
}

QString QtUserDialogs::OpenFileName(const QString& caption, const QString& dir,
                                    const QString& filter) {
    return QFileDialog::getOpenFileName(Owner(), caption, dir, filter);
}

QString QtUserDialogs::SaveFileName(const QString& caption, const QString& dir,
                                    const QString& filter) {
    return QFileDialog::getSaveFileName(Owner(), caption, dir, filter);
}

std::optional<QColor> QtUserDialogs::Colour(const QColor& initial) {
    const QColor colour = QColorDialog::getColor(initial, Owner());
    if (!colour.isValid())
        return std::nullopt;
    return colour;
}

std::optional<QFont> QtUserDialogs::Font(const QFont& initial) {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, Owner());
    if (!ok)
        return std::nullopt;
    return font;
}

// Qt has no tone generator; the system bell stands in for the 400 Hz beep.
void QtUserDialogs::Beep() {
    QApplication::beep();
}

QStringList ScriptedDialogs::TextsOf(const QString& kind) const {
    QStringList texts;
    for (const Question& q : Asked)
        if (q.Kind == kind)
            texts << q.Text;
    return texts;
}

void ScriptedDialogs::Notice(const QString& text) {
    Asked.append({"Notice", text, {}});
}

void ScriptedDialogs::Warning(const QString& text) {
    Asked.append({"Warning", text, {}});
}

void ScriptedDialogs::Report(const QString& text, const QStringList& lines) {
    Asked.append({"Report", text, lines});
}

bool ScriptedDialogs::YesNo(const QString& text, bool /*warning*/) {
    Asked.append({"YesNo", text, {}});
    return YesNoAnswers.isEmpty() ? false : YesNoAnswers.takeFirst();
}

UserDialogs::Answer ScriptedDialogs::YesNoCancel(const QString& text) {
    Asked.append({"YesNoCancel", text, {}});
    return YesNoCancelAnswers.isEmpty() ? Answer::Cancel : YesNoCancelAnswers.takeFirst();
}

std::optional<QString> ScriptedDialogs::TextInput(const QString& /*caption*/, const QString& prompt,
                                                  const QString& initial) {
    Asked.append({"TextInput", prompt, {initial}});
    return TextAnswers.isEmpty() ? std::nullopt : TextAnswers.takeFirst();
}

QString ScriptedDialogs::OpenFileName(const QString& caption, const QString& /*dir*/,
                                      const QString& /*filter*/) {
    Asked.append({"OpenFileName", caption, {}});
    return FileNames.isEmpty() ? QString() : FileNames.takeFirst();
}

QString ScriptedDialogs::SaveFileName(const QString& caption, const QString& /*dir*/,
                                      const QString& /*filter*/) {
    Asked.append({"SaveFileName", caption, {}});
    return FileNames.isEmpty() ? QString() : FileNames.takeFirst();
}

std::optional<QColor> ScriptedDialogs::Colour(const QColor& initial) {
    Asked.append({"Colour", initial.name(), {}});
    return ColourAnswers.isEmpty() ? std::nullopt : ColourAnswers.takeFirst();
}

std::optional<QFont> ScriptedDialogs::Font(const QFont& initial) {
    Asked.append({"Font", initial.family(), {}});
    return FontAnswers.isEmpty() ? std::nullopt : FontAnswers.takeFirst();
}

void ScriptedDialogs::Beep() {
    Asked.append({"Beep", {}, {}});
}
