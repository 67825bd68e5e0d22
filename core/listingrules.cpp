#include "core/listingrules.h"

QString GetExtension(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.mid(dot + 1);
}

QString IconKeyOf(const QString &name)
{
    return QLatin1Char('z') + GetExtension(name).toLower();
}

QString AttributeLetters(std::uint32_t attributes, const QString &order)
{
    QString letters;
    for (const QChar c : order) {
        std::uint32_t bit = 0;
        switch (c.unicode()) {
        case 'T':
            bit = 0x100;
            break;
        case 'R':
            bit = 0x1;
            break;
        case 'H':
            bit = 0x2;
            break;
        case 'S':
            bit = 0x4;
            break;
        case 'D':
            bit = 0x10;
            break;
        case 'N':
            bit = 0x80;
            break;
        case 'C':
            bit = 0x800;
            break;
        case 'A':
            bit = 0x20;
            break;
        default:
            break;
        }
        if (bit && (attributes & bit))
            letters += c;
    }
    return letters;
}

namespace {
const QHash<QString, QString> &fixedTable()
{
    static const QHash<QString, QString> table{
        {QStringLiteral("zico"), QStringLiteral("Symbol")},
        {QStringLiteral("zexe"), QStringLiteral("Anwendung")},
        {QStringLiteral("zlnk"), QStringLiteral("Verknüpfung")},
        {QStringLiteral("zcur"), QStringLiteral("Cursor")}};
    return table;
}
} // namespace

TypeNameCache::TypeNameCache() : m_text(QStringLiteral("|Folder=Dateiordner|"))
{
    m_types.insert(QStringLiteral("Folder"), QStringLiteral("Dateiordner"));
}

std::optional<QString> TypeNameCache::fixedType(const QString &key)
{
    const auto it = fixedTable().constFind(key);
    if (it == fixedTable().constEnd())
        return std::nullopt;
    return *it;
}

std::optional<QString> TypeNameCache::cached(const QString &key) const
{
    const auto it = m_types.constFind(key);
    if (it == m_types.constEnd())
        return std::nullopt;
    return *it;
}

void TypeNameCache::add(const QString &key, const QString &type)
{
    if (!m_types.contains(key))
        m_types.insert(key, type);
    m_text += key + QLatin1Char('=') + type + QLatin1Char('|');
}
