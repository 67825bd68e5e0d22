// 256 MiB through the upload of the local selection against curl -T.

#include "benchprogram.h"
#include "core/upload.h"

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    bench::Program p;
    if (!p.start())
        return 1;
    const QString local = p.home.path() + QStringLiteral("/up/");
    if (!bench::makeRandomFile(local + QStringLiteral("big.bin"), 256LL * 1024 * 1024))
        return 1;
    frmLocal::instance().RevealFolder(local, FolderOrder::IgnoreCase);
    frmLocal::instance().ViewFolder(local, QStringLiteral("*.*"));
    const QString work = p.server.localPath(p.server.workFolder());
    return bench::compare(
        "upload", 1.10, "curl -T",
        [&] {
            if (!p.connect())
                return false;
            bench::select(frmLocal::instance().lsvDirFile, QStringLiteral("big.bin"));
            UploadSelection();
            return QFileInfo(work + QStringLiteral("/big.bin")).size() == 256LL * 1024 * 1024;
        },
        [&] {
            return bench::run(QStringLiteral("curl"),
                              {QStringLiteral("-s"), QStringLiteral("-S"), QStringLiteral("-T"),
                               local + QStringLiteral("big.bin"),
                               p.url(QStringLiteral("curl.bin"))});
        },
        [&] {
            QFile::remove(work + QStringLiteral("/big.bin"));
            QFile::remove(work + QStringLiteral("/curl.bin"));
        },
        bench::SingleFileRounds);
}
