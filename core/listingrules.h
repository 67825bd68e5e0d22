#pragma once
// Rules shared by the server and the local listings: extensions, icon keys,
// attribute letters and the type names of one listing.

#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>

// The text after the last "."; the whole name when it holds no "."; empty
// when the name ends in ".".
QString GetExtension(const QString &name);

// The icon key of a file: "z" and its lower-case extension.
QString IconKeyOf(const QString &name);

// Attribute letters in a list's own order. Each letter stands for one bit:
// T 0x100, R 0x1, H 0x2, S 0x4, D 0x10, N 0x80, C 0x800, A 0x20. The order
// text names the letters a list shows, in its order; a letter missing from
// it is not shown.
QString AttributeLetters(std::uint32_t attributes, const QString &order);
namespace LetterOrder {
inline const QString Server = QStringLiteral("TRHSDNCA");
inline const QString Local = QStringLiteral("TRHSNDCA");
inline const QString LocalDelete = QStringLiteral("TRHDSNCA");
inline const QString WithoutFolder = QStringLiteral("TRHSNCA");
} // namespace LetterOrder

// Type names of one listing: the fixed table of the four extensions whose
// files get an icon each (and a running number in their key), and the cache
// of the types asked so far, seeded with the folder type.
class TypeNameCache {
public:
    TypeNameCache();
    // The fixed table's type of a key such as "zexe", if it is one of the four.
    static std::optional<QString> fixedType(const QString &key);
    std::optional<QString> cached(const QString &key) const;
    void add(const QString &key, const QString &type);
    // The running number for the next fixed-table entry, counting up.
    int nextNumber() { return m_number++; }
    // The cache as one text of key=type pairs between bars.
    QString text() const { return m_text; }

private:
    QHash<QString, QString> m_types;
    QString m_text;
    int m_number = 0;
};
