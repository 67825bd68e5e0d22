// The platform's local files: the folder search, the places of the drive
// list and the trash.

#include "apphelpers.h"
#include "fakedialogs.h"
#include "localfiles.h"
#include "platform/localfs.h"
#include "platform/places.h"
#include "platform/trash.h"

#include <QDir>
#include <QMap>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace LocalFiles;

namespace {
QMap<QString, LocalFs::FindData>
searchAll(const QString &folder,
          LocalFs::FolderSearch::Mode mode = LocalFs::FolderSearch::Everything)
{
    QMap<QString, LocalFs::FindData> found;
    LocalFs::FolderSearch search(folder, mode);
    LocalFs::FindData d;
    while (search.next(d))
        found.insert(d.name, d);
    return found;
}
} // namespace

class TestLocalFs : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void searchReportsEveryEntryWithDotEntries()
    {
        QTemporaryDir dir;
        QVERIFY(makeFolder(dir.filePath(QStringLiteral("sub"))));
        QVERIFY(makeFolder(dir.filePath(QStringLiteral(".hiddenfolder"))));
        QVERIFY(makeFile(dir.filePath(QStringLiteral("plain.txt")), 10));
        QVERIFY(makeFile(dir.filePath(QStringLiteral(".hidden")), 0));
        QVERIFY(::symlink("nowhere",
                          QFile::encodeName(dir.filePath(QStringLiteral("broken"))).constData()) ==
                0);
        QVERIFY(::symlink("sub",
                          QFile::encodeName(dir.filePath(QStringLiteral("tosub"))).constData()) ==
                0);

        const auto all = searchAll(dir.path());
        QCOMPARE(all.keys(),
                 (QStringList{QStringLiteral("."), QStringLiteral(".."), QStringLiteral(".hidden"),
                              QStringLiteral(".hiddenfolder"), QStringLiteral("broken"),
                              QStringLiteral("plain.txt"), QStringLiteral("sub"),
                              QStringLiteral("tosub")}));
        QCOMPARE(all[QStringLiteral("plain.txt")].attributes, LocalFs::AttrNormal);
        QCOMPARE(all[QStringLiteral("plain.txt")].size, std::int64_t(10));
        QCOMPARE(all[QStringLiteral("sub")].attributes, LocalFs::AttrFolder);
        QCOMPARE(all[QStringLiteral("sub")].size, std::int64_t(0));
        QCOMPARE(all[QStringLiteral("tosub")].attributes, LocalFs::AttrFolder);
        QCOMPARE(all[QStringLiteral(".hidden")].attributes, LocalFs::AttrHidden);
        QCOMPARE(all[QStringLiteral(".hiddenfolder")].attributes,
                 LocalFs::AttrFolder | LocalFs::AttrHidden);
        QCOMPARE(all[QStringLiteral("broken")].attributes & LocalFs::AttrFolder, 0u);

        const auto folders = searchAll(dir.path(), LocalFs::FolderSearch::FoldersOnly);
        QCOMPARE(folders.keys(), (QStringList{QStringLiteral("."), QStringLiteral(".."),
                                              QStringLiteral(".hiddenfolder"),
                                              QStringLiteral("sub"), QStringLiteral("tosub")}));
    }

    void searchOfMissingFolderFails()
    {
        QTemporaryDir dir;
        LocalFs::FolderSearch search(dir.filePath(QStringLiteral("missing")));
        QVERIFY(!search.isOpen());
        LocalFs::FindData d;
        QVERIFY(!search.next(d));
        QVERIFY(makeFile(dir.filePath(QStringLiteral("file"))));
        QVERIFY(!LocalFs::FolderSearch(dir.filePath(QStringLiteral("file"))).isOpen());
    }

    void sizesUseAllBitsAndTimesAreUtc()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.bin"));
        const std::int64_t fiveGiB = 5LL * 1024 * 1024 * 1024;
        QVERIFY(makeFile(big, fiveGiB));
        // 5 March 2012 14:07:09 UTC
        QVERIFY(setTime(big, 1330956429));
        const auto all = searchAll(dir.path());
        QCOMPARE(all[QStringLiteral("big.bin")].size, fiveGiB);
        QCOMPARE(all[QStringLiteral("big.bin")].lastWrite,
                 LocalFs::fileTimeFromUnix(1330956429, 0));
        // 100-ns ticks since 1601: the Unix epoch is 11644473600 seconds later.
        QCOMPARE(LocalFs::fileTimeFromUnix(0, 0), 116444736000000000LL);
        QCOMPARE(LocalFs::fileTimeFromUnix(1, 500), 116444736010000005LL);
    }

    void readOnlyMeansTheUserMayNotWrite()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("locked.txt"));
        QVERIFY(makeFile(file));
        QVERIFY(QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
        const bool userMayWrite = ::access(QFile::encodeName(file).constData(), W_OK) == 0;
        const auto all = searchAll(dir.path());
        // root may write any file, so the bit follows what the user may do.
        QCOMPARE(bool(all[QStringLiteral("locked.txt")].attributes & LocalFs::AttrReadOnly),
                 !userMayWrite);
        QCOMPARE(LocalFs::attributesOf(false, false, false), LocalFs::AttrReadOnly);
        QCOMPARE(LocalFs::attributesOf(true, true, false),
                 LocalFs::AttrFolder | LocalFs::AttrHidden | LocalFs::AttrReadOnly);
    }

    void volumesFromMountTable_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QStringList>("volumes");
        const QByteArray rootLine = "28 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n";
        QTest::newRow("root only") << rootLine << QStringList{};
        QTest::newRow("pseudo file systems")
            << rootLine + "22 28 0:21 / /proc rw - proc proc rw\n"
                          "26 24 0:24 / /dev/shm rw - tmpfs tmpfs rw\n"
                          "40 1 0:40 / /mnt/data rw - overlay overlay rw\n"
                          "41 1 0:41 / /media/u/snap rw - squashfs /dev/loop0 ro\n"
            << QStringList{};
        QTest::newRow("system mount points")
            << rootLine + "30 28 8:1 / /boot rw - ext4 /dev/sda1 rw\n"
                          "31 28 8:2 / /boot/efi rw - vfat /dev/sda2 rw\n"
                          "32 28 8:3 / /var rw - ext4 /dev/sda3 rw\n"
                          "33 28 8:4 / /home rw - ext4 /dev/sda4 rw\n"
                          "34 28 8:5 / /run/user rw - ext4 /dev/sda5 rw\n"
            << QStringList{};
        QTest::newRow("user volumes in table order")
            << rootLine +
                   "50 28 8:17 / /media/u/USB\\040STICK rw,nosuid shared:1 - vfat /dev/sdb1 rw\n"
                   "51 28 8:33 / /mnt/backup rw - ext4 /dev/sdc1 rw\n"
                   "52 28 8:49 / /run/media/u/disk rw - ntfs3 /dev/sdd1 rw\n"
                   "53 28 8:50 / /data rw - xfs /dev/sde1 rw\n"
            << QStringList{QStringLiteral("/media/u/USB STICK"), QStringLiteral("/mnt/backup"),
                           QStringLiteral("/run/media/u/disk"), QStringLiteral("/data")};
        QTest::newRow("bind mounts of a sub-tree and the home folder")
            << rootLine + "60 28 254:0 /srv/x /mnt/bound rw - ext4 /dev/vda rw\n"
                          "61 28 8:1 / /home/u rw - ext4 /dev/sdb1 rw\n"
                          "62 28 8:2 / /home/u/Extra rw - ext4 /dev/sdb2 rw\n"
            << QStringList{QStringLiteral("/home/u/Extra")};
        QTest::newRow("a mount point mounted twice shows once")
            << rootLine + "70 28 8:1 / /mnt/x rw - ext4 /dev/sdb1 rw\n"
                          "71 28 8:2 / /mnt/y rw - ext4 /dev/sdb2 rw\n"
                          "72 70 8:3 / /mnt/x rw - ext4 /dev/sdb3 rw\n"
            << QStringList{QStringLiteral("/mnt/y"), QStringLiteral("/mnt/x")};
        QTest::newRow("damaged lines")
            << QByteArray("garbage\n1 2 3\n\n") + rootLine << QStringList{};
    }
    void volumesFromMountTable()
    {
        QFETCH(QByteArray, table);
        QFETCH(QStringList, volumes);
        QCOMPARE(Places::volumesFromMountInfo(table, QStringLiteral("/home/u")), volumes);
    }

    void placesBeginWithHomeAndRoot()
    {
        TestHome home;
        const QStringList places = Places::list();
        QVERIFY(places.size() >= 2);
        QCOMPARE(places[0], QDir::homePath());
        QCOMPARE(places[1], QStringLiteral("/"));
        QVERIFY(Places::isReady(places[0]));
        QVERIFY(!Places::isReady(home.path() + QLatin1String("/missing")));
        QCOMPARE(Places::rootOf(QStringLiteral("/")), QStringLiteral("/"));
        QCOMPARE(Places::rootOf(QStringLiteral("/mnt/x")), QStringLiteral("/mnt/x/"));
    }

    void driveListRefusesPlacesThatAreNotReady()
    {
        TestHome home;
        DriveListBox box;
        QCOMPARE(box.Drive(), QDir::homePath());
        const QString missing = home.path() + QLatin1String("/gone");
        box.setPlaces({QDir::homePath(), missing, QStringLiteral("/")});
        QVERIFY(!box.setDrive(missing));
        QCOMPARE(box.Drive(), QDir::homePath());
        QVERIFY(!box.setDrive(QStringLiteral("/not-in-the-list")));
        QVERIFY(box.setDrive(QStringLiteral("/")));
        QCOMPARE(box.Drive(), QStringLiteral("/"));
        box.Refresh(); // the shown place stays
        QCOMPARE(box.Drive(), QStringLiteral("/"));
        QCOMPARE(box.itemText(0), QDir::homePath());
    }

    void trashMovesItemsIntoTheHomeTrash()
    {
        TestHome home;
        installScriptedDialogs();
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("a.txt"));
        const QString folder = dir.filePath(QStringLiteral("tree"));
        QVERIFY(makeFile(file, 3));
        QVERIFY(makeFolder(folder + QLatin1String("/inner")));
        QVERIFY(Trash::available(file));
        QCOMPARE(Trash::remove(file, QStringLiteral("?")), Trash::Outcome::Trashed);
        QCOMPARE(Trash::remove(folder, QStringLiteral("?")), Trash::Outcome::Trashed);
        QVERIFY(!QFileInfo::exists(file));
        QVERIFY(!QFileInfo::exists(folder));
        const QString trash =
            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QLatin1String("/Trash");
        QVERIFY(QFileInfo::exists(trash + QLatin1String("/files/a.txt")));
        QVERIFY(QFileInfo::exists(trash + QLatin1String("/files/tree/inner")));
        QCOMPARE(Trash::remove(file, QStringLiteral("?")), Trash::Outcome::Failed);
        setDialogs(nullptr);
    }

    void withoutTrashTheUserDecides_data()
    {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<int>("outcome");
        QTest::newRow("no keeps the item") << false << int(Trash::Outcome::Kept);
        QTest::newRow("yes deletes it for good") << true << int(Trash::Outcome::Deleted);
    }
    void withoutTrashTheUserDecides()
    {
        QFETCH(bool, yes);
        QFETCH(int, outcome);
        TestHome home;
        ScriptedDialogs &boxes = installScriptedDialogs();
        boxes.answers << (yes ? MsgAnswer::Yes : MsgAnswer::No);
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("tree"));
        QVERIFY(makeFolder(folder + QLatin1String("/inner")));
        QVERIFY(makeFile(folder + QLatin1String("/inner/x.txt")));
        Trash::setNoTrashFolderForTests(dir.path());
        QVERIFY(!Trash::available(folder));
        QCOMPARE(int(Trash::remove(folder, QStringLiteral("delete for good?"))), outcome);
        Trash::setNoTrashFolderForTests(QString());
        QCOMPARE(boxes.boxes.size(), 1);
        QCOMPARE(boxes.boxes[0].text, QStringLiteral("delete for good?"));
        QCOMPARE(boxes.boxes[0].buttons, MsgButtons::YesNo);
        QCOMPARE(QFileInfo::exists(folder + QLatin1String("/inner/x.txt")), !yes);
        QCOMPARE(QFileInfo::exists(folder), !yes);
        setDialogs(nullptr);
    }
};

QTEST_MAIN(TestLocalFs)
#include "tst_localfs.moc"
