#include "core/mdatabase.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <optional>

QString LanguageTable;

namespace {
const QString ConnectionName = QStringLiteral("LanguageConnection");

// The look-up of the text table it was prepared for, run again for every
// key: preparing costs more than the query itself. Still one query per
// look-up; no text is kept.
std::optional<QSqlQuery> lookUp;
QString lookUpTable;

QString quotedIdentifier(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

bool OpenLanguageDatabase(const QString &path)
{
    CloseLanguageDatabase();
    // A missing file must not be created: open read-only, and only a file.
    if (!QFileInfo(path).isFile())
        return false;
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), ConnectionName);
    db.setDatabaseName(path);
    db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
    if (!db.open()) {
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(ConnectionName);
        return false;
    }
    return true;
}

bool LanguageDatabaseOpen()
{
    return QSqlDatabase::contains(ConnectionName) &&
           QSqlDatabase::database(ConnectionName, false).isOpen();
}

QString GetText(const QString &key)
{
    if (!lookUp || lookUpTable != LanguageTable) {
        if (!QSqlDatabase::contains(ConnectionName))
            return MissingText;
        QSqlDatabase db = QSqlDatabase::database(ConnectionName, false);
        if (!db.isOpen())
            return MissingText;
        lookUp.emplace(db);
        lookUp->setForwardOnly(true);
        if (!lookUp->prepare(QLatin1String("SELECT inhalt FROM ") +
                             quotedIdentifier(LanguageTable) +
                             QLatin1String(" WHERE key = ? LIMIT 1"))) {
            lookUp.reset();
            return MissingText;
        }
        lookUpTable = LanguageTable;
    }
    QSqlQuery &query = *lookUp;
    query.bindValue(0, key);
    if (!query.exec() || !query.next()) {
        query.finish();
        return MissingText;
    }
    const QVariant value = query.value(0);
    query.finish();
    if (value.isNull())
        return MissingText;
    const QString text = value.toString();
    return text.isEmpty() ? MissingText : text;
}

QString GetText(const char *key)
{
    return GetText(QString::fromUtf8(key));
}

void CloseLanguageDatabase()
{
    lookUp.reset();
    lookUpTable.clear();
    if (!QSqlDatabase::contains(ConnectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(ConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(ConnectionName);
}
