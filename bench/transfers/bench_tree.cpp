// A server tree of 2,000 files of 4 KiB in 200 folders through the recursive
// download against wget -r of the same tree.

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
    const QString wgetTarget = p.home.path() + QStringLiteral("/wget/");
    QDir().mkpath(target);
    QDir().mkpath(wgetTarget);
    frmLocal::instance().RevealFolder(target, FolderOrder::IgnoreCase);
    const auto count = [](const QString &dir) {
        int n = 0;
        for (QDirIterator it(dir, QDir::Files, QDirIterator::Subdirectories); it.hasNext();
             it.next())
            ++n;
        return n;
    };
    return bench::compare(
        "tree", 2.0, "wget -r",
        [&] { return p.downloadSelected(QStringLiteral("tree")) && count(target) == 2000; },
        [&] {
            return bench::run(QStringLiteral("wget"),
                              {QStringLiteral("-r"), QStringLiteral("-q"), QStringLiteral("-nH"),
                               QStringLiteral("-l"), QStringLiteral("inf"),
                               p.url(QStringLiteral("tree/"))},
                              wgetTarget) &&
                   count(wgetTarget) == 2000;
        },
        [&] {
            QDir(target + QStringLiteral("tree")).removeRecursively();
            QDir(wgetTarget).removeRecursively();
            QDir().mkpath(wgetTarget);
        });
}
