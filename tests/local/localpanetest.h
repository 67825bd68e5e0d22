#pragma once
// Reading the local pane's list and the log in widget tests.

#include "core/logcaret.h"
#include "localpane/frmlocal.h"
#include "platform/listview.h"
#include "shell/frmtransferhistory.h"

#include <QColor>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

#include <utility>

// Steps shared by the widget tests of the local pane.
namespace LocalPaneTest {

inline frmLocal &pane()
{
    return frmLocal::instance();
}

inline QStringList listNames()
{
    QStringList n;
    for (int i = 0; i < pane().lsvDirFile->count(); ++i)
        n << pane().lsvDirFile->text(i);
    return n;
}

// The log's lines with the colour of each.
inline QList<std::pair<QString, QColor>> logLines()
{
    QList<std::pair<QString, QColor>> lines;
    FlushLog();
    const QTextDocument *doc = frmTransferHistory::instance().rtfTransferHistory->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.text().isEmpty())
            continue;
        const auto it = b.begin();
        lines.append(
            {b.text(), it.atEnd() ? QColor() : it.fragment().charFormat().foreground().color()});
    }
    return lines;
}

} // namespace LocalPaneTest
