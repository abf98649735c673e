#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>

#include "core/TextFields.h"
#include "meters/Workbook.h"
#include "meters/WorkbookFormats.h"

namespace kov {

namespace {

WorkbookError CannotOpen(const QString& reason)
{
    return WorkbookError{WorkbookError::CannotOpen, reason, 0};
}

// Any compound-document file starts so (also a Word file, or an .xlsx saved with a password to open);
// FreeXL tells those apart.
bool IsCompoundFile(const QByteArray& head)
{
    return head.startsWith(QByteArrayLiteral("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"));
}

bool IsZipArchive(const QByteArray& head)
{
    return head.startsWith(QByteArrayLiteral("PK\x03\x04"));
}

// What can be told of a file without reading it; also checked by the program before it starts the reader, so
// that a file that is not there or not a workbook file costs no process.
std::optional<WorkbookError> CheckWorkbookFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return CannotOpen(QStringLiteral("the file does not exist"));
    if (info.isDir())
        return CannotOpen(QStringLiteral("it is a folder"));
    // Opening a pipe waits for a writer, and a device can read forever.
    if (!info.isFile())
        return CannotOpen(QStringLiteral("it is not a file"));
    if (info.size() > MaxWorkbookBytes)
        return CannotOpen(QStringLiteral("the file is too large to be a workbook of levels (over 64 MiB)"));
    return std::nullopt;
}

}  // namespace

WorkbookRead ReadWorkbookHere(const QString& path, const CellBlock& block)
{
    if (std::optional<WorkbookError> refused = CheckWorkbookFile(path))
        return *refused;
    QByteArray head;
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return CannotOpen(file.errorString());
        head = file.read(8);
    }
    if (IsCompoundFile(head))
        return ReadXlsCells(path, block);
    if (!IsZipArchive(head))
        return CannotOpen(QStringLiteral("not an Excel workbook"));

    const FileReadResult file = ReadWholeFile(path, MaxWorkbookBytes);
    if (!file.ok)
        return CannotOpen(file.error);
    return ParseXlsxCells(file.data, block);
}

WorkbookRead ReadWorkbookCells(const QString& path, const CellBlock& block, Clock& clock)
{
    if (std::optional<WorkbookError> refused = CheckWorkbookFile(path))
        return *refused;
    const QString reader = FindWorkbookReader();
    if (reader.isEmpty())
        return CannotOpen(QStringLiteral("the program's workbook reader %1 is missing from %2; installing KOV again "
                                         "puts it back")
                              .arg(WorkbookReaderName(), QDir::toNativeSeparators(WorkbookReaderPlaces().value(0))));
    return ReadWithWorkbookReader(reader, path, block, clock);
}

QString ColumnLetters(int column)
{
    // Bijective base 26: there is no zero digit, so Z is followed by AA.
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'A' + (column - 1) % 26));
    return letters;
}

}  // namespace kov
