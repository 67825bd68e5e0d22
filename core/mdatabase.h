#pragma once
// The language texts: every visible text is looked up by key in the text
// table of the language chosen in the start dialog.

#include <QString>

// Marks a text key that is looked up later (a key kept in a table or passed
// as an argument), so that the check of the language sources finds it.
constexpr const char *TextKey(const char *key)
{
    return key;
}

// The name of the chosen language's text table; empty until the start
// dialog's OK sets it.
extern QString LanguageTable;

// Opens "lang.db" read-only as the language connection. False when it cannot
// be opened (every text then reads "########").
bool OpenLanguageDatabase(const QString &path);
bool LanguageDatabaseOpen();

// The text of key in the chosen language, or "########" when there is none,
// it is empty or NULL, or the query fails. One query per call, no cache.
QString GetText(const QString &key);
QString GetText(const char *key);

// Closes the language connection; closing one that is not open is harmless.
void CloseLanguageDatabase();

// The marker of a missing text.
inline const QString MissingText = QStringLiteral("########");
