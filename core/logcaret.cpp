#include "core/logcaret.h"

#include "platform/pure/bytename.h"
#include "shell/frmtransferhistory.h"

#include <QPointer>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

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
    QTextEdit *rtf = frmTransferHistory::instance().rtfTransferHistory;
    QTextCursor c = rtf->textCursor();
    c.movePosition(QTextCursor::End);
    rtf->setTextCursor(c);
}

void LogLine(const QString &message, LogColor color)
{
    QTextEdit *rtf = frmTransferHistory::instance().rtfTransferHistory;
    // Names in the line keep their bytes up to here; the log shows them.
    QString text = ByteName::shown(message);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (!text.endsWith(QLatin1Char('\n')))
        text += QLatin1Char('\n');
    // The caret goes to the end first, wherever the user left it.
    QTextCursor c(rtf->document());
    c.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(logColorValue(color));
    c.insertText(text, format);
    QTextCharFormat black;
    black.setForeground(logColorValue(LogColor::Black));
    c.setCharFormat(black);
    rtf->setTextCursor(c);
    // Scrolling lays the text out; once per turn of the event loop is enough
    // when a transfer writes thousands of lines.
    static QPointer<QTextEdit> pending;
    if (!pending) {
        pending = rtf;
        QTimer::singleShot(0, rtf, [] {
            if (pending)
                pending->ensureCursorVisible();
            pending = nullptr;
        });
    }
}

bool LogIsEmpty()
{
    return frmTransferHistory::instance().rtfTransferHistory->toPlainText().trimmed().isEmpty();
}

void ClearLog()
{
    frmTransferHistory::instance().rtfTransferHistory->clear();
}
