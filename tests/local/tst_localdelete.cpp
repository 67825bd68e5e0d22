// The local delete on a temporary home folder: the question, the trash, the
// log lines, the progress bar and the relisting, also where an item fails
// or its file system has no trash.

#include "apphelpers.h"
#include "bytefiles.h"
#include "core/mdatabase.h"
#include "fakedialogs.h"
#include "localfiles.h"
#include "localpane/frmlocal.h"
#include "localpane/mshelldelete.h"
#include "localpanetest.h"
#include "platform/keys.h"
#include "platform/listview.h"
#include "platform/trash.h"
#include "platform/treeview.h"
#include "platform/ui.h"
#include "shell/frmtransferhistory.h"
#include "shell/mdimain.h"

#include <QComboBox>
#include <QDir>
#include <QProgressBar>
#include <QStandardPaths>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>

#include <memory>

using namespace LocalFiles;
using namespace LocalPaneTest;

namespace {
const QColor Green(0, 200, 0), Red(200, 0, 0);

void select(const QStringList &names)
{
    ListView *list = pane().lsvDirFile;
    for (int i = 0; i < list->count(); ++i)
        list->setSelected(i, names.contains(list->text(i)));
}

QString trashed(const QString &name)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/Trash/files/") + name;
}
} // namespace

class TestLocalDelete : public QObject {
    Q_OBJECT
    std::unique_ptr<TestHome> m_home;
    std::unique_ptr<TestProgramFolder> m_program;
    ScriptedDialogs *m_dialogs = nullptr;
    int m_logStart = 0;

    QString home(const QString &relative) const
    {
        return QDir::homePath() + QLatin1Char('/') + relative;
    }
    // Makes the files, loads the pane on the home folder and selects names.
    void load(const QStringList &files, const QStringList &folders, const QStringList &selected)
    {
        for (const QString &f : files)
            QVERIFY(makeFile(home(f), 5));
        for (const QString &f : folders)
            QVERIFY(makeFolder(home(f + QLatin1String("/inner"))));
        mdiMain::instance().show();
        QVERIFY(QTest::qWaitForWindowExposed(&mdiMain::instance()));
        select(selected);
        m_logStart = int(logLines().size());
    }
    QList<std::pair<QString, QColor>> newLines() const { return logLines().mid(m_logStart); }

private Q_SLOTS:
    void init()
    {
        m_home = std::make_unique<TestHome>();
        m_program = std::make_unique<TestProgramFolder>();
        chooseLanguage();
        m_dialogs = &installScriptedDialogs();
    }
    void cleanup()
    {
        Trash::setNoTrashFolderForTests(QString());
        mShellDelete::ResetShellDeleteState();
        resetApplication();
        m_program.reset();
        m_home.reset();
    }

