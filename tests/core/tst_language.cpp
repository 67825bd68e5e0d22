// The language texts: look-ups by key, and every key the program looks up
// present in every language of the shipped database.

#include "core/mdatabase.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

class TestLanguage : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString m_db;

private Q_SLOTS:
    void initTestCase()
    {
        // A small database of our own with the awkward rows.
        m_db = m_dir.filePath(QStringLiteral("lang.db"));
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("make"));
            db.setDatabaseName(m_db);
            QVERIFY(db.open());
            QSqlQuery q(db);
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE deutsch (key TEXT, inhalt TEXT)")));
            const char *rows[][2] = {{"HELLO", "Hallo"},   {"EMPTY", ""},       {"TWICE", "erste"},
                                     {"TWICE", "zweite"},  {"Datei", "&Datei"}, {"DATEI", "GROSS"},
                                     {"IT'S", "mit Quote"}};
            for (auto &r : rows) {
                q.prepare(QStringLiteral("INSERT INTO deutsch VALUES (?, ?)"));
                q.addBindValue(QString::fromUtf8(r[0]));
                q.addBindValue(QString::fromUtf8(r[1]));
                QVERIFY(q.exec());
            }
            QVERIFY(q.exec(QStringLiteral("INSERT INTO deutsch VALUES ('NULLTEXT', NULL)")));
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE english (key TEXT, inhalt TEXT)")));
            QVERIFY(q.exec(QStringLiteral("INSERT INTO english VALUES ('HELLO', 'Hello')")));
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("make"));
    }

    void getText_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");
        const QString de = QStringLiteral("deutsch");
        QTest::newRow("found") << de << "HELLO"
                               << "Hallo";
        QTest::newRow("missing key") << de << "NOPE"
                                     << "########";
        QTest::newRow("empty text") << de << "EMPTY"
                                    << "########";
        QTest::newRow("null text") << de << "NULLTEXT"
                                   << "########";
        QTest::newRow("no language chosen") << QString() << "HELLO"
                                            << "########";
        QTest::newRow("unknown table") << "klingonisch"
                                       << "HELLO"
                                       << "########";
        QTest::newRow("table name with quote") << "de\"utsch"
                                               << "HELLO"
                                               << "########";
        QTest::newRow("key holding a quote finds its own row") << de << "IT'S"
                                                               << "mit Quote";
        QTest::newRow("key with injection finds nothing") << de << "x' OR '1'='1"
                                                          << "########";
        QTest::newRow("two rows: the first wins") << de << "TWICE"
                                                  << "erste";
        QTest::newRow("mixed-case key") << de << "Datei"
                                        << "&Datei";
        QTest::newRow("upper-case twin is another key") << de << "DATEI"
                                                        << "GROSS";
    }

    void getText()
    {
        QFETCH(QString, table);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        QVERIFY(OpenLanguageDatabase(m_db));
        LanguageTable = table;
        QCOMPARE(GetText(key), expected);
        CloseLanguageDatabase();
    }

    // Many look-ups on one connection, as the program makes them: a missing
    // key does not spoil the next look-up, and a change of language is
    // seen at once.
    void lookUpsInARow()
    {
        QVERIFY(OpenLanguageDatabase(m_db));
        const std::pair<const char *, const char *> steps[] = {
            {"deutsch", "HELLO"}, {"deutsch", "NOPE"},     {"deutsch", "TWICE"},
            {"deutsch", "HELLO"}, {"english", "HELLO"},    {"english", "TWICE"},
            {"missing", "HELLO"}, {"deutsch", "NULLTEXT"}, {"deutsch", "HELLO"}};
        QStringList texts;
        for (const auto &[table, key] : steps) {
            LanguageTable = QString::fromLatin1(table);
            texts << GetText(key);
        }
        QCOMPARE(texts, (QStringList{"Hallo", "########", "erste", "Hallo", "Hello", "########",
                                     "########", "########", "Hallo"}));
        CloseLanguageDatabase();
        QCOMPARE(GetText("HELLO"), QStringLiteral("########"));
    }

    void closedOrMissingDatabaseReadsMarker()
    {
        LanguageTable = QStringLiteral("deutsch");
        CloseLanguageDatabase();
        QCOMPARE(GetText("HELLO"), QStringLiteral("########"));
        CloseLanguageDatabase(); // twice is harmless
        QVERIFY(!OpenLanguageDatabase(m_dir.filePath(QStringLiteral("missing.db"))));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("missing.db"))));
        QCOMPARE(GetText("HELLO"), QStringLiteral("########"));
    }

    void databaseIsReadOnly()
    {
        QVERIFY(OpenLanguageDatabase(m_db));
        QSqlQuery q(QSqlDatabase::database(QStringLiteral("LanguageConnection")));
        QVERIFY(!q.exec(QStringLiteral("DELETE FROM deutsch")));
        CloseLanguageDatabase();
    }

    // Every key that the sources look up has a text in every language.
    void everyKeyInEveryLanguage()
    {
        const QString root = QStringLiteral(QFTP_TEST_SOURCE_DIR "/..");
        // GetText("KEY") and TextKey("KEY"), also with QStringLiteral around the key.
        const QRegularExpression use(QStringLiteral(
            "(?:GetText|TextKey)\\(\\s*(?:QStringLiteral\\()?\"([^\"\\\\]+)\"\\)?\\s*\\)"));
        QSet<QString> keys;
        for (const char *dir : {"core", "shell", "localpane", "serverpane", "platform"}) {
            QDirIterator it(root + QLatin1Char('/') + QLatin1String(dir),
                            {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                            QDirIterator::Subdirectories);
            while (it.hasNext()) {
                QFile f(it.next());
                QVERIFY(f.open(QIODevice::ReadOnly));
                const QString src = QString::fromUtf8(f.readAll());
                for (auto m = use.globalMatch(src); m.hasNext();)
                    keys.insert(m.next().captured(1));
            }
        }
        QVERIFY2(keys.size() > 40, qPrintable(QString::number(keys.size())));

        QVERIFY(OpenLanguageDatabase(QStringLiteral(QFTP_BUILD_PROGRAM_DIR "/lang.db")));
        QStringList tables;
        {
            QSqlQuery q(QSqlDatabase::database(QStringLiteral("LanguageConnection")));
            QVERIFY(q.exec(QStringLiteral("SELECT * FROM languages")));
            while (q.next())
                tables << q.value(1).toString();
        }
        QCOMPARE(tables, (QStringList{"english", "francais", "deutsch", "espanol"}));
        QStringList missing;
        for (const QString &table : tables) {
            LanguageTable = table;
            for (const QString &key : std::as_const(keys))
                if (GetText(key) == MissingText)
                    missing << table + QLatin1Char(':') + key;
        }
        CloseLanguageDatabase();
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
