// 256 MiB through the upload of the local selection against curl -T, each
// pair in the same mode.
//
// A server that keeps the received file on disk spends 15-190 ms (varying
// with the disk's backlog) flushing it when it closes the file, before it
// answers the next command; both clients wait for that, so it tells nothing
// of either and swamps the difference between them. The figure of record is
// therefore taken against a server whose folder lies in memory (/dev/shm),
// where the round is the clients' own work; the on-disk pair is printed
// beside it for reference.

#include "benchprogram.h"
#include "core/upload.h"

#include <QFileInfo>

namespace {

// Starts `server` with its folder in memory when the machine has one.
bool startInMemory(FtpTestServer &server)
{
    const QByteArray tmp = qgetenv("TMPDIR");
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    if (shm.isDir() && shm.isWritable())
        qputenv("TMPDIR", "/dev/shm");
    else
        std::fprintf(stderr, "bench: no /dev/shm, the in-memory server lies on disk\n");
    const bool started = server.start();
    qputenv("TMPDIR", tmp);
    if (!started)
        std::fprintf(stderr, "bench: %s\n", qPrintable(server.error()));
    return started;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    bench::Program p;
    FtpTestServer memory(FtpTestServer::Kind::Vsftpd);
    if (!p.start() || !startInMemory(memory))
        return 1;
    const QString local = p.home.path() + QStringLiteral("/up/");
    if (!bench::makeRandomFile(local + QStringLiteral("big.bin"), 256LL * 1024 * 1024))
        return 1;
    frmLocal::instance().RevealFolder(local, FolderOrder::IgnoreCase);
    frmLocal::instance().ViewFolder(local, QStringLiteral("*.*"));
    const auto ours = [&](const FtpTestServer &to, bool passive) {
        return [&, passive] {
            ConnectFlags = passive ? INTERNET_FLAG_PASSIVE : 0;
            if (!bench::Program::connect(to))
                return false;
            bench::select(frmLocal::instance().lsvDirFile, QStringLiteral("big.bin"));
            UploadSelection();
            return QFileInfo(to.localPath(to.workFolder() + QStringLiteral("/big.bin"))).size() ==
                   256LL * 1024 * 1024;
        };
    };
    const auto curl = [&](const FtpTestServer &to, bool passive) {
        return [&, passive] {
            QStringList args{QStringLiteral("-s"), QStringLiteral("-S")};
            if (!passive)
                args << QStringLiteral("-P") << QStringLiteral("-");
            args << QStringLiteral("-T") << local + QStringLiteral("big.bin")
                 << bench::Program::url(to, QStringLiteral("curl.bin"));
            return bench::run(QStringLiteral("curl"), args);
        };
    };
    const std::vector<bench::Side> sides{{"ours passive", ours(memory, true)},
                                         {"curl -T passive", curl(memory, true)},
                                         {"ours active", ours(memory, false)},
                                         {"curl -T active", curl(memory, false)},
                                         {"ours passive on disk", ours(p.server, true)},
                                         {"curl -T passive on disk", curl(p.server, true)}};
    bool ok = true;
    const auto times = bench::runRounds(
        sides,
        [&] {
            for (const FtpTestServer *s : {&memory, &p.server})
                for (const QString &name : {QStringLiteral("big.bin"), QStringLiteral("curl.bin")})
                    QFile::remove(s->localPath(s->workFolder() + u'/' + name));
        },
        ok, bench::SingleFileRounds);
    bench::printPair("upload on disk", sides[4], times[4], sides[5], times[5]);
    bench::printPair("upload active", sides[2], times[2], sides[3], times[3]);
    const double ratio = bench::printPair("upload passive", sides[0], times[0], sides[1], times[1]);
    std::printf("upload ratio=%.3f target=%.2f\n", ratio, 1.10);
    return ok ? 0 : 1;
}
