#include "core/SpectrumDatabase.h"

#include <QDir>

#include "core/TextFields.h"

namespace kov {

QString SpectrumDatabasePath(const LumoData& d)
{
    return QDir(d.AppPath).filePath(SpectrumDatabaseFileName);
}

QByteArray SpectrumDatabaseBytes(const LumoData& d)
{
    TextFieldWriter w;
    for (int i = 0; i < SpectrumCount; ++i) {
        w.text(d.SpecName(i));
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            w.number(d.SpecLevel(i, b));
        w.endLine();
    }
    return w.bytes();
}

Parsed<LumoData> ParseSpectrumDatabase(const QByteArray& bytes, LumoData into)
{
    TextFieldReader r(bytes);
    for (int i = 0; i < SpectrumCount; ++i) {
        r.readText(into.SpecName(i));
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            r.readNumber(into.SpecLevel(i, b));
    }
    return r.result(std::move(into));
}

void LoadSpectrumDatabase(LumoData& d, Prompter& prompter, i16& failed)
{
    const std::optional<FileReadError> error = ReadDataFile(SpectrumDatabasePath(d), d, ParseSpectrumDatabase);
    failed = error ? -1 : 0;
    if (error) {
        prompter.message(error->onLineOfFile() + QStringLiteral(" occurred in loading the masking spectrum database."),
                         QStringLiteral("Fatal Error"), MsgIcon::Critical, MsgButtons::Ok);
    }
}

void SaveSpectrumDatabase(const LumoData& d, i16& failed, QString* reason)
{
    failed = SaveWholeFile(SpectrumDatabasePath(d), SpectrumDatabaseBytes(d), nullptr, reason) ? 0 : -1;
}

}  // namespace kov
