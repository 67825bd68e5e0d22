// The connection bar: connecting from the menu, the toolbar and the Enter
// key, the behaviour of its text boxes, and the connection watchdog.

#include "shell/connectionbar.h"

#include "core/logcaret.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "platform/dialogs.h"
#include "platform/listview.h"
#include "platform/ui.h"
#include "serverpane/frmserver.h"
#include "shell/mdimain.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QTimer>

#include <initializer_list>
#include <vector>

HINTERNET hMainInternet = 0;
HINTERNET hMainConnection = 0;

void ResetConnectionBarState()
{
    if (hMainInternet != 0)
        InternetCloseHandle(hMainInternet);
    hMainInternet = 0;
    hMainConnection = 0;
}

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr int WatchdogReplyMs = 2000;

// Disables the connection bar's boxes while a connect runs and enables them
// again on every way out, so that the user can always connect again. The
// box that had the focus gets it back, unless the focus has left the bar
// meanwhile (for a message box or another window).
class BoxesDisabled {
public:
    explicit BoxesDisabled(std::initializer_list<QLineEdit *> boxes)
    {
        // Disabling the focused box hands the focus on to the next one,
        // which is disabled in turn: only the first box found with the
        // focus is the user's.
        for (QLineEdit *box : boxes) {
            m_boxes.emplace_back(box);
            if (!m_focus && box->hasFocus())
                m_focus = box;
            box->setEnabled(false);
        }
    }
    ~BoxesDisabled()
    {
        for (QLineEdit *box : m_boxes)
            if (box)
                box->setEnabled(true);
        // Disabling the box that had the focus moved it on to another
        // control of the bar (with the quick connect, to the port box, whose
        // text it selected) or to none; it comes back to where the user typed.
        if (!m_focus)
            return;
        const QWidget *now = QApplication::focusWidget();
        const QWidget *bar = m_focus->parentWidget();
        if (!now || (bar && bar->isAncestorOf(now)))
            m_focus->setFocus();
    }
    BoxesDisabled(const BoxesDisabled &) = delete;
    BoxesDisabled &operator=(const BoxesDisabled &) = delete;

private:
    std::vector<QPointer<QLineEdit>> m_boxes;
    QPointer<QLineEdit> m_focus;
};

void clearLogAndServerList()
{
    ClearLog();
    frmServer::instance().lsvServer->clear();
}

} // namespace

void mdiMain::Initialize_Internet()
{
    // Nothing connects on the session this replaces any more: a session is
    // only used while a connection is made, and closing it leaves that
    // connection open.
    const HINTERNET previous = hMainInternet;
    hMainInternet = InternetOpen(QLatin1String(MainAgent), INTERNET_OPEN_TYPE_PRECONFIG, QString(),
                                 QString(), 0);
    if (previous != 0)
        InternetCloseHandle(previous);
    hMainConnection = 0;
}

bool mdiMain::OpenConnection(const QString &host, const QString &port, const QString &user,
                             const QString &password)
{
    // The connection the program worked on so far is replaced by this one
    // and closed once, whichever road made it. hMainConnection needs no
    // close of its own: it is 0 here, or a copy of a handle that was closed
    // through hFtpConnection.
    const bool connected = FtpConnect(hMainInternet, host, port, user, password);
    hMainConnection = hFtpConnection;
    // Not connected: the watchdog of an earlier connection must not ask to
    // reconnect with the fields that just failed.
    if (connected)
        timIsConnected->start();
    else
        timIsConnected->stop();
    return connected;
}

void mdiMain::mnuVerbindungVerbinden_Click()
{
    // A transfer or listing that is running keeps its connection.
    if (Ui::isBusy())
        return;
    if (txtAddress->text().trimmed().isEmpty()) {
        dialogs().MsgBox(GetText("ENTER_ADRESS"), MsgButtons::Ok, MsgIcon::Critical);
        return;
    }
    if (txtPort->text().trimmed().isEmpty()) {
        dialogs().MsgBox(GetText("ENTER_PORT"), MsgButtons::Ok, MsgIcon::Critical);
        txtPort->setFocus();
        return;
    }
    const BusyScope busy;
    const WaitCursor wait;
    const BoxesDisabled disabled{txtAddress, txtUserID, txtPassword, txtPort};
    clearLogAndServerList();
    const QString address = txtAddress->text();
    LogLine(GetText("CONNECT_WITH") + QLatin1Char(' ') + address + QLatin1String(" ..."));
    Ui::DoEvents();
    Initialize_Internet();
    if (OpenConnection(address, txtPort->text(), txtUserID->text(), txtPassword->text())) {
        FtpSetCurrentDirectory(hFtpConnection, QStringLiteral("/"));
        LogLine(GetText("CONNECTION_TO") + QLatin1Char(' ') + address + QLatin1Char(' ') +
                    GetText("ESTABLSHED"),
                LogColor::Green);
        RefreshServerList(hFtpConnection);
        return;
    }
    LogLine(GetText("NOT_ESTABLISHED"), LogColor::Red);
    Ui::setNormalPointer();
    dialogs().MsgBox(GetText("NOT_ESTABLISHED") + CrLf + GetText("SPELLING") + CrLf +
                         GetText("PROVIDER"),
                     MsgButtons::Ok, MsgIcon::Exclamation);
}

