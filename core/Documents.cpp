#include "core/Documents.h"

#include <QDir>
#include <QFileInfo>

namespace kov {

namespace {

const QString CheckFolders = QStringLiteral("). Wrong Folder? Check Databases-FileFolders.");

}  // namespace

const QList<ProgramDocument>& ProgramDocuments()
{
    // The messages name the file that is really looked for and what opens it here, not Word or Excel.
    static const QList<ProgramDocument> documents{
        {QStringLiteral("GoMaskSheet"), QStringLiteral("Mask.pdf"), QStringLiteral("Could not find MASK.PDF in "),
         CheckFolders},
        {QStringLiteral("GoExcelSheet"), QStringLiteral("KOV.XLS"),
         QStringLiteral("Could not find a spreadsheet program (or KOV.XLS in "),
         QStringLiteral(").  Wrong Folder? Check Databases-FileFolders.")},
        {QStringLiteral("GoHelp"), QStringLiteral("KOVTutr.pdf"),
         QStringLiteral("Could not find a PDF viewer (or KOVTUTR.PDF in "), CheckFolders},
        {QStringLiteral("GoManual"), QStringLiteral("KOVMan.pdf"), QStringLiteral("Could not find KOVMan.pdf in "),
         QStringLiteral("). Wrong Folder?")},
        {QStringLiteral("GoMeter"), QStringLiteral("MeterDownloads.pdf"),
         QStringLiteral("Could not find a PDF viewer (or MeterDownloads.pdf) in "), CheckFolders},
        {QStringLiteral("GoDA2500Use"), QStringLiteral("DA2500Lumo.pdf"),
         QStringLiteral("Could not find a PDF viewer (or DA2500Lumo.pdf) in "), CheckFolders},
        {QStringLiteral("GoDU3001Use"), QStringLiteral("DU3001Lumo.pdf"),
         QStringLiteral("Could not find a PDF viewer (or DU3001Lumo.pdf) in "), CheckFolders},
        {QStringLiteral("GoMG24Use"), QStringLiteral("MG24Lumo.pdf"),
         QStringLiteral("Could not find a PDF viewer (or MG24Lumo.pdf) in "), CheckFolders},
    };
    return documents;
}

const ProgramDocument* ProgramDocumentOf(const QString& item)
{
    for (const ProgramDocument& document : ProgramDocuments()) {
        if (document.item == item)
            return &document;
    }
    return nullptr;
}

QString ProgramDocumentPath(const LumoData& d, const ProgramDocument& document)
{
    return QDir(d.AppPath).filePath(document.fileName);
}

Message ProgramDocumentFailure(const LumoData& d, const ProgramDocument& document)
{
    return {document.before + QDir::toNativeSeparators(d.AppPath) + document.after, QString(), MsgIcon::Critical};
}

bool OpenProgramDocument(const LumoData& d, Prompter& prompter, const QString& item)
{
    const ProgramDocument* document = ProgramDocumentOf(item);
    if (document == nullptr)
        return false;
    const QString path = ProgramDocumentPath(d, *document);
    if (prompter.openDocument(path))
        return true;
    // The document is there but nothing on this computer opens it: "Could not find" it would send the installer
    // looking for a file that is in its place.
    if (QFileInfo(path).isFile()) {
        const bool workbook = document->fileName.endsWith(QStringLiteral(".XLS"), Qt::CaseInsensitive);
        ShowMessage(prompter,
                    {QStringLiteral("%1 is in %2, but no program on this computer opens it. Install %3 and try again.")
                         .arg(document->fileName, QDir::toNativeSeparators(d.AppPath),
                              workbook ? QStringLiteral("a spreadsheet program (for example LibreOffice Calc)")
                                       : QStringLiteral("a PDF viewer (for example Evince or Okular)")),
                     QString(), MsgIcon::Critical});
        return false;
    }
    ShowMessage(prompter, ProgramDocumentFailure(d, *document));
    return false;
}

bool OpenManual(const LumoData& d, Prompter& prompter)
{
    return OpenProgramDocument(d, prompter, QStringLiteral("GoManual"));
}

}  // namespace kov
