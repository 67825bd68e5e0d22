// A server tree of 2,000 files of 4 KiB in 200 folders through the recursive
// download, in passive and in active mode, each against wget -r in the same
// mode; lftp's mirror (passive) runs beside them as a second peer. The
// passive pair is the figure of record.

#include "benchprogram.h"
#include "core/download.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    bench::Program p;
    if (!p.start())
        return 1;
    const QString work = p.server.localPath(p.server.workFolder());
    for (int d = 0; d < 200; ++d)
        for (int f = 0; f < 10; ++f)
            if (!bench::makeRandomFile(
                    work +
                        QStringLiteral("/tree/d%1/f%2.dat").arg(d, 3, 10, QLatin1Char('0')).arg(f),
                    4096))
                return 1;
    const QString target = p.home.path() + QStringLiteral("/down/");
    const QString peerTarget = p.home.path() + QStringLiteral("/peer/");
    QDir().mkpath(target);
    QDir().mkpath(peerTarget);
    frmLocal::instance().RevealFolder(target, FolderOrder::IgnoreCase);
    const auto count = [](const QString &dir) {
        int n = 0;
        for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();
             it.next())
            ++n;
        return n;
    };
    const auto ours = [&](bool passive) {
        return [&, passive] {
            ConnectFlags = passive ? INTERNET_FLAG_PASSIVE : 0;
            return p.downloadSelected(QStringLiteral("tree")) && count(target) == 2000;
        };
    };
    const auto wget = [&](bool passive) {
        return [&, passive] {
            QStringList args{QStringLiteral("-r"), QStringLiteral("-q"), QStringLiteral("-nH"),
                             QStringLiteral("-l"), QStringLiteral("inf")};
            if (!passive)
                args << QStringLiteral("--no-passive-ftp");
            args << p.url(QStringLiteral("tree/"));
            return bench::run(QStringLiteral("wget"), args, peerTarget) &&
                   count(peerTarget) == 2000;
        };
    };
    const auto lftp = [&] {
        const QString script = QStringLiteral("set ftp:passive-mode on; mirror %1/tree tree; quit")
                                   .arg(p.server.workFolder());
        return bench::run(QStringLiteral("lftp"),
                          {QStringLiteral("-u"), p.server.user() + u',' + p.server.password(),
                           QStringLiteral("-p"), QString::number(p.server.port()),
                           QStringLiteral("-e"), script, p.server.host()},
                          peerTarget) &&
               count(peerTarget) == 2000;
    };
    const std::vector<bench::Side> sides{{"ours passive", ours(true)},
                                         {"wget -r passive", wget(true)},
                                         {"ours active", ours(false)},
                                         {"wget -r active", wget(false)},
                                         {"lftp mirror passive", lftp}};
    bool ok = true;
    const auto times = bench::runRounds(
        sides,
        [&] {
            QDir(target + QStringLiteral("tree")).removeRecursively();
            QDir(peerTarget).removeRecursively();
            QDir().mkpath(peerTarget);
        },
        ok);
    bench::printPair("tree active", sides[2], times[2], sides[3], times[3]);
    bench::printPair("tree lftp", sides[0], times[0], sides[4], times[4]);
    const double ratio = bench::printPair("tree passive", sides[0], times[0], sides[1], times[1]);
    std::printf("tree ratio=%.3f target=%.2f\n", ratio, 2.0);
    return ok ? 0 : 1;
}
