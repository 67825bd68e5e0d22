#pragma once
// Steps shared by the tests of the server side's commands: server trees,
// the path combo, the server list's selection and the modal download-as
// dialog.

#include "../transfer/transferhelpers.h"
#include "serverpane/frmdownloadals.h"

#include <QApplication>
#include <QComboBox>

#include <functional>

namespace serveropstest {

using namespace transfertest;

// The server path of a folder below the server's work folder.
inline QString below(const FtpTestServer &server, const QString &relative)
{
    const QString work = server.workFolder();
    return work == QLatin1String("/") ? QLatin1Char('/') + relative
                                      : work + QLatin1Char('/') + relative;
}

// Made by the test, the folders below root belong to it; the vsftpd user
// may change them only when everyone may.
inline void letEveryoneWrite(const QString &root)
{
    QFile::setPermissions(root, QFileDevice::Permissions(0x7777));
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), QFileDevice::Permissions(0x7777));
}

inline QComboBox *combo()
{
    return frmServer::instance().cboServer;
}

inline QStringList comboEntries()
{
    QStringList entries;
    for (int i = 0; i < combo()->count(); ++i)
        entries << combo()->itemText(i);
    return entries;
}

// Lists each folder in turn through the pane's fill, so that each becomes
// an entry of the path combo; the server stays in the last one.
inline bool visit(const QStringList &folders)
{
    for (const QString &folder : folders) {
        if (!FtpChangeDir(folder))
            return false;
        frmServer::instance().ListServerFolder(hFtpConnection);
    }
    return true;
}

inline void selectOnly(const QString &text)
{
    selectItems(serverList(), {text});
    serverList()->setSelectedItem(itemIndex(text));
}

// Acts on the download-as dialog once it is shown modally.
class DownloadAlsHandler : public QObject {
public:
    explicit DownloadAlsHandler(std::function<void(frmDownloadAls &)> action)
        : m_action(std::move(action))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] {
            auto *dialog = qobject_cast<frmDownloadAls *>(QApplication::activeModalWidget());
            if (!dialog || m_shown)
                return;
            m_shown = true;
            m_action(*dialog);
        });
        m_timer.start();
    }
    bool shown() const { return m_shown; }

private:
    std::function<void(frmDownloadAls &)> m_action;
    QTimer m_timer;
    bool m_shown = false;
};

} // namespace serveropstest
