// Lists a folder of 100,000 files with 100 distinct extensions into the
// local pane's file list with ViewFolder, and the same folder with `ls -l`
// into /dev/null: a warm-up of each, then five rounds each, medians. Prints
// the peak memory (RSS high-water mark) while the pane lists, and ends with
// "local-listing ratio=R target=5.0".

#include "apphelpers.h"
#include "fakedialogs.h"
#include "localpane/frmlocal.h"
#include "platform/listview.h"
#include "shell/mdimain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

extern char **environ;

namespace {

constexpr int FileCount = 100000;
constexpr int Rounds = 5;

// 100 extensions as a user's folders hold them. The four whose files get an
// icon of their own (ico, exe, lnk, cur) are left out: 4,000 such files
// would mean 8,000 icon look-ups, a folder of another kind.
const char *const Extensions[] = {
    "txt",  "pdf", "png",  "jpg",   "jpeg", "gif",  "bmp", "svg",  "mp3",  "wav",    "ogg", "flac",
    "mp4",  "mkv", "avi",  "mov",   "webm", "html", "htm", "css",  "js",   "json",   "xml", "yaml",
    "yml",  "csv", "tsv",  "md",    "rst",  "tex",  "doc", "docx", "xls",  "xlsx",   "ppt", "pptx",
    "odt",  "ods", "odp",  "rtf",   "zip",  "tar",  "gz",  "bz2",  "xz",   "7z",     "rar", "iso",
    "deb",  "rpm", "c",    "h",     "cpp",  "hpp",  "cc",  "py",   "rb",   "pl",     "php", "java",
    "kt",   "go",  "rs",   "swift", "sh",   "bash", "zsh", "sql",  "db",   "sqlite", "log", "ini",
    "conf", "cfg", "toml", "lock",  "bak",  "tmp",  "old", "dat",  "bin",  "img",    "dmg", "dll",
    "so",   "o",   "a",    "class", "jar",  "war",  "ttf", "otf",  "woff", "woff2",  "eps", "ps",
    "ai",   "psd", "xcf",  "webp"};
static_assert(sizeof(Extensions) / sizeof(Extensions[0]) == 100);

bool makeFolder(const QString &dir)
{
    const QByteArray base = QFile::encodeName(dir);
    for (int i = 0; i < FileCount; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "Datei%06d.%s", i, Extensions[i % 100]);
        const int fd = ::openat(AT_FDCWD, (base + '/' + name).constData(),
                                O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0)
            return false;
        if (i % 7 == 0) // a few sizes besides empty files
            (void)!::ftruncate(fd, off_t(i) * 13);
        ::close(fd);
    }
    return true;
}

long statusKiB(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Starts the high-water mark of the resident set afresh at the current size.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

double seconds(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e9;
}

double listWithPane(const QString &dir, long &peakKiB)
{
    frmLocal &pane = frmLocal::instance();
    resetPeak();
    QElapsedTimer t;
    t.start();
    pane.ViewFolder(dir, QStringLiteral("*.*"));
    QCoreApplication::processEvents(); // the views lay the new rows out
    const double s = seconds(t);
    peakKiB = std::max(peakKiB, statusKiB("VmHWM"));
    if (pane.lsvDirFile->count() != FileCount) {
        std::fprintf(stderr, "listed %d entries, expected %d\n", pane.lsvDirFile->count(),
                     FileCount);
        std::exit(1);
    }
    return s;
}

double listWithLs(const QString &dir)
{
    const QByteArray path = QFile::encodeName(dir);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    char ls[] = "ls", dashL[] = "-l";
    char *argv[] = {ls, dashL, const_cast<char *>(path.constData()), nullptr};
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawnp(&pid, "ls", &actions, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "ls could not be started\n");
        std::exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    const double s = seconds(t);
    posix_spawn_file_actions_destroy(&actions);
    return s;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    TestHome home;
    TestProgramFolder program;
    chooseLanguage();
    installScriptedDialogs();
    mdiMain::instance().show();

    QTemporaryDir dir;
    if (!dir.isValid() || !makeFolder(dir.path())) {
        std::fprintf(stderr, "could not make the folder of %d files\n", FileCount);
        return 1;
    }
    std::printf("folder: %d files, 100 extensions, in %s\n", FileCount, qPrintable(dir.path()));

    long peakKiB = 0;
    const long baseKiB = statusKiB("VmRSS");
    listWithLs(dir.path()); // warm-ups: the same folder in the page cache for both
    listWithPane(dir.path(), peakKiB);
    std::vector<double> pane, ls;
    for (int r = 0; r < Rounds; ++r) {
        ls.push_back(listWithLs(dir.path()));
        pane.push_back(listWithPane(dir.path(), peakKiB));
        std::printf("round %d: ViewFolder %.3f s, ls -l %.3f s\n", r + 1, pane.back(), ls.back());
    }
    const double p = median(pane), l = median(ls);
    std::printf("median: ViewFolder %.3f s, ls -l %.3f s\n", p, l);
    std::printf("peak memory while listing: %.1f MB (resident before the first listing %.1f MB)"
                " target < 200 MB\n",
                double(peakKiB) / 1024.0, double(baseKiB) / 1024.0);
    std::printf("local-listing ratio=%.2f target=5.0\n", p / l);
    return 0;
}
