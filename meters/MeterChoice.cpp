#include "meters/MeterChoice.h"

#include <QDir>

namespace kov {

namespace {

// The folder rule the exports share with the EQ files: an empty folder is the program's own, and a folder always
// ends in a separator, so that a file name can be put straight after it.
QString& SettleFolder(QString& folder, const QString& appPath, bool trimBeforeTest)
{
    const bool empty = trimBeforeTest ? folder.trimmed().isEmpty() : folder.isEmpty();
    if (empty)
        folder = appPath;
    if (!folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += QDir::separator();
    return folder;
}

Message NoFile(const QString& text, MsgIcon icon = MsgIcon::Information)
{
    return {text, QStringLiteral("File Error"), icon};
}

}  // namespace

MeterFileChoice ChooseMeterFile(LumoData& d, DownloadSource source)
{
    const QString title = QStringLiteral("File to Retrieve");
    switch (source) {
        case DownloadSource::Dsp30:
            return {{title, SettleFolder(d.Dsp30Folder, d.AppPath, true), QStringLiteral("DSP30Files|*.txt"),
                     QStringLiteral("txt")},
                    NoFile(QStringLiteral("No DSP30 file has been chosen"))};
        case DownloadSource::Bk2250:
            // The meter's software writes .xlsx today, and only an .xlsx keeps the results of formula cells.
            return {{title, SettleFolder(d.Bk2250Folder, d.AppPath, true), QStringLiteral("B&K2250|*.xls;*.xlsx"),
                     QStringLiteral("txt")},
                    NoFile(QStringLiteral("No B&K2250 file has been chosen"))};
        case DownloadSource::Ie45:
            return {{title, SettleFolder(d.Ie45Folder, d.AppPath, false), QStringLiteral("Ivie-45 Files |*.ivi"),
                     QStringLiteral("ivi")},
                    NoFile(QStringLiteral("No file has been chosen"))};
        case DownloadSource::Paa3:
            return {{title, SettleFolder(d.Paa3Folder, d.AppPath, true), QStringLiteral("PAA3Files|*.paa"),
                     QStringLiteral("paa")},
                    NoFile(QStringLiteral("No PHONIC file has been chosen"))};
        case DownloadSource::Excel:
        case DownloadSource::None:
        case DownloadSource::Ld824:
            break;
    }
    return {{QStringLiteral("Choose File to Retrieve - NOT KOV"), d.AppPath,
             QStringLiteral("Excel Workbook |*.XLS;*.xlsx"), QStringLiteral("XLS")},
            NoFile(QStringLiteral("No Excel file was chosen. Try again."), MsgIcon::Critical)};
}

QString RecordRangeCaption(DownloadSource source)
{
    return source == DownloadSource::Paa3 ? QStringLiteral("PAA3 Files to Extract")
                                          : QStringLiteral("LD824 Files to Extract");
}

}  // namespace kov
