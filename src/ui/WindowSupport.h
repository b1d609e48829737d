// Small services every window shares: 8-bit text for display, file names, the program's own files.
#pragma once

#include <QString>

#include <string>
#include <string_view>

// Survey files keep their Windows-1252 bytes; they become Unicode only on screen.
QString DecodeWindows1252(std::string_view bytes);
// The reverse; characters without a Windows-1252 byte become "?".
std::string EncodeWindows1252(const QString& text);

// File names travel through the core as the file system's own bytes.
std::string ToFileName(const QString& name);
QString FromFileName(const std::string& name);

// A file shipped with the program: the current directory first, then beside the program.
// Empty when neither holds it.
QString FindProgramFile(const QString& name);

// The text shown when a file cannot be opened for viewing.
QString FileOpenError(const QString& name, const std::string& reason);

// The busy cursor for the length of a long operation.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// The pictures and icons compiled into the window library.
void InitShellResources();
