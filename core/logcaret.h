#pragma once
// Writing into the transfer log: every line is the caret moved to the end,
// the colour set, the message inserted as plain text with a line break, and
// the colour set back to black.

#include <QColor>
#include <QString>

enum class LogColor { Black, Green, Red, Blue };

QColor logColorValue(LogColor color);

// Moves the log's caret to the end of its text.
void ScrollHistoryToEnd();
// Appends one line; a message that already ends in a line break gets no
// second one. Markup in the message is shown as typed.
void LogLine(const QString &message, LogColor color = LogColor::Black);
// The log's text with blanks trimmed is empty.
bool LogIsEmpty();
void ClearLog();
