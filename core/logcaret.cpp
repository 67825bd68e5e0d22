#include "core/logcaret.h"

#include "platform/pure/bytename.h"
#include "shell/frmtransferhistory.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <vector>

namespace {

// Laying out a word that does not fit the line costs time in proportion to
// its length squared, since every line break searches the rest of the word
// for its end first; a line with a word longer than this is not wrapped.
constexpr qsizetype kLongestWrappedWord = 256;

struct PendingLine {
    QString text;
    LogColor color;
};

std::vector<PendingLine> pendingLines;
QPointer<QTextEdit> pendingLog;
bool flushQueued = false;

bool holdsLongWord(const QString &text)
{
    qsizetype run = 0;
    for (const QChar c : text) {
        run = c.isSpace() ? 0 : run + 1;
        if (run > kLongestWrappedWord)
            return true;
    }
    return false;
}

// The caret at the end of the log, and the end in view.
void caretToEnd(QTextEdit *rtf)
{
    QTextCursor c = rtf->textCursor();
    c.movePosition(QTextCursor::End);
    rtf->setTextCursor(c);
    rtf->ensureCursorVisible();
}

} // namespace

QColor logColorValue(LogColor color)
{
    switch (color) {
    case LogColor::Green:
        return QColor(0, 200, 0);
    case LogColor::Red:
        return QColor(200, 0, 0);
    case LogColor::Blue:
        return QColor(0, 0, 200);
    case LogColor::Black:
        break;
    }
    return QColor(0, 0, 0);
}

void ScrollHistoryToEnd()
{
    FlushLog();
    caretToEnd(frmTransferHistory::instance().rtfTransferHistory);
}

void LogLine(const QString &message, LogColor color)
{
    QTextEdit *rtf = frmTransferHistory::instance().rtfTransferHistory;
    if (pendingLog != rtf) {
        FlushLog();
        pendingLog = rtf;
    }
    // Names in the line keep their bytes up to here; the log shows them.
    QString text = ByteName::shown(message);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    pendingLines.push_back({std::move(text), color});
    if (!flushQueued) {
        flushQueued = true;
        QTimer::singleShot(0, QCoreApplication::instance(), [] { FlushLog(); });
    }
}

void FlushLog()
{
    flushQueued = false;
    std::vector<PendingLine> lines;
    lines.swap(pendingLines);
    QTextEdit *rtf = pendingLog;
    if (lines.empty() || !rtf)
        return;
    // The caret goes to the end first, wherever the user left it.
    QTextCursor c(rtf->document());
    c.beginEditBlock();
    c.movePosition(QTextCursor::End);
    for (const PendingLine &line : lines) {
        const bool unwrapped = holdsLongWord(line.text);
        if (unwrapped) {
            QTextBlockFormat block = c.blockFormat();
            block.setNonBreakableLines(true);
            c.setBlockFormat(block);
        }
        QTextCharFormat format;
        format.setForeground(logColorValue(line.color));
        c.insertText(line.text, format);
        if (unwrapped) {
            // The line break gave the next line the same block format.
            QTextBlockFormat block = c.blockFormat();
            block.setNonBreakableLines(false);
            c.setBlockFormat(block);
        }
    }
    QTextCharFormat black;
    black.setForeground(logColorValue(LogColor::Black));
    c.setCharFormat(black);
    c.endEditBlock();
    // One caret move and one scroll for the whole batch.
    caretToEnd(rtf);
}

bool LogIsEmpty()
{
    FlushLog();
    return frmTransferHistory::instance().rtfTransferHistory->toPlainText().trimmed().isEmpty();
}

void ClearLog()
{
    pendingLines.clear();
    frmTransferHistory::instance().rtfTransferHistory->clear();
}
