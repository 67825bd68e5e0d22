// The temporary folder "tempqvenk": its candidates, the checks that keep it
// private, and the placeholder files made in it.

#include "core/serverlisting.h"
#include "platform/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Points the cache and the system's temporary folder at folders of a test.
class TempEnvironment {
public:
    TempEnvironment() : m_oldCache(qgetenv("XDG_CACHE_HOME")), m_oldTmp(qgetenv("TMPDIR"))
    {
        QDir().mkpath(cache());
        QDir().mkpath(tmp());
        qputenv("XDG_CACHE_HOME", cache().toUtf8());
        qputenv("TMPDIR", tmp().toUtf8());
    }
    ~TempEnvironment()
    {
        qputenv("XDG_CACHE_HOME", m_oldCache);
        qputenv("TMPDIR", m_oldTmp);
    }
    QString cache() const { return m_dir.path() + QLatin1String("/cache"); }
    QString tmp() const { return m_dir.path() + QLatin1String("/tmp"); }
    QString cacheFolder() const { return cache() + QLatin1String("/tempqvenk"); }
    QString tmpFolder() const
    {
        return tmp() + QLatin1String("/tempqvenk-") + QString::number(::geteuid());
    }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldCache, m_oldTmp;
};

int modeOf(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class TestTempFolder : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void candidatesInOrder()
    {
        const TempEnvironment env;
        QCOMPARE(TempFolder::candidates(), (QStringList{env.cacheFolder(), env.tmpFolder()}));
        // Without an XDG cache folder the home's ".cache" is the first.
        qunsetenv("XDG_CACHE_HOME");
        QCOMPARE(TempFolder::candidates().value(0), QDir::homePath() + "/.cache/tempqvenk");
    }

    // What stands at the cache candidate decides which folder is used.
    void candidateChecks_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("cacheUsed");
        QTest::newRow("missing: made private") << "missing" << true;
        QTest::newRow("missing with its cache folder") << "no cache folder" << true;
        QTest::newRow("own folder others may read: made private") << "0755" << true;
        QTest::newRow("own folder others may write") << "0777" << false;
        QTest::newRow("own folder its group may write") << "0770" << false;
        QTest::newRow("another user's folder") << "foreign" << false;
        QTest::newRow("a link to a private folder") << "link" << false;
        QTest::newRow("a file in its place") << "file" << false;
    }
    void candidateChecks()
    {
        QFETCH(QString, state);
        QFETCH(bool, cacheUsed);
        const TempEnvironment env;
        const QByteArray folder = QFile::encodeName(env.cacheFolder());
        if (state == QLatin1String("no cache folder")) {
            QDir(env.cache()).removeRecursively();
        } else if (state.startsWith(QLatin1Char('0'))) {
            QVERIFY(QDir().mkdir(env.cacheFolder()));
            QCOMPARE(::chmod(folder.constData(), mode_t(state.toInt(nullptr, 8))), 0);
        } else if (state == QLatin1String("foreign")) {
            if (::geteuid() != 0)
                QSKIP("giving a folder to another user needs root");
            QVERIFY(QDir().mkdir(env.cacheFolder()));
            QCOMPARE(::chmod(folder.constData(), 0700), 0);
            QCOMPARE(::chown(folder.constData(), 65534, 65534), 0);
        } else if (state == QLatin1String("link")) {
            const QString target = env.cache() + QLatin1String("/elsewhere");
            QVERIFY(QDir().mkdir(target));
            QVERIFY(QFile::link(target, env.cacheFolder()));
        } else if (state == QLatin1String("file")) {
            QFile f(env.cacheFolder());
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString path = GetTempFilePath(QStringLiteral("a.txt"));
        const QString used = cacheUsed ? env.cacheFolder() : env.tmpFolder();
        QCOMPARE(path, used + QLatin1String("/a.txt"));
        QVERIFY(QFileInfo(path).isFile());
        QCOMPARE(QFileInfo(path).size(), 0);
        QCOMPARE(modeOf(used), 0700);
        if (state == QLatin1String("foreign") || state == QLatin1String("0777"))
            QVERIFY(!QFileInfo::exists(env.cacheFolder() + QLatin1String("/a.txt")));
    }

    void noCandidateWorks()
    {
        const TempEnvironment env;
        for (const QString &folder : {env.cacheFolder(), env.tmpFolder()}) {
            QVERIFY(QDir().mkdir(folder));
            QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0777), 0);
        }
        QCOMPARE(GetTempFilePath(QStringLiteral("a.txt")), QString());
    }

    void existingFileKeepsItsContents()
    {
        const TempEnvironment env;
        const QString path = GetTempFilePath(QStringLiteral("doc.txt"));
        QVERIFY(!path.isEmpty());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("fetched");
        f.close();
        QCOMPARE(GetTempFilePath(QStringLiteral("doc.txt")), path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("fetched"));
    }

    // A name from a server is only ever a file name inside the folder.
    void namesThatLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("a path up") << "../escaped.txt";
        QTest::newRow("an absolute path") << "/escaped.txt";
        QTest::newRow("a sub-folder") << "sub/x.txt";
        QTest::newRow("a NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    }
    void namesThatLeaveTheFolder()
    {
        QFETCH(QString, name);
        const TempEnvironment env;
        QCOMPARE(GetTempFilePath(name), QString());
        QVERIFY(!QFileInfo::exists(env.cache() + QLatin1String("/escaped.txt")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/escaped.txt")));
    }

    void linkInTheFolderIsNotFollowed()
    {
        const TempEnvironment env;
        QVERIFY(!GetTempFilePath(QStringLiteral("first")).isEmpty());
        const QString outside = env.cache() + QLatin1String("/outside.txt");
        QVERIFY(QFile::link(outside, env.cacheFolder() + QLatin1String("/trap.txt")));
        // The cache folder cannot make it; the next candidate does.
        QCOMPARE(GetTempFilePath(QStringLiteral("trap.txt")), env.tmpFolder() + "/trap.txt");
        QVERIFY(!QFileInfo::exists(outside));
    }
};

QTEST_GUILESS_MAIN(TestTempFolder)
#include "tst_tempfolder.moc"
