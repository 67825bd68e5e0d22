#pragma once
// Handing local files to the desktop: the program that opens a file, opening
// the local pane's selection with its program, a file's properties, and the
// choice of a program for a file.

#include <QString>

// The absolute path of the program that opens file (the desktop's default
// application for its type), or "" when there is none or the file is itself
// that program.
QString FindAssociatedProgram(const QString &file);
// Opens the file selected in the local pane with its program; without one,
// offers the choice of a program.
void OpenLocalSelection();
// Shows the properties of file (the file manager's window, else the
// program's own).
void ShowFileProperties(const QString &file);
// Lets the user choose a program for file and starts it with the file.
void OpenWithDialog(const QString &file);
// Starts the program that opens file (the desktop's record of it, so that
// a program started through a wrapper such as "env VAR=1 ..." or
// "flatpak run ..." starts as the desktop starts it) with address; false
// when there is none or it did not start.
bool OpenAddressWithProgramOf(const QString &file, const QString &address);
// Starts the program that opens file with the file, the same way; false
// when there is none or it did not start.
bool OpenFileWithItsProgram(const QString &file);
// Starts program with the file as its one argument, detached and never
// through a shell, so that a name like "-rf" or "a;b" stays a name.
bool StartProgramWithFile(const QString &program, const QString &file);
