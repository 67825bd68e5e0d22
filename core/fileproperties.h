#pragma once
// What the program's own properties window shows of a local file or folder:
// name, type, folder, size, dates, permissions and owner, as texts.

#include <QFileDevice>
#include <QString>

#include <cstdint>
#include <vector>

struct FileProperty {
    const char *labelKey; // the key of the row's caption
    QString value;
};

// The rows of the window for path, in order; a path that does not exist
// keeps its name and folder and shows the other rows empty.
std::vector<FileProperty> FileProperties(const QString &path);

// "1.5 KB (1,536 Bytes)" in the system's number format; below 1 KB only
// the bytes.
QString PropertySizeText(std::int64_t bytes, const QString &bytesWord);
// "rwxr-x--- (750)": owner, group and others, then the octal mode.
QString PermissionText(QFileDevice::Permissions permissions);
