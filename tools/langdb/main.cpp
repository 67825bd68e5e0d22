// Builds the language database "lang.db" from the text sources of lang/:
// languages.txt (id, text table, display name per line, tab-separated) and
// one file per text table (key, tab, text per line). Blank lines and lines
// starting with '#' are skipped. A text may hold "\n" for a line break.

#include <QCoreApplication>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>
#include <QVariant>

#include <cstdio>

namespace {

bool readRows(const QString &path, int columns, QList<QStringList> &rows)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "langdb: cannot read %s\n", qPrintable(path));
        return false;
    }
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    int lineNo = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNo;
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() < columns) {
            std::fprintf(stderr, "langdb: %s:%d: expected %d tab-separated columns\n",
                         qPrintable(path), lineNo, columns);
            return false;
        }
        while (parts.size() > columns) {
            parts[columns - 1] += QLatin1Char('\t') + parts.takeLast();
        }
        parts.last().replace(QLatin1String("\\n"), QLatin1String("\r\n"));
        rows.append(parts);
    }
    return true;
}

bool exec(QSqlQuery &q, const QString &sql)
{
    if (q.exec(sql))
        return true;
    std::fprintf(stderr, "langdb: %s: %s\n", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: langdb OUT.db languages.txt TEXTDIR\n");
        return 2;
    }
    const QString out = args[1];
    QList<QStringList> languages;
    if (!readRows(args[2], 3, languages))
        return 1;

    QFile::remove(out + QLatin1String(".tmp"));
    {
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("out"));
        db.setDatabaseName(out + QLatin1String(".tmp"));
        if (!db.open())
            return 1;
        QSqlQuery q(db);
        db.transaction();
        if (!exec(q,
                  QStringLiteral("CREATE TABLE languages (id INTEGER, name TEXT, display TEXT)")))
            return 1;
        for (const QStringList &lang : languages) {
            q.prepare(QStringLiteral("INSERT INTO languages VALUES (?, ?, ?)"));
            q.addBindValue(lang[0].toInt());
            q.addBindValue(lang[1]);
            q.addBindValue(lang[2]);
            if (!q.exec())
                return 1;
            QList<QStringList> texts;
            if (!readRows(args[3] + QLatin1Char('/') + lang[1] + QLatin1String(".txt"), 2, texts))
                return 1;
            const QString table = QLatin1Char('"') + lang[1] + QLatin1Char('"');
            if (!exec(q, QLatin1String("CREATE TABLE ") + table +
                             QLatin1String(" (key TEXT, inhalt TEXT)")) ||
                !exec(q, QLatin1String("CREATE INDEX ") + QLatin1String("\"idx_") + lang[1] +
                             QLatin1String("\" ON ") + table + QLatin1String(" (key)")))
                return 1;
            for (const QStringList &row : texts) {
                q.prepare(QLatin1String("INSERT INTO ") + table + QLatin1String(" VALUES (?, ?)"));
                q.addBindValue(row[0]);
                q.addBindValue(row[1]);
                if (!q.exec())
                    return 1;
            }
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("out"));
    QFile::remove(out);
    return QFile::rename(out + QLatin1String(".tmp"), out) ? 0 : 1;
}
