#include "core/FolderFile.h"

#include <QDir>

#include "core/TextFields.h"

namespace kov {

QString FolderFilePath(const LumoData& d) { return QDir(d.AppPath).filePath(FolderFileName); }

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

void ReadFolderFile(LumoData& d, Prompter& prompter, i16& failed)
{
    failed = 0;
    i16 port = 0;
    QString text, mg24, dsp30, paa3, bk2250, ie45;
    QString error;
    const bool read = ParseFieldFile(
        FolderFilePath(d),
        [&](TextFieldReader& r) {
            r.readInteger(port);
            for (QString* field : {&text, &mg24, &dsp30, &paa3, &bk2250, &ie45})
                r.readText(*field);
        },
        error);
    if (!read) {
        prompter.message(error + QStringLiteral(" occurred in opening the directory file."),
                         QStringLiteral("Fatal Error"), MsgIcon::Critical, MsgButtons::Ok);
        failed = -1;
        return;
    }
    d.CommPort = port;
    d.CommText = text;
    d.MG24Folder = mg24;
    d.Dsp30Folder = dsp30;
    d.Paa3Folder = paa3;
    d.Bk2250Folder = bk2250;
    d.Ie45Folder = ie45;
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
