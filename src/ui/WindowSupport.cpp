// Small services the windows share: 8-bit text for display, file names, the program's own files.
#include "ui/WindowSupport.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>

namespace {

// Bytes 0x80 to 0x9F, where Windows-1252 differs from Latin-1; 0 marks an unassigned byte.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString DecodeWindows1252(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char16_t u = b;
        if (b >= 0x80 && b <= 0x9F && kHighControls[b - 0x80] != 0)
            u = kHighControls[b - 0x80];
        text.append(QChar(u));
    }
    return text;
}

std::string EncodeWindows1252(const QString& text) {
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        const bool unassigned = u >= 0x80 && u <= 0x9F && kHighControls[u - 0x80] == 0;
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) || unassigned) {
            bytes.push_back(static_cast<char>(u));
            continue;
        }
        char out = '?';
        for (std::size_t i = 0; i < kHighControls.size(); ++i)
            if (kHighControls[i] != 0 && kHighControls[i] == u)
                out = static_cast<char>(0x80 + i);
        bytes.push_back(out);
    }
    return bytes;
}

std::string ToFileName(const QString& name) {
    return QFile::encodeName(name).toStdString();
}

QString FromFileName(const std::string& name) {
    return QFile::decodeName(QByteArray::fromStdString(name));
}

QString FindProgramFile(const QString& name) {
    const QFileInfo here(QDir::current(), name);
    if (here.isFile())
        return here.filePath();
    const QFileInfo beside(QDir(QCoreApplication::applicationDirPath()), name);
    if (beside.isFile())
        return beside.filePath();
    return {};
}

QString FileOpenError(const QString& name, const std::string& reason) {
    QString text = QStringLiteral("Cannot open file \"%1\".").arg(name);
    if (!reason.empty())
        text += ' ' + FromFileName(reason);
    return text;
}

// Q_INIT_RESOURCE may not stand inside a namespace.
static void InitKvshellResource() {
    Q_INIT_RESOURCE(kvshell);
}

void InitShellResources() {
    static const bool done = (InitKvshellResource(), true);
    (void)done;
}

BusyCursor::BusyCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

BusyCursor::~BusyCursor() {
    QApplication::restoreOverrideCursor();
}
