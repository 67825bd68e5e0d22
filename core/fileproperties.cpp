#include "core/fileproperties.h"

#include "core/mdatabase.h"
#include "platform/desktop.h"
#include "platform/localpath.h"
#include "platform/pure/bytename.h"
#include "platform/shellinfo.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

namespace {

QString timeText(const QDateTime &time)
{
    return time.isValid() ? QLocale::system().toString(time.toLocalTime(), QLocale::ShortFormat)
                          : QString();
}

// The type by the file's name (path), its kind from what info found there.
QString typeText(const QFileInfo &info, const QString &path)
{
    if (info.isDir())
        return GetText("FOLDER");
    const QString name = ShellInfo::typeName(path);
    return name.isEmpty() ? Desktop::contentType(path) : name;
}

QString ownerText(const QFileInfo &info)
{
    const QString owner = info.owner().isEmpty() ? QString::number(info.ownerId()) : info.owner();
    const QString group = info.group().isEmpty() ? QString::number(info.groupId()) : info.group();
    return owner + QLatin1Char(':') + group;
}

} // namespace

QString PropertySizeText(std::int64_t bytes, const QString &bytesWord)
{
    const QLocale locale = QLocale::system();
    const QString exact = locale.toString(qlonglong(bytes)) + QLatin1Char(' ') + bytesWord;
    if (bytes < 1024)
        return exact;
    return locale.formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat) +
           QLatin1String(" (") + exact + QLatin1Char(')');
}

QString PermissionText(QFileDevice::Permissions p)
{
    struct Bit {
        QFileDevice::Permission permission;
        char letter;
        int octal;
    };
    static const Bit bits[] = {
        {QFileDevice::ReadOwner, 'r', 0400}, {QFileDevice::WriteOwner, 'w', 0200},
        {QFileDevice::ExeOwner, 'x', 0100},  {QFileDevice::ReadGroup, 'r', 040},
        {QFileDevice::WriteGroup, 'w', 020}, {QFileDevice::ExeGroup, 'x', 010},
        {QFileDevice::ReadOther, 'r', 04},   {QFileDevice::WriteOther, 'w', 02},
        {QFileDevice::ExeOther, 'x', 01},
    };
    QString letters;
    int mode = 0;
    for (const Bit &b : bits) {
        const bool set = p.testFlag(b.permission);
        letters += set ? QLatin1Char(b.letter) : QLatin1Char('-');
        mode |= set ? b.octal : 0;
    }
    return letters + QLatin1String(" (") +
           QString::number(mode, 8).rightJustified(3, QLatin1Char('0')) + QLatin1Char(')');
}

std::vector<FileProperty> FileProperties(const QString &path)
{
    const QString clean = QDir::cleanPath(path);
    const QFileInfo named(clean); // the name and folder, as text only
    // The item itself, also where its name's bytes are not valid UTF-8.
    const LocalPath::QtPath item(clean);
    const QFileInfo info(item.path());
    // The root "/" has no name of its own: it is its own name, in no folder.
    const bool root = named.fileName().isEmpty();
    std::vector<FileProperty> rows{
        {TextKey("FRMPROPERTIES_NAME"), ByteName::shown(root ? clean : named.fileName())},
        {TextKey("FRMPROPERTIES_TYPE"), {}},
        {TextKey("FRMPROPERTIES_FOLDER"), root ? QString() : ByteName::shown(named.absolutePath())},
        {TextKey("FRMPROPERTIES_SIZE"), {}},
        {TextKey("FRMPROPERTIES_CHANGED"), {}},
        {TextKey("FRMPROPERTIES_ACCESSED"), {}},
        {TextKey("FRMPROPERTIES_CREATED"), {}},
        {TextKey("FRMPROPERTIES_RIGHTS"), {}},
        {TextKey("FRMPROPERTIES_OWNER"), {}},
    };
    if (item.path().isEmpty() || !info.exists())
        return rows;
    rows[1].value = typeText(info, clean);
    // A folder's size would mean walking all of it; the row stays empty.
    if (!info.isDir())
        rows[3].value = PropertySizeText(info.size(), GetText("FRMPROPERTIES_BYTES"));
    rows[4].value = timeText(info.lastModified());
    rows[5].value = timeText(info.lastRead());
    rows[6].value = timeText(info.birthTime());
    rows[7].value = PermissionText(info.permissions());
    rows[8].value = ownerText(info);
    return rows;
}
