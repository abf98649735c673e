#include "core/FolderFile.h"

#include <QDir>

#include "core/TextFields.h"

namespace kov {

QString FolderFilePath(const LumoData& d)
{
    return QDir(d.AppPath).filePath(FolderFileName);
}

QByteArray FolderFileBytes(const LumoData& d)
{
    TextFieldWriter w;
    w.integer(d.CommPort);
    w.text(d.CommText);
    w.text(d.MG24Folder);
    w.text(d.Dsp30Folder);
    w.text(d.Paa3Folder);
    w.text(d.Bk2250Folder);
    w.text(d.Ie45Folder);
    w.endLine();
    return w.bytes();
}

Parsed<LumoData> ParseFolderFile(const QByteArray& bytes, LumoData into)
{
    TextFieldReader r(bytes);
    r.readInteger(into.CommPort);
    for (QString* field :
         {&into.CommText, &into.MG24Folder, &into.Dsp30Folder, &into.Paa3Folder, &into.Bk2250Folder, &into.Ie45Folder})
        r.readText(*field);
    return r.result(std::move(into));
}

void ReadFolderFile(LumoData& d, Prompter& prompter, i16& failed)
{
    const std::optional<FileReadError> error = ReadDataFile(FolderFilePath(d), d, ParseFolderFile);
    failed = error ? -1 : 0;
    if (error) {
        prompter.message(error->onLineOfFile() + QStringLiteral(" occurred in opening the directory file."),
                         QStringLiteral("Fatal Error"), MsgIcon::Critical, MsgButtons::Ok);
    }
}

bool WriteFolderFile(const LumoData& d, Prompter& prompter)
{
    QString error;
    if (SaveWholeFile(FolderFilePath(d), FolderFileBytes(d), &error))
        return true;
    prompter.message(error + QStringLiteral(". The port and folder settings could not be saved; they stay in use "
                                            "until KOV is closed."),
                     QStringLiteral("File Error"), MsgIcon::Exclamation, MsgButtons::Ok);
    return false;
}

}  // namespace kov
