// 256 MiB through the recursive download of the server selection against
// curl -o.

#include "benchprogram.h"
#include "core/download.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    bench::Program p;
    if (!p.start())
        return 1;
    const QString work = p.server.localPath(p.server.workFolder());
    if (!bench::makeRandomFile(work + QStringLiteral("/big.bin"), 256LL * 1024 * 1024))
        return 1;
    const QString target = p.home.path() + QStringLiteral("/down/");
    QDir().mkpath(target);
    frmLocal::instance().RevealFolder(target, FolderOrder::IgnoreCase);
    return bench::compare(
        "download", 1.10, "curl -o",
        [&] {
            return p.downloadSelected(QStringLiteral("big.bin")) &&
                   QFileInfo(target + QStringLiteral("big.bin")).size() == 256LL * 1024 * 1024;
        },
        [&] {
            return bench::run(QStringLiteral("curl"),
                              {QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("-o"),
                               target + QStringLiteral("curl.bin"),
                               p.url(QStringLiteral("big.bin"))});
        },
        [&] {
            QFile::remove(target + QStringLiteral("big.bin"));
            QFile::remove(target + QStringLiteral("curl.bin"));
        },
        bench::SingleFileRounds);
}
