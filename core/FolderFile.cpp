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
    const QString path = FolderFilePath(d);
    auto fail = [&](const QString& what) {
        prompter.message(what + QStringLiteral(" occurred in opening the directory file."),
                         QStringLiteral("Fatal Error"), MsgIcon::Critical, MsgButtons::Ok);
        failed = -1;
    };

    const FileReadResult file = ReadWholeFile(path);
    if (!file.ok) {
        fail(file.error);
        return;
    }
    i16 port = 0;
    QString text, mg24, dsp30, paa3, bk2250, ie45;
    TextFieldReader r(file.data);
    r.readInteger(port);
    r.readText(text);
    r.readText(mg24);
    r.readText(dsp30);
    r.readText(paa3);
    r.readText(bk2250);
    r.readText(ie45);
    if (r.failed()) {
        fail(r.errorText() + QStringLiteral(" of ") + QDir::toNativeSeparators(path));
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
