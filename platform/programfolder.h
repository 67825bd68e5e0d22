#pragma once
// Where the program's own files live: the folder of the executable in the
// build tree, or <prefix>/share/<program> when installed. "lang.db",
// "Dateien/la.rtf", "index.html" and the default "ascii.dat" are there.

#include <QString>

namespace ProgramFolder {

// The program folder, without a closing separator.
QString path();
// A file below the program folder ("lang.db", "Dateien/la.rtf").
QString file(const QString &relative);
// Tests point the program at a folder of their own; an empty text restores
// the normal search.
void setOverride(const QString &folder);

// "ascii.dat" is per user: read from the user's configuration folder, else the
// default copy in the program folder; written to the user's copy.
QString asciiDatReadPath();
QString asciiDatWritePath();

} // namespace ProgramFolder
