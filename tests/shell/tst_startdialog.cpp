// The start dialog: languages from the database, the preselection, OK and
// Cancel, the licence text.

#include "apphelpers.h"
#include "core/mdatabase.h"
#include "shell/frmstart.h"
#include "shell/mdimain.h"

#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTextEdit>

namespace {
// Writes a "languages" table of the given display names (tables t0, t1, ...),
// each text table holding HELLO = its display name.
void writeLanguages(const QString &path, const QStringList &names)
{
    QFile::remove(path);
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("w"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        QVERIFY(
            q.exec(QStringLiteral("CREATE TABLE languages (id INTEGER, name TEXT, display TEXT)")));
        for (int i = 0; i < names.size(); ++i) {
            const QString table = QStringLiteral("t%1").arg(i);
            q.prepare(QStringLiteral("INSERT INTO languages VALUES (?, ?, ?)"));
            q.addBindValue(i + 1);
            q.addBindValue(QStringLiteral("  ") + table + QStringLiteral(" "));
            q.addBindValue(names[i]);
            QVERIFY(q.exec());
            QVERIFY(q.exec(QStringLiteral("CREATE TABLE %1 (key TEXT, inhalt TEXT)").arg(table)));
            q.prepare(QStringLiteral("INSERT INTO %1 VALUES ('HELLO', ?)").arg(table));
            q.addBindValue(QStringLiteral("%1:%2").arg(names[i]).arg(i));
            QVERIFY(q.exec());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("w"));
}
} // namespace

class TestStartDialog : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { resetApplication(); }

    void shippedDatabasePreselectsDeutsch()
    {
        TestHome home;
        TestProgramFolder folder;
        frmStart dlg;
        dlg.Form_Load();
        QCOMPARE(dlg.cboSprache->count(), 4);
        QCOMPARE(dlg.cboSprache->currentIndex(), 2);
        QCOMPARE(dlg.cboSprache->currentText(), QStringLiteral("Deutsch"));
        QVERIFY(!dlg.rtfLizenzvereinbarungen->toPlainText().trimmed().isEmpty());
        dlg.cmdOk_Click();
        QCOMPARE(LanguageTable, QStringLiteral("deutsch"));
        QVERIFY(mdiMain::exists());
        QCOMPARE(mdiMain::instance().mnuMyComputer->title(), QStringLiteral("Mein &Computer"));
        QCOMPARE(dlg.result(), int(QDialog::Accepted));
    }

    // The buttons of Qt's own boxes speak the language chosen here.
    void qtTextsInTheChosenLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("yes");
        QTest::addColumn<QString>("cancel");
        QTest::newRow("Deutsch") << "Deutsch"
                                 << "&Ja"
                                 << "Abbrechen";
        QTest::newRow("Français") << "Français"
                                  << "&Oui"
                                  << "Annuler";
        QTest::newRow("Español") << "Español"
                                 << "&Sí"
                                 << "Cancelar";
        QTest::newRow("English after another language") << "English"
                                                        << "&Yes"
                                                        << "Cancel";
    }
    void qtTextsInTheChosenLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, yes);
        QFETCH(QString, cancel);
        TestHome home;
        TestProgramFolder folder;
        frmStart dlg;
        dlg.Form_Load();
        dlg.cboSprache->setCurrentText(language);
        dlg.cmdOk_Click();
        QMessageBox box;
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), yes);
        QCOMPARE(box.button(QMessageBox::Cancel)->text(), cancel);
    }

    void choice_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("pick");
        QTest::addColumn<QString>("expectedTable");
        QStringList thirty;
        for (int i = 0; i < 35; ++i)
            thirty << QStringLiteral("Sprache %1").arg(i);
        QTest::newRow("row 25 is found") << thirty << 24 << "t24";
        QTest::newRow("last listed row 30") << thirty << 29 << "t29";
        QTest::newRow("duplicate names choose the first")
            << QStringList{"A", "B", "A", "C"} << 2 << "t0";
        QTest::newRow("trailing blanks still match, table trimmed")
            << QStringList{"A", "B ", "C"} << 1 << "t1";
    }

    void choice()
    {
        QFETCH(QStringList, names);
        QFETCH(int, pick);
        QFETCH(QString, expectedTable);
        TestHome home;
        TestProgramFolder folder(false);
        writeLanguages(folder.file(QStringLiteral("lang.db")), names);
        frmStart dlg;
        dlg.Form_Load();
        QCOMPARE(dlg.cboSprache->count(), std::min<int>(30, int(names.size())));
        dlg.cboSprache->setCurrentIndex(pick);
        dlg.cmdOk_Click();
        QCOMPARE(LanguageTable, expectedTable);
    }

    void fewerThanThreeLanguagesSelectNothing()
    {
        TestHome home;
        TestProgramFolder folder(false);
        writeLanguages(folder.file(QStringLiteral("lang.db")), {"A", "B"});
        frmStart dlg;
        dlg.Form_Load();
        QCOMPARE(dlg.cboSprache->currentIndex(), -1);
        dlg.cmdOk_Click();
        QVERIFY(LanguageTable.isEmpty());
    }

    void noDatabaseNoLicence()
    {
        TestHome home;
        TestProgramFolder folder(false);
        frmStart dlg;
        dlg.Form_Load();
        QCOMPARE(dlg.cboSprache->count(), 0);
        QVERIFY(dlg.rtfLizenzvereinbarungen->toPlainText().isEmpty());
        dlg.cmdOk_Click();
        mdiMain &m = mdiMain::instance();
        QCOMPARE(m.mnuMyServer->title(), QStringLiteral("########"));
        QCOMPARE(m.lblAdresse->text(), QStringLiteral("########"));
        QCOMPARE(m.mnuFileExit->text(), QStringLiteral("&Exit"));
        QCOMPARE(m.mnuVerbindungVerbinden->text(), QStringLiteral("&Verbinden"));
        QCOMPARE(m.mnuInfoWebHomepage->text(), QStringLiteral("&Homepage"));
        QCOMPARE(m.mnuInfoInfo->text(), QStringLiteral("&Info"));
    }

    void cancelOpensNoMainWindow()
    {
        TestHome home;
        TestProgramFolder folder;
        frmStart dlg;
        dlg.Form_Load();
        dlg.cmdAbbrechen_Click();
        QCOMPARE(dlg.result(), int(QDialog::Rejected));
        QVERIFY(!mdiMain::exists());
    }
};

QTEST_MAIN(TestStartDialog)
#include "tst_startdialog.moc"
