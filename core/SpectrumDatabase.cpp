#include "core/SpectrumDatabase.h"

#include <QDir>

#include "core/TextFields.h"

namespace kov {

namespace {

struct SpectrumTable {
    Indexed<QString, 0, 20> names;
    Indexed2<f32, 0, 20, FirstBand, LastBand> levels;
};

}  // namespace

QString SpectrumDatabasePath(const LumoData& d) { return QDir(d.AppPath).filePath(SpectrumDatabaseFileName); }

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

void LoadSpectrumDatabase(LumoData& d, Prompter& prompter, i16& failed)
{
    failed = 0;
    // Read into a copy first: a damaged file must not leave half a database behind.
    SpectrumTable table;
    QString error;
    const bool read = ParseFieldFile(
        SpectrumDatabasePath(d),
        [&table](TextFieldReader& r) {
            for (int i = 0; i < SpectrumCount && !r.failed(); ++i) {
                r.readText(table.names(i));
                for (int b = FirstDataBand; b <= LastDataBand; ++b)
                    r.readNumber(table.levels(i, b));
            }
        },
        error);
    if (!read) {
        prompter.message(error + QStringLiteral(" occurred in loading the masking spectrum database."),
                         QStringLiteral("Fatal Error"), MsgIcon::Critical, MsgButtons::Ok);
        failed = -1;
        return;
    }
    for (int i = 0; i < SpectrumCount; ++i) {
        d.SpecName(i) = table.names(i);
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            d.SpecLevel(i, b) = table.levels(i, b);
    }
}

void SaveSpectrumDatabase(const LumoData& d, i16& failed, QString* reason)
{
    failed = SaveWholeFile(SpectrumDatabasePath(d), SpectrumDatabaseBytes(d), nullptr, reason) ? 0 : -1;
}

}  // namespace kov
