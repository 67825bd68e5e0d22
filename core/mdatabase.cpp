#include "core/mdatabase.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

QString LanguageTable;

namespace {
const QString ConnectionName = QStringLiteral("LanguageConnection");

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
    if (!QSqlDatabase::contains(ConnectionName))
        return MissingText;
    QSqlDatabase db = QSqlDatabase::database(ConnectionName, false);
    if (!db.isOpen())
        return MissingText;
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QLatin1String("SELECT inhalt FROM ") + quotedIdentifier(LanguageTable) +
                       QLatin1String(" WHERE key = ? LIMIT 1")))
        return MissingText;
    query.addBindValue(key);
    if (!query.exec() || !query.next())
        return MissingText;
    const QVariant value = query.value(0);
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
    if (!QSqlDatabase::contains(ConnectionName))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(ConnectionName, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(ConnectionName);
}
