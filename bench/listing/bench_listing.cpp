// Shows a vsftpd folder of 10,000 files with 50 distinct extensions in the
// server pane and fetches the same folder's listing with curl, five rounds
// each, interleaved, and prints the medians and the ratio of this program to
// curl. This program's time runs from the start of RefreshServerList to the
// filled list (the path combo's step included).

#include "apphelpers.h"
#include "core/mpublic.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "fakedialogs.h"
#include "platform/listview.h"
#include "serverpane/frmserver.h"
#include "shell/connectionbar.h"
#include "shell/mdimain.h"
#include "tests/support/ftpserver.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kFiles = 10000;
constexpr int kRounds = 5;
const char *const kExtensions[50] = {
    "txt", "html", "css",  "js",  "json", "xml", "csv", "md",  "pdf",  "doc", "odt", "xls",  "ods",
    "ppt", "odp",  "jpg",  "png", "gif",  "svg", "bmp", "tif", "mp3",  "ogg", "wav", "flac", "mp4",
    "mkv", "avi",  "webm", "zip", "gz",   "bz2", "xz",  "7z",  "tar",  "iso", "c",   "cpp",  "h",
    "py",  "sh",   "java", "rb",  "go",   "rs",  "sql", "log", "conf", "exe", "ico"};

bool makeFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    for (int i = 0; i < kFiles; ++i) {
        QFile f(folder + QStringLiteral("/file%1.%2")
                             .arg(i, 5, 10, QLatin1Char('0'))
                             .arg(QLatin1String(kExtensions[i % 50])));
        if (!f.open(QIODevice::WriteOnly) || f.write("x") != 1)
            return false;
    }
    return true;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ours(const QString &folder, bool &ok)
{
    FtpChangeDir(folder);
    QElapsedTimer clock;
    clock.start();
    RefreshServerList(hFtpConnection);
    const double seconds = clock.nsecsElapsed() / 1e9;
    ok = ok && frmServer::instance().lsvServer->count() == kFiles + 1;
    return seconds;
}

double viaCurl(const QString &url, bool &ok)
{
    QElapsedTimer clock;
    clock.start();
    QProcess process;
    process.start(QStringLiteral("curl"), {QStringLiteral("-s"), url});
    const bool done = process.waitForFinished(120000);
    const double seconds = clock.nsecsElapsed() / 1e9;
    const QByteArray listing = process.readAllStandardOutput();
    ok = ok && done && process.exitCode() == 0 && listing.count('\n') == kFiles;
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    FtpTestServer server(FtpTestServer::Kind::Vsftpd);
    if (!server.start()) {
        std::fprintf(stderr, "bench_listing: %s\n", qPrintable(server.error()));
        return 1;
    }
    const QString folder = server.workFolder() + QStringLiteral("/many");
    if (!makeFolder(server.localPath(folder))) {
        std::fprintf(stderr, "bench_listing: cannot write the test folder\n");
        return 1;
    }
    const TestHome home;
    const TestProgramFolder programFolder;
    chooseLanguage();
    installScriptedDialogs();
    mdiMain &m = mdiMain::instance();
    m.show();
    m.txtAddress->setText(server.host());
    m.txtPort->setText(QString::number(server.port()));
    m.txtUserID->setText(server.user());
    m.txtPassword->setText(server.password());
    m.mnuVerbindungVerbinden_Click();
    m.timIsConnected->stop();
    if (hFtpConnection == 0) {
        std::fprintf(stderr, "bench_listing: cannot connect\n");
        return 1;
    }
    const QString url =
        QStringLiteral("ftp://%1:%2%3/").arg(server.host()).arg(server.port()).arg(folder);

    std::vector<double> mine, theirs;
    bool ok = true;
    for (int round = 0; round < kRounds; ++round) {
        // Who goes first alternates, so neither side always meets a cold cache.
        if (round % 2 == 0) {
            mine.push_back(ours(folder, ok));
            theirs.push_back(viaCurl(url, ok));
        } else {
            theirs.push_back(viaCurl(url, ok));
            mine.push_back(ours(folder, ok));
        }
        std::printf("round %d: ours %.3f s, curl %.3f s\n", round + 1, mine.back(), theirs.back());
        std::fflush(stdout);
    }
    CloseFtpConnection();
    ResetConnectionBarState();
    resetApplication();
    if (!ok) {
        std::fprintf(stderr, "bench_listing: a listing was incomplete or failed\n");
        return 1;
    }
    const double ratio = median(mine) / median(theirs);
    std::printf("median: ours %.3f s, curl %.3f s\n", median(mine), median(theirs));
    std::printf("listing ratio=%.2f target=3.0\n", ratio);
    return 0;
}