void mdiMain::QuickConnect()
{
    if (Ui::isBusy())
        return;
    if (txtAddress->text().trimmed().isEmpty()) {
        dialogs().MsgBox(GetText("ENTER_HOST"), MsgButtons::Ok, MsgIcon::Information);
        return;
    }
    const BusyScope busy;
    const WaitCursor wait;
    const BoxesDisabled disabled{txtAddress, txtUserID, txtPassword};
    clearLogAndServerList();
    const QString address = txtAddress->text();
    Initialize_Internet();
    if (OpenConnection(address, txtPort->text(), txtUserID->text(), txtPassword->text())) {
        FtpSetCurrentDirectory(hFtpConnection, QStringLiteral("/"));
        LogLine(GetText("CONNECT_WITH") + QLatin1Char(' ') + address + QLatin1String(" ..."));
        LogLine(GetText("CONNECTION_WITH") + QLatin1Char(' ') + address + QLatin1Char(' ') +
                    GetText("WAS_ESTABLISHT"),
                LogColor::Green);
        RefreshServerList(hFtpConnection);
        return;
    }
    Ui::setNormalPointer();
    dialogs().MsgBox(GetText("NO_CONNECTION") + CrLf + GetText("CHECK_PROVIDER"), MsgButtons::Ok,
                     MsgIcon::Exclamation);
}

void mdiMain::timIsConnected_Timer()
{
    // A long operation owns the connection while it runs; the next tick
    // after it looks again.
    if (Ui::isBusy())
        return;
    // A server that stopped answering without closing is noticed within
    // this time instead of freezing the window for the whole timeout.
    if (!FtpCurrentDirWithin(WatchdogReplyMs).trimmed().isEmpty())
        return;
    // Asked once: the watchdog stays off until a connect succeeds again.
    timIsConnected->stop();
    if (dialogs().MsgBox(GetText("CONNECTION_CANCEL1") + CrLf + GetText("CONNECTION_CANCEL2"),
                         MsgButtons::YesNo, MsgIcon::None) != MsgAnswer::Yes)
        return;
    // Back into the folder the list shows: the user's next command names its
    // items. A folder that is gone leaves the server elsewhere, and the list
    // then shows where.
    if (!ReconnectKeepingFolder())
        RefreshServerList(hFtpConnection);
}

void mdiMain::tlbConnect_ButtonClick(const QString &key)
{
    if (key == QLatin1String("connect"))
        mnuVerbindungVerbinden_Click();
    else if (key == QLatin1String("ascii"))
        mnuVerbindungASCIIListe_Click();
    // "quick" belongs to no button; other keys do nothing.
}

bool mdiMain::connectionBarEvent(QObject *watched, QEvent *event)
{
    auto *box = qobject_cast<QLineEdit *>(watched);
    if (!box || (box != txtAddress && box != txtUserID && box != txtPassword && box != txtPort))
        return false;
    const auto paint = [box](const QColor &color) {
        QPalette p = box->palette();
        p.setColor(QPalette::Base, color);
        box->setPalette(p);
    };
    switch (event->type()) {
    case QEvent::FocusIn:
        paint(QColor(255, 255, 192));
        box->setSelection(0, int(box->text().size()));
        return false;
    case QEvent::FocusOut:
        paint(QColor(255, 255, 255));
        return false;
    case QEvent::MouseButtonPress:
        if (box == txtAddress)
            paint(QColor(255, 255, 192));
        return false;
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Tab || key->modifiers() != Qt::NoModifier)
            return false;
        if (box == txtAddress) {
            txtUserID->setFocus(Qt::TabFocusReason);
            return true;
        }
        if (box == txtUserID) {
            txtPassword->setFocus(Qt::TabFocusReason);
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}
