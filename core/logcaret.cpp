#include "core/logcaret.h"

#include "shell/frmtransferhistory.h"

#include <QTextCursor>
#include <QTextEdit>

QColor logColorValue(LogColor color)
{
    switch (color) {
    case LogColor::Green: return QColor(0, 200, 0);
    case LogColor::Red: return QColor(200, 0, 0);
    case LogColor::Blue: return QColor(0, 0, 200);
    case LogColor::Black: break;
    }
    return QColor(0, 0, 0);
}

void ScrollHistoryToEnd()
{
    QTextEdit *rtf = frmTransferHistory::instance().rtfTransferHistory;
    QTextCursor c = rtf->textCursor();
    c.movePosition(QTextCursor::End);
    rtf->setTextCursor(c);
}

void LogLine(const QString &message, LogColor color)
{
    ScrollHistoryToEnd();
    QTextEdit *rtf = frmTransferHistory::instance().rtfTransferHistory;
    QString text = message;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    QTextCursor c = rtf->textCursor();
    QTextCharFormat format;
    format.setForeground(logColorValue(color));
    c.insertText(text, format);
    QTextCharFormat black;
    black.setForeground(logColorValue(LogColor::Black));
    c.setCharFormat(black);
    rtf->setTextCursor(c);
    rtf->ensureCursorVisible();
}

bool LogIsEmpty()
{
    return frmTransferHistory::instance().rtfTransferHistory->toPlainText().trimmed().isEmpty();
}

void ClearLog()
{
    frmTransferHistory::instance().rtfTransferHistory->clear();
}
