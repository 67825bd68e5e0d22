#pragma once
// Shared steps of the widget tests of the server side: the program set up
// with its main window, a real server, and reading the log and the list.

#include "apphelpers.h"
#include "core/logcaret.h"
#include "core/mpublic.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "fakedialogs.h"
#include "platform/listview.h"
#include "serverpane/frmserver.h"
#include "shell/connectionbar.h"
#include "shell/frmtransferhistory.h"
#include "shell/mdimain.h"
#include "tests/support/ftpserver.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>

#include <memory>

namespace servertest {

// The program as a test needs it: a home and program folder of its own, the
// German texts, scripted dialogs and the main window on screen.
class Program : public TestProgram {
public:
    Program() : m_oldTmp(qgetenv("TMPDIR"))
    {
        qputenv("TMPDIR", TestProgram::home.path().toUtf8());
        SetInternetTimeout(3000);
        mdiMain::instance().show();
    }
    ~Program()
    {
        mdiMain::instance().timIsConnected->stop();
        CloseFtpConnection();
        ResetConnectionBarState();
        ResetServerListing();
        resetApplication();
        SetInternetTimeout(30000);
        qputenv("TMPDIR", m_oldTmp);
    }
    QString home() const { return TestProgram::home.path(); }

private:
    QByteArray m_oldTmp;
};

inline void fillConnectionBar(const FtpTestServer &server)
{
    mdiMain &m = mdiMain::instance();
    m.txtAddress->setText(server.host());
    m.txtPort->setText(QString::number(server.port()));
    m.txtUserID->setText(server.user());
    m.txtPassword->setText(server.password());
}

inline bool writeFile(const QString &path, const QByteArray &bytes = QByteArray())
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QTextEdit *logBox()
{
    FlushLog();
    return frmTransferHistory::instance().rtfTransferHistory;
}

// The log's lines, each with "[black]", "[green]", "[red]" or "[blue]" before it.
inline QStringList logLines()
{
    QStringList lines;
    const QTextDocument *doc = logBox()->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b.text().isEmpty())
            continue;
        QString colour = QStringLiteral("[?]");
        if (b.begin() != b.end()) {
            const QColor c = b.begin().fragment().charFormat().foreground().color();
            colour = c == QColor(0, 200, 0)   ? QStringLiteral("[green]")
                     : c == QColor(200, 0, 0) ? QStringLiteral("[red]")
                     : c == QColor(0, 0, 200) ? QStringLiteral("[blue]")
                                              : QStringLiteral("[black]");
        }
        lines << colour + b.text();
    }
    return lines;
}

inline ListView *serverList()
{
    return frmServer::instance().lsvServer;
}

// The texts of the server list's items, in order.
inline QStringList itemTexts()
{
    QStringList texts;
    for (int i = 0; i < serverList()->count(); ++i)
        texts << serverList()->text(i);
    return texts;
}

// One item as "text|size|type|date|attributes".
inline QString itemRow(int i)
{
    ListView *l = serverList();
    return QStringList{l->text(i), l->subItem(i, 1), l->subItem(i, 2), l->subItem(i, 3),
                       l->subItem(i, 4)}
        .join(QLatin1Char('|'));
}

inline int itemIndex(const QString &text)
{
    return int(itemTexts().indexOf(text));
}

} // namespace servertest
