#pragma once
// Writing into the transfer log: every line is the caret moved to the end,
// the colour set, the message inserted as plain text with a line break, and
// the colour set back to black.
//
// A transfer writes thousands of lines; the lines of one turn of the event
// loop go into the log together, as one edit with one caret move and one
// scroll. Whatever reads the log calls FlushLog() first (LogIsEmpty and
// ClearLog do).

#include <QColor>
#include <QString>

enum class LogColor { Black, Green, Red, Blue };

QColor logColorValue(LogColor color);

// Moves the log's caret to the end of its text.
void ScrollHistoryToEnd();
// Appends one line; a message that already ends in a line break gets no
// second one. Markup in the message is shown as typed. The cost of a line
// grows with its length, never faster: a line holding a word too long to
// wrap at a word's end is not wrapped (the log scrolls sideways instead).
void LogLine(const QString &message, LogColor color = LogColor::Black);
// Writes the lines not yet in the log into it.
void FlushLog();
// The log's text with blanks trimmed is empty.
bool LogIsEmpty();
void ClearLog();
