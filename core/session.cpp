#include "core/session.h"

#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "platform/dialogs.h"
#include "platform/ui.h"
#include "serverpane/frmserver.h"
#include "shell/mdimain.h"

#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {
const QString ReconnectAgent = QStringLiteral("QUILMARVEN FTP Client 1");
int g_runDepth = 0;
bool g_runReconnectFailed = false;
} // namespace

ReconnectRun::ReconnectRun()
{
    if (g_runDepth++ == 0)
        g_runReconnectFailed = false;
}

ReconnectRun::~ReconnectRun()
{
    if (--g_runDepth == 0)
        g_runReconnectFailed = false;
}

bool ReconnectFailedInRun()
{
    return g_runDepth > 0 && g_runReconnectFailed;
}

QString ServerPaneFolder()
{
    if (!frmServer::exists())
        return QString();
    return frmServer::instance().ComboFolder();
}

QString OperationServerFolder()
{
    const QString current = FtpCurrentDir();
    return current.isEmpty() ? ServerPaneFolder() : current;
}

std::optional<int> ConvertPortText(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double rounded = std::nearbyint(value); // the default mode rounds half to even
    if (rounded < -32768.0 || rounded > 32767.0)
        return std::nullopt;
    return int(rounded);
}

void CloseFtpConnection()
{
    if (hFtpConnection != 0)
        InternetCloseHandle(hFtpConnection);
    hFtpConnection = 0;
}

void ConnectFromMainWindow()
{
    if (Ui::isShuttingDown() || ReconnectFailedInRun()) {
        CloseFtpConnection();
        return;
    }
    // The session this replaces has no connection of this road left once
    // FtpConnect has closed hFtpConnection, so it is closed after the new
    // one is in place.
    const HINTERNET previousSession = hInternetSession;
    hInternetSession =
        InternetOpen(ReconnectAgent, INTERNET_OPEN_TYPE_PRECONFIG, QString(), QString(), 0);
    mdiMain &m = mdiMain::instance();
    const bool ok = FtpConnect(hInternetSession, m.txtAddress->text(), m.txtPort->text(),
                               m.txtUserID->text(), m.txtPassword->text());
    if (previousSession != 0)
        InternetCloseHandle(previousSession);
    if (ok) {
        FtpSetCurrentDirectory(hFtpConnection, QStringLiteral("/"));
        return;
    }
    if (g_runDepth > 0)
        g_runReconnectFailed = true;
    dialogs().MsgBox(GetText("MPUB_NOCONN1") + QLatin1String("\r\n") + GetText("MPUB_NOCONN2") +
                         QLatin1String("\r\n") + GetText("MPUB_NOCONN3") + QLatin1String("\r\n"),
                     MsgButtons::Ok, MsgIcon::Exclamation);
    m.txtAddress->setFocus();
}

bool ReconnectKeepingFolder()
{
    return ReconnectInto(ServerPaneFolder());
}

bool ReconnectInto(const QString &folder)
{
    ConnectFromMainWindow();
    return hFtpConnection == 0 || folder.isEmpty() || FtpChangeDir(folder);
}

bool FtpConnect(HINTERNET session, const QString &host, const QString &port, const QString &user,
                const QString &password)
{
    CloseFtpConnection();
    const std::optional<int> portNumber = ConvertPortText(port);
    if (!portNumber)
        return false;
    hFtpConnection = InternetConnect(session, host, *portNumber, user, password,
                                     INTERNET_SERVICE_FTP, ConnectFlags, 0);
    return hFtpConnection != 0;
}

bool FtpRename(const QString &oldName, const QString &newName)
{
    return FtpRenameFile(hFtpConnection, oldName, newName);
}

bool FtpMakeDir(const QString &folder)
{
    return FtpCreateDirectory(hFtpConnection, folder);
}
bool FtpRemoveDir(const QString &folder)
{
    return FtpRemoveDirectory(hFtpConnection, folder);
}
bool FtpDelete(const QString &file)
{
    return FtpDeleteFile(hFtpConnection, file);
}
bool FtpChangeDir(const QString &folder)
{
    return FtpSetCurrentDirectory(hFtpConnection, folder);
}

bool FtpDownload(const QString &localPath, const QString &remoteName)
{
    // The data loop yields as the upload does, so that the start line shows
    // and the window repaints; the busy guard keeps other commands out
    // meanwhile, and closing the program gives the download up.
    const BusyScope busy;
    SetInternetReceiveHook([] {
        Ui::ThrottledYield();
        return !Ui::isShuttingDown();
    });
    const bool ok = FtpGetFile(hFtpConnection, remoteName, localPath, false, FILE_ATTRIBUTE_NORMAL,
                               INTERNET_FLAG_RELOAD | FTP_TRANSFER_TYPE_UNKNOWN, 0);
    SetInternetReceiveHook(nullptr);
    return ok;
}

QString FtpCurrentDirWithin(int replyTimeoutMs)
{
    const int normal = InternetTimeout();
    SetInternetTimeout(std::min(normal, replyTimeoutMs));
    const QString dir = FtpCurrentDir();
    SetInternetTimeout(normal);
    return dir;
}

QString FtpCurrentDir()
{
    QString dir;
    if (!FtpGetCurrentDirectory(hFtpConnection, dir))
        return QString();
    const int nul = dir.indexOf(QChar(0));
    return nul >= 0 ? dir.left(nul) : dir;
}
