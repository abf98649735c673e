#include "core/FolderFile.h"

#include <QDir>

#include <limits>

#include "core/Numbers.h"
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
    // Older copies read seven fields and stop; a default line setting and an installer never named stay out of the
    // file, so a setup that never set them writes the very file they wrote.
    const bool installer = !d.InstallerCompany.isEmpty() || !d.InstallerName.isEmpty();
    if (installer || !d.CommDevice.isEmpty() || d.CommBaud != DefaultCommBaud) {
        w.text(d.CommDevice);
        w.integer(d.CommBaud);
    }
    if (installer) {
        w.text(d.InstallerCompany);
        w.text(d.InstallerName);
    }
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
    // Absent fields mean the defaults, not whatever the copy held before.
    into.CommDevice.clear();
    into.CommBaud = DefaultCommBaud;
    into.InstallerCompany.clear();
    into.InstallerName.clear();
    if (!r.failed() && !r.atEnd())
        r.readText(into.CommDevice);
    if (!r.failed() && !r.atEnd()) {
        // A rate the port cannot use is still read, so the download can say what is wrong with it; only a value no
        // whole number holds becomes 0, which is no rate either.
        f32 baud = 0;
        if (r.readNumber(baud)) {
            const double rounded = RoundHalfEven(baud, 0);
            const bool fits = rounded >= std::numeric_limits<int>::min() && rounded <= std::numeric_limits<int>::max();
            into.CommBaud = fits ? static_cast<int>(rounded) : 0;
        }
    }
    if (!r.failed() && !r.atEnd())
        r.readText(into.InstallerCompany);
    if (!r.failed() && !r.atEnd())
        r.readText(into.InstallerName);
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
