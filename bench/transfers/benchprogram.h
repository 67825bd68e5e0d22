#pragma once
// The program set up for a benchmark: its windows offscreen, a vsftpd on
// loopback, the connection made through the connection bar's road, and the
// median and ratio printing every benchmark ends with.

#include "apphelpers.h"
#include "core/download.h"
#include "core/mpublic.h"
#include "core/serverlisting.h"
#include "core/session.h"
#include "fakedialogs.h"
#include "localpane/frmlocal.h"
#include "platform/listview.h"
#include "serverpane/frmserver.h"
#include "shell/mdimain.h"
#include "tests/support/ftpserver.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRandomGenerator>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace bench {

constexpr int Rounds = 5;
// A transfer of one large file takes about a second: more rounds of it cost
// little and keep the median steady on a busy machine.
constexpr int SingleFileRounds = 11;

class Program : public TestProgram {
public:
    Program() : server(FtpTestServer::Kind::Vsftpd)
    {
        qputenv("TMPDIR", home.path().toUtf8());
        mdiMain::instance().show();
    }

    bool start()
    {
        if (!server.start()) {
            std::fprintf(stderr, "bench: %s\n", qPrintable(server.error()));
            return false;
        }
        return true;
    }

    bool connect() { return connect(server); }

    // Connects to `to` through the connection bar and changes to its work
    // folder.
    static bool connect(const FtpTestServer &to)
    {
        mdiMain &m = mdiMain::instance();
        m.txtAddress->setText(to.host());
        m.txtPort->setText(QString::number(to.port()));
        m.txtUserID->setText(to.user());
        m.txtPassword->setText(to.password());
        ConnectFromMainWindow();
        return hFtpConnection != 0 && FtpChangeDir(to.workFolder());
    }

    // Connects, lists the server's folder and downloads the item name
    // through the program's own download of the server selection.
    bool downloadSelected(const QString &name);

    QString url(const QString &path) const { return url(server, path); }

    // The address of `path` in the work folder of `on`.
    static QString url(const FtpTestServer &on, const QString &path)
    {
        return QStringLiteral("ftp://%1:%2%3/%4")
            .arg(on.host())
            .arg(on.port())
            .arg(on.workFolder(), path);
    }

    FtpTestServer server;
};

inline bool makeRandomFile(const QString &path, qint64 size)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray chunk(int(std::min<qint64>(size, 4 * 1024 * 1024)), Qt::Uninitialized);
    QRandomGenerator generator(42);
    generator.fillRange(reinterpret_cast<quint32 *>(chunk.data()), chunk.size() / 4);
    for (qint64 written = 0; written < size; written += chunk.size())
        if (file.write(chunk.constData(), std::min<qint64>(chunk.size(), size - written)) < 0)
            return false;
    return true;
}

inline void select(ListView *list, const QString &text)
{
    for (int i = 0; i < list->count(); ++i)
        list->setSelected(i, list->text(i) == text);
}

inline bool Program::downloadSelected(const QString &name)
{
    if (!connect())
        return false;
    RefreshServerList(hFtpConnection);
    select(frmServer::instance().lsvServer, name);
    DownloadServerSelection();
    return true;
}

inline bool run(const QString &program, const QStringList &args, const QString &dir = QString())
{
    QProcess process;
    if (!dir.isEmpty())
        process.setWorkingDirectory(dir);
    process.start(program, args);
    return process.waitForFinished(600000) && process.exitStatus() == QProcess::NormalExit &&
           process.exitCode() == 0;
}

inline double timed(const std::function<bool()> &step, bool &ok)
{
    QElapsedTimer clock;
    clock.start();
    ok = step() && ok;
    return double(clock.nsecsElapsed()) / 1e9;
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Side {
    const char *label;
    std::function<bool()> run;
};

// Runs every side once per round, Rounds rounds, the order rotating from
// round to round so that no side always runs first; `between` runs before
// every run. times[side][round] in seconds.
inline std::vector<std::vector<double>> runRounds(const std::vector<Side> &sides,
                                                  const std::function<void()> &between, bool &ok,
                                                  int rounds = Rounds)
{
    std::vector<std::vector<double>> times(sides.size(), std::vector<double>(rounds));
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < sides.size(); ++k) {
            const std::size_t side = (k + std::size_t(round)) % sides.size();
            if (between)
                between();
            times[side][round] = timed(sides[side].run, ok);
        }
    }
    return times;
}

// Prints the medians of two sides and the ratio of every round, so that a
// reader sees the spread; returns the ratio of the medians.
inline double printPair(const char *name, const Side &ours, const std::vector<double> &a,
                        const Side &theirs, const std::vector<double> &b)
{
    const double ratio = median(a) / median(b);
    std::printf("%s: %s median %.3f s, %s median %.3f s, ratio %.3f; rounds:", name, ours.label,
                median(a), theirs.label, median(b), ratio);
    for (std::size_t round = 0; round < a.size(); ++round)
        std::printf(" %.3f", a[round] / b[round]);
    std::printf("\n");
    return ratio;
}

// Runs both sides `rounds` times, interleaved, prints the medians, every
// round's ratio and the closing line; the exit code tells whether every run
// worked.
inline int compare(const char *name, double target, const char *peer,
                   const std::function<bool()> &ours, const std::function<bool()> &theirs,
                   const std::function<void()> &between = {}, int rounds = Rounds)
{
    bool ok = true;
    const std::vector<Side> sides{{"ours", ours}, {peer, theirs}};
    const auto times = runRounds(sides, between, ok, rounds);
    const double ratio = printPair(name, sides[0], times[0], sides[1], times[1]);
    std::printf("%s ratio=%.3f target=%.2f\n", name, ratio, target);
    return ok ? 0 : 1;
}

} // namespace bench