    void noDeletesNothing_data()
    {
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("object");
        QTest::addColumn<QString>("after");
        QTest::newRow("one item named")
            << QStringList{QStringLiteral("a.txt")} << QStringLiteral("MSDEL_ASKONE1")
            << QStringLiteral(" \"a.txt\" ") << QStringLiteral("MSDEL_ASKONE2");
        QTest::newRow("several counted")
            << QStringList{QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("Sub")}
            << QStringLiteral("MSDEL_ASKMANY1") << QStringLiteral(" 3 ")
            << QStringLiteral("MSDEL_ASKMANY2");
    }
    void noDeletesNothing()
    {
        QFETCH(QStringList, selected);
        QFETCH(QString, before);
        QFETCH(QString, object);
        QFETCH(QString, after);
        const QString question = GetText(before) + object + GetText(after);
        load({QStringLiteral("a.txt"), QStringLiteral("b.txt")}, {QStringLiteral("Sub")}, selected);
        m_dialogs->answers << MsgAnswer::No;
        DeleteLocalSelection();
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QCOMPARE(m_dialogs->boxes[0].text, question);
        QCOMPARE(m_dialogs->boxes[0].buttons, MsgButtons::YesNo);
        for (const char *f : {"a.txt", "b.txt", "Sub/inner"})
            QVERIFY(QFileInfo::exists(home(QLatin1String(f))));
        const auto lines = newLines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].first, GetText("MSDEL_CANCELLED"));
        QCOMPARE(lines[0].second, Red);
        QCOMPARE(listNames().size(), 3);
    }

    void nothingSelectedAsksNothing()
    {
        load({QStringLiteral("a.txt")}, {}, {});
        DeleteLocalSelection();
        QCOMPARE(m_dialogs->boxes.size(), 0);
        QVERIFY(QFileInfo::exists(home(QStringLiteral("a.txt"))));
    }

    void yesMovesOneItemToTheTrash()
    {
        load({QStringLiteral("a.txt"), QStringLiteral("b.txt")}, {}, {QStringLiteral("a.txt")});
        m_dialogs->answers << MsgAnswer::Yes;
        DeleteLocalSelection();
        QVERIFY(!QFileInfo::exists(home(QStringLiteral("a.txt"))));
        QVERIFY(QFileInfo::exists(trashed(QStringLiteral("a.txt"))));
        const auto lines = newLines();
        QCOMPARE(lines.size(), 1);
        QCOMPARE(lines[0].first, GetText("MSDEL_TRASHED") + QLatin1String(" a.txt"));
        QCOMPARE(lines[0].second, Green);
        // The home trash is below the home folder, hence .local.
        QCOMPARE(listNames(), (QStringList{QStringLiteral(".local"), QStringLiteral("b.txt")}));
        QVERIFY(!Ui::isHourglass());
    }

    void severalItemsAndTheRelisting()
    {
        load({QStringLiteral("a.txt"), QStringLiteral("B.txt"), QStringLiteral("c.txt"),
              QStringLiteral("keep.txt")},
             {QStringLiteral("Sub"), QStringLiteral("dir"), QStringLiteral("Z")},
             {QStringLiteral("a.txt"), QStringLiteral("c.txt"), QStringLiteral("Sub")});
        m_dialogs->answers << MsgAnswer::Yes;
        DeleteLocalSelection();
        const auto lines = newLines();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].first, QStringLiteral("Aktion: Beginne mit löschen"));
        QCOMPARE(lines[0].second, QColor(Qt::black));
        QStringList items;
        for (int i = 1; i < 4; ++i) {
            QCOMPARE(lines[i].second, Green);
            items << lines[i].first.mid(GetText("MSDEL_TRASHED").size() + 1);
        }
        QCOMPARE(QSet<QString>(items.begin(), items.end()),
                 (QSet<QString>{QStringLiteral("Sub"), QStringLiteral("a.txt"),
                                QStringLiteral("c.txt")}));
        QVERIFY(QFileInfo::exists(trashed(QStringLiteral("Sub/inner"))));
        // The delete's own listing: by character code, its letter order.
        QCOMPARE(listNames(),
                 (QStringList{QStringLiteral(".local"), QStringLiteral("Z"), QStringLiteral("dir"),
                              QStringLiteral("B.txt"), QStringLiteral("keep.txt")}));
        QCOMPARE(int(mShellDelete::ShellDeleteEntries().size()), 5);
        QCOMPARE(pane().lsvDirFile->subItem(0, 4), QStringLiteral("HD"));
        QCOMPARE(pane().lsvDirFile->subItem(1, 4), QStringLiteral("D"));
        QCOMPARE(pane().lsvDirFile->subItem(3, 4), QStringLiteral("N"));
        QProgressBar *bar = mdiMain::instance().pgbBottom;
        QCOMPARE(bar->maximum(), 3);
        QCOMPARE(bar->value(), 0);
    }

    void aFailingItemDoesNotStopTheOthers()
    {
        load({QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")}, {},
             {QStringLiteral("a.txt"), QStringLiteral("b.txt"), QStringLiteral("c.txt")});
        // b.txt goes away behind the list's back, so it cannot be moved.
        QVERIFY(QFile::remove(home(QStringLiteral("b.txt"))));
        m_dialogs->answers << MsgAnswer::Yes;
        DeleteLocalSelection();
        const auto lines = newLines();
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0].first, QStringLiteral("Aktion: Beginne mit löschen"));
        const QList<std::pair<QString, QColor>> expected{
            {GetText("MSDEL_TRASHED") + QLatin1String(" a.txt"), Green},
            {GetText("MSDEL_FAILED") + QLatin1String(" b.txt"), Red},
            {GetText("MSDEL_TRASHED") + QLatin1String(" c.txt"), Green}};
        QCOMPARE(lines.mid(1), expected);
        QVERIFY(QFileInfo::exists(trashed(QStringLiteral("c.txt"))));
        QCOMPARE(listNames(), QStringList{QStringLiteral(".local")});
    }

    void deletesInTheFolderTheListShows()
    {
        // A folder typed into the path combo becomes the current one, not
        // Docs, selected before, which holds a file of the same name.
        QVERIFY(makeFolder(home(QStringLiteral("a/b/c"))));
        QVERIFY(makeFolder(home(QStringLiteral("Docs"))));
        load({QStringLiteral("Docs/same.txt"), QStringLiteral("a/b/c/same.txt")},
             {QStringLiteral("Docs")}, {});
        frmLocal &p = pane();
        p.trwPaths->selectNode(p.trwPaths->node(home(QStringLiteral("Docs/"))));
        p.cboLocal->setEditText(home(QStringLiteral("a/b/c")));
        p.cboLocal_Click();
        QCOMPARE(p.trwPaths->selectedNode(), p.trwPaths->node(home(QStringLiteral("a/b/c/"))));
        QCOMPARE(CurrentLocalFolder(), home(QStringLiteral("a/b/c/")));
        select({QStringLiteral("same.txt")});
        m_dialogs->answers << MsgAnswer::Yes;
        DeleteLocalSelection();
        QVERIFY(!QFileInfo::exists(home(QStringLiteral("a/b/c/same.txt"))));
        QVERIFY(QFileInfo::exists(home(QStringLiteral("Docs/same.txt"))));
        QCOMPARE(listNames(), QStringList{});
    }

    void withoutTrashTheUserIsAskedPerItem()
    {
        load({QStringLiteral("gone.txt"), QStringLiteral("kept.txt")}, {},
             {QStringLiteral("gone.txt"), QStringLiteral("kept.txt")});
        Trash::setNoTrashFolderForTests(QDir::homePath());
        m_dialogs->answers << MsgAnswer::Yes << MsgAnswer::Yes << MsgAnswer::No;
        DeleteLocalSelection();
        QCOMPARE(m_dialogs->boxes.size(), 3);
        QCOMPARE(m_dialogs->boxes[1].text, GetText("MSDEL_NOTRASH1") + QLatin1String(" \"") +
                                               home(QStringLiteral("gone.txt")) +
                                               QLatin1String("\" ") + GetText("MSDEL_NOTRASH2"));
        QVERIFY(!QFileInfo::exists(home(QStringLiteral("gone.txt"))));
        QVERIFY(!QFileInfo::exists(trashed(QStringLiteral("gone.txt"))));
        QVERIFY(QFileInfo::exists(home(QStringLiteral("kept.txt"))));
        const QList<std::pair<QString, QColor>> expected{
            {QStringLiteral("Aktion: Beginne mit löschen"), QColor(Qt::black)},
            {GetText("MSDEL_DELETED") + QLatin1String(" gone.txt"), Green},
            {GetText("MSDEL_KEPT") + QLatin1String(" kept.txt"), Red}};
        QCOMPARE(newLines(), expected);
        QCOMPARE(listNames(), QStringList{QStringLiteral("kept.txt")});
    }

    // Names that a lossy decoding would show alike: each row deletes its own
    // item, by its bytes, into the trash or for good.
    void eachRowDeletesItsOwnBytes_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<bool>("trash");
        QTest::newRow("Latin-1 name to the trash") << ByteFiles::Latin1Name << true;
        QTest::newRow("U+FFFD name to the trash") << ByteFiles::ReplacementName << true;
        QTest::newRow("Latin-1 folder to the trash") << QByteArray("d\xe9") << true;
        QTest::newRow("Latin-1 name for good") << ByteFiles::Latin1Name << false;
        QTest::newRow("Latin-1 folder for good") << QByteArray("d\xe9") << false;
    }
    void eachRowDeletesItsOwnBytes()
    {
        using namespace ByteFiles;
        QFETCH(QByteArray, target);
        QFETCH(bool, trash);
        const QByteArray dir = QFile::encodeName(QDir::homePath()) + '/';
        const QByteArray latin1Folder("d\xe9"), replacementFolder("d\xef\xbf\xbd");
        const QList<QByteArray> all{Latin1Name, ReplacementName, latin1Folder, replacementFolder};
        QVERIFY(writeBytes(dir + Latin1Name, "latin1"));
        QVERIFY(writeBytes(dir + ReplacementName, "replacement"));
        for (const QByteArray &folder : {latin1Folder, replacementFolder}) {
            QVERIFY(::mkdir(dir + folder, 0755) == 0);
            QVERIFY(writeBytes(dir + folder + "/x\xe9", folder));
        }
        load({}, {}, {carried(target)});
        QCOMPARE(pane().lsvDirFile->selectedCount(), 1);
        if (!trash)
            Trash::setNoTrashFolderForTests(QDir::homePath());
        m_dialogs->answers << MsgAnswer::Yes << MsgAnswer::Yes;
        DeleteLocalSelection();

        QVERIFY(!present(dir + target));
        for (const QByteArray &other : all)
            if (other != target)
                QVERIFY2(present(dir + other), other.constData());
        QCOMPARE(
            readBytes(dir + Latin1Name == dir + target ? dir + ReplacementName : dir + Latin1Name),
            target == Latin1Name ? QByteArray("replacement") : QByteArray("latin1"));
        const QByteArray trashFolder = QFile::encodeName(QStandardPaths::writableLocation(
                                           QStandardPaths::GenericDataLocation)) +
                                       "/Trash/";
        QCOMPARE(present(trashFolder + "files/" + target), trash);
        if (trash) {
            const QByteArray info = readBytes(trashFolder + "info/" + target + ".trashinfo");
            const qsizetype at = info.indexOf("\nPath=") + 6;
            QVERIFY2(at > 5, info.constData());
            const QByteArray path = info.mid(at, info.indexOf('\n', at) - at);
            QCOMPARE(QByteArray::fromPercentEncoding(path), dir + target);
        }
        const QString verb = GetText(trash ? "MSDEL_TRASHED" : "MSDEL_DELETED");
        QCOMPARE(newLines().last().first,
                 verb + QLatin1Char(' ') + ByteName::shown(carried(target)));
    }

    // A link goes to the trash as the link, wherever it leads or whether it
    // leads anywhere; what it points to stays.
    void linksGoToTheTrashThemselves_data()
    {
        QTest::addColumn<QByteArray>("target");
        QTest::newRow("a dangling link") << QByteArray("nowhere");
        QTest::newRow("a link to itself") << QByteArray("link");
        QTest::newRow("a link to a device") << QByteArray("/dev/null");
        QTest::newRow("a link to a file") << QByteArray("kept.txt");
    }
    void linksGoToTheTrashThemselves()
    {
        QFETCH(QByteArray, target);
        QVERIFY(makeFile(home(QStringLiteral("kept.txt")), 5));
        const QByteArray link = QFile::encodeName(home(QStringLiteral("link")));
        QVERIFY(::symlink(target.constData(), link.constData()) == 0);
        load({}, {}, {QStringLiteral("link")});
        QCOMPARE(pane().lsvDirFile->selectedCount(), 1);
        m_dialogs->answers << MsgAnswer::Yes;
        DeleteLocalSelection();

        struct stat st {};
        QVERIFY(::lstat(link.constData(), &st) != 0);
        const QByteArray inTrash = QFile::encodeName(trashed(QStringLiteral("link")));
        QVERIFY(::lstat(inTrash.constData(), &st) == 0 && S_ISLNK(st.st_mode));
        QCOMPARE(QFile::symLinkTarget(trashed(QStringLiteral("link"))).isEmpty(), false);
        QCOMPARE(QFileInfo(home(QStringLiteral("kept.txt"))).size(), 5);
        QVERIFY(QFileInfo::exists(QStringLiteral("/dev/null")));
        QCOMPARE(newLines().last().first, GetText("MSDEL_TRASHED") + QLatin1String(" link"));
        QCOMPARE(newLines().last().second, Green);
    }

    // One busy rule: while another operation runs, the Delete key of the
    // list deletes nothing and asks nothing; the delete itself counts as an
    // operation from its question on, so nothing else starts meanwhile.
    void deleteObeysTheBusyRule()
    {
        load({"a.txt", "b.txt"}, {}, {"a.txt"});
        {
            const BusyScope other;
            pane().lsvDirFile_KeyDown(Keys::Delete, Qt::NoModifier);
        }
        QVERIFY(m_dialogs->boxes.isEmpty());
        QVERIFY(QFile::exists(home("a.txt")));

        m_dialogs->answers << MsgAnswer::Yes;
        pane().lsvDirFile_KeyDown(Keys::Delete, Qt::NoModifier);
        QCOMPARE(m_dialogs->boxes.size(), 1);
        QVERIFY(m_dialogs->boxes[0].busy);
        QVERIFY(!QFile::exists(home("a.txt")));
        QVERIFY(!Ui::isBusy());
    }
};

QTEST_MAIN(TestLocalDelete)
#include "tst_localdelete.moc"
