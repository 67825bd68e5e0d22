#pragma once
// Qt's own texts (the Yes, No, OK and Cancel of message and input boxes) in
// the language the user chose for the program.

#include <QString>

// The locale code ("de") of one of the program's language tables
// ("deutsch"); "" for a table it does not know.
QString QtLanguageOf(const QString &languageTable);
// Installs Qt's translations for the language table, replacing the ones
// installed before; false when none are found (Qt then speaks English).
bool LoadQtTranslations(const QString &languageTable);
