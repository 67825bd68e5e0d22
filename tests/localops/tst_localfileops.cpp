// The file steps of the local context menu on a real temporary folder: the
// copy that never replaces, the delete that spares read-only files, the
// rename made of both, and the tests of names and paths.

#include "localpane/localfileops.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray read(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

mode_t modeOf(const QString &path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

} // namespace

class TestLocalFileOps : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }

    // file.txt ("content", mode 0640, 2011-04-01), empty.txt, ro.txt (0444),
    // folder/, link.txt -> file.txt, dangling -> nowhere
    void makeFiles()
    {
        QVERIFY(write(path("file.txt"), "content"));
        QVERIFY(::chmod(QFile::encodeName(path("file.txt")).constData(), 0640) == 0);
        QFile f(path("file.txt"));
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::fromSecsSinceEpoch(1301616000),
                              QFileDevice::FileModificationTime));
        f.close();
        QVERIFY(write(path("empty.txt"), QByteArray()));
        QVERIFY(write(path("ro.txt"), "read only"));
        QVERIFY(::chmod(QFile::encodeName(path("ro.txt")).constData(), 0444) == 0);
        QVERIFY(QDir().mkdir(path("folder")));
        QVERIFY(QFile::link(QStringLiteral("file.txt"), path("link.txt")));
        QVERIFY(QFile::link(QStringLiteral("nowhere"), path("dangling")));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        makeFiles();
    }
    void cleanup() { m_dir.reset(); }

    void copyFileNoReplace_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QByteArray>("target"); // the target's bytes afterwards
        QTest::newRow("a file") << "file.txt"
                                << "copy.txt" << true << QByteArray("content");
        QTest::newRow("an empty file") << "empty.txt"
                                       << "copy.txt" << true << QByteArray();
        QTest::newRow("a read-only file") << "ro.txt"
                                          << "copy.txt" << true << QByteArray("read only");
        QTest::newRow("onto an existing file") << "file.txt"
                                               << "ro.txt" << false << QByteArray("read only");
        QTest::newRow("onto itself") << "file.txt"
                                     << "file.txt" << false << QByteArray("content");
        QTest::newRow("onto a dangling link") << "file.txt"
                                              << "dangling" << false << QByteArray("<missing>");
        QTest::newRow("a folder") << "folder"
                                  << "copy" << false << QByteArray("<missing>");
        QTest::newRow("a file that is not there") << "missing"
                                                  << "copy.txt" << false << QByteArray("<missing>");
        QTest::newRow("into a folder that is not there")
            << "file.txt"
            << "nothere/copy.txt" << false << QByteArray("<missing>");
        QTest::newRow("a link stays a link") << "link.txt"
                                             << "copy.txt" << true << QByteArray("content");
    }
    void copyFileNoReplace()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(bool, ok);
        QFETCH(QByteArray, target);
        const QStringList before = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::System);
        const QByteArray source = read(path(from));
        QCOMPARE(CopyFileNoReplace(path(from), path(to)), ok);
        QCOMPARE(read(path(to)), target);
        QStringList after = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::System);
        if (!before.contains(to))
            after.removeAll(to);
        QCOMPARE(after, before);            // nothing else made, nothing left behind
        QCOMPARE(read(path(from)), source); // the source is untouched
        if (from == QLatin1String("link.txt"))
            QCOMPARE(QFileInfo(path(to)).symLinkTarget(),
                     QFileInfo(path("file.txt")).absoluteFilePath());
    }

    void copyKeepsModeAndTime()
    {
        QVERIFY(CopyFileNoReplace(path("file.txt"), path("copy.txt")));
        QCOMPARE(modeOf(path("copy.txt")), mode_t(0640));
        QCOMPARE(QFileInfo(path("copy.txt")).lastModified().toSecsSinceEpoch(), 1301616000);
        QVERIFY(CopyFileNoReplace(path("ro.txt"), path("ro copy.txt")));
        QCOMPARE(modeOf(path("ro copy.txt")), mode_t(0444));
    }

    void killFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("ok");
        QTest::newRow("a file") << "file.txt" << true;
        QTest::newRow("a read-only file") << "ro.txt" << false;
        QTest::newRow("a folder") << "folder" << false;
        QTest::newRow("a link (the file it points to stays)") << "link.txt" << true;
        QTest::newRow("a dangling link") << "dangling" << true;
        QTest::newRow("nothing") << "missing" << false;
        QTest::newRow("an empty path") << "" << false;
    }
    void killFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, ok);
        const QString p = name.isEmpty() ? QString() : path(name);
        const bool existed = LocalPathExists(p);
        QCOMPARE(KillFile(p), ok);
        QCOMPARE(LocalPathExists(p), existed && !ok);
        QCOMPARE(read(path("file.txt")), name == QLatin1String("file.txt") ? QByteArray("<missing>")
                                                                           : QByteArray("content"));
    }

    void renameByCopy_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<int>("outcome");
        QTest::newRow("renamed") << "file.txt"
                                 << "new.txt" << int(RenameOutcome::Renamed);
        QTest::newRow("an existing target") << "file.txt"
                                            << "empty.txt" << int(RenameOutcome::CopyFailed);
        QTest::newRow("a folder") << "folder"
                                  << "new" << int(RenameOutcome::CopyFailed);
        QTest::newRow("a read-only file") << "ro.txt"
                                          << "new.txt" << int(RenameOutcome::DeleteFailed);
    }
    void renameByCopy()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        QFETCH(int, outcome);
        const QByteArray bytes = read(path(from));
        const QByteArray target = read(path(to));
        QCOMPARE(int(RenameByCopy(path(from), path(to))), outcome);
        const bool renamed = outcome == int(RenameOutcome::Renamed);
        QCOMPARE(LocalPathExists(path(from)), !renamed);
        QCOMPARE(read(path(to)), renamed ? bytes : target);
        if (outcome == int(RenameOutcome::DeleteFailed))
            QVERIFY(!LocalPathExists(path(to))); // the copy is gone again
    }

    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("a name") << "a.txt" << true;
        QTest::newRow("blanks around it") << "  a.txt " << true;
        QTest::newRow("an option's look") << "-rf" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("dot") << "." << false;
        QTest::newRow("dot dot") << ".." << false;
        QTest::newRow("three dots") << "..." << true;
        QTest::newRow("a separator") << "a/b" << false;
        QTest::newRow("a leading separator") << "/etc" << false;
        QTest::newRow("a NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << false;
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        QCOMPARE(IsPlainLocalName(name), plain);
    }

    void pathExists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::newRow("a file") << "file.txt" << true;
        QTest::newRow("a folder") << "folder" << true;
        QTest::newRow("a folder with its separator") << "folder/" << true;
        QTest::newRow("a file with a separator") << "file.txt/" << false;
        QTest::newRow("a dangling link") << "dangling" << true;
        QTest::newRow("nothing") << "missing" << false;
    }
    void pathExists()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QCOMPARE(LocalPathExists(path(name)), exists);
        QVERIFY(!LocalPathExists(QString()));
    }
};

QTEST_GUILESS_MAIN(TestLocalFileOps)
#include "tst_localfileops.moc"
