#pragma once

#include <string>

namespace palvina {

// The value of a desktop entry's Exec key that runs the program at `path` without arguments,
// ready to be written after "Exec=". Two levels of escaping, undone by readers in reverse
// order: the path is enclosed in double quotes when it holds a reserved character (blank,
// tab, newline, " ' \ > < ~ | & ; $ * ? # ( ) `), with " ` $ \ inside the quotes preceded by a
// backslash, and '%' is doubled so that it is not read as a field code; then the whole text
// gets the escapes of a string value: backslash, newline, tab and carriage return as \\ \n \t
// \r.
std::string DesktopEntryExec(const std::string& path);

// A desktop entry string value (Name=, Comment=, TryExec=...): backslash, newline, tab and
// carriage return escaped as \\ \n \t \r.
std::string DesktopEntryString(const std::string& text);

} // namespace palvina
