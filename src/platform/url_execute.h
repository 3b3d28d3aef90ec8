#pragma once

#include <QString>

// The program's one road to the desktop shell, shared by every command that opens a file or
// a web address with its default program.
namespace URLexecute {

// Opens file (a path or a web address) with its default program in a normal window.
// True when something opened it.
bool ShellExecute(const QString& file);

} // namespace URLexecute
