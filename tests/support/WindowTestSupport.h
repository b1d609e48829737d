// Helpers shared by the window tests: small survey files and byte access.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

// Four shots, a closed loop A001-A002-A003-A001, a comment and a two-point scan.
inline const QByteArray kSmallSurvey = "Testhola\r\n"
                                       ";\r\n"
                                       "; surveyed by the test team\r\n"
                                       "360.00 360.00 0.00 1.00\r\n"
                                       "0.00 0.00 0.00\r\n"
                                       "A001 A001 0.00 0.00 0.00 0.00 0.00 0.00 0.00\r\n"
                                       "A001 A002 90.00 0.00 10.00 1.00 1.00 1.00 1.00\r\n"
                                       ";first comment\r\n"
                                       "A002 A003 0.00 0.00 10.00 1.00 1.00 1.00 1.00\r\n"
                                       "#    2 90.00\r\n"
                                       "#   0.00 1.00\r\n"
                                       "#   90.00 2.00\r\n"
                                       "A003 A001 225.00 0.00 14.00 1.00 1.00 1.00 1.00\r\n";

inline QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The view shows text with bare line breaks.
inline QString AsShown(const QByteArray& bytes) {
    return QString::fromLatin1(bytes).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

// Runs in a directory of its own for the life of the object.
class CurrentDirectory {
public:
    explicit CurrentDirectory(const QString& dir) : old_(QDir::currentPath()) {
        QDir::setCurrent(dir);
    }
    ~CurrentDirectory() { QDir::setCurrent(old_); }
    CurrentDirectory(const CurrentDirectory&) = delete;
    CurrentDirectory& operator=(const CurrentDirectory&) = delete;

private:
    QString old_;
};
