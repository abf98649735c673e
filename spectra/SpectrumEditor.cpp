#include "spectra/SpectrumEditor.h"

#include "core/Numbers.h"
#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "core/TextValue.h"

namespace kov {

SpectraEdit CopySpectra(const LumoData& d)
{
    SpectraEdit e;
    for (int s = BackgroundSpectrum; s <= LastSpectrum; ++s) {
        e.SpecNameEdit(s) = d.SpecName(s);
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            e.SpecLevelEdit(s, b) = d.SpecLevel(s, b);
    }
    return e;
}

void StoreSpectra(LumoData& d, const SpectraEdit& e)
{
    for (int s = BackgroundSpectrum; s <= LastSpectrum; ++s) {
        d.SpecName(s) = e.SpecNameEdit(s);
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            d.SpecLevel(s, b) = e.SpecLevelEdit(s, b);
    }
}

BandArray SpectrumRow(const SpectraEdit& e, int s)
{
    BandArray row;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        row(b) = e.SpecLevelEdit(s, b);
    return row;
}

BandArray NeutralLevels()
{
    static constexpr f32 contour[] = {49.0f, 47.3f, 45.7f, 44.0f, 42.3f, 40.7f, 39.0f, 37.3f, 35.7f,
                                      34.0f, 32.3f, 30.7f, 29.0f, 27.3f, 25.7f, 24.0f, 22.3f, 20.7f};
    BandArray levels;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        levels(b) = contour[b - FirstDataBand];
    return levels;
}

QString BandLabel(const LumoData& d, int band)
{
    return PlainNumber(d.BandFreq(band));
}

QString LevelText(f32 level)
{
    return PlainNumber(level);
}

QString ShownAWeightText(const LumoData& d, const SpectraEdit& e, int s)
{
    if (e.SpecLevelEdit(s, FirstDataBand) <= 0)
        return {};
    return AWeightText(d, e, s);
}

QString AWeightText(const LumoData& d, const SpectraEdit& e, int s)
{
    i16 low = FirstDataBand;
    i16 high = LastDataBand;
    return FormatNumber(AWeightedLevel(d, s, low, high, e.SpecLevelEdit), QStringLiteral("## dBA"));
}

LevelCellEntry LeaveLevelCell(const LumoData& d, int band, const QString& text)
{
    const f32 v = RoundSingle(static_cast<f32>(BasicVal(text)), 1);
    if (v >= 1 && v <= 99)
        return {v, LevelText(v), std::nullopt};
    return {0, QStringLiteral("0"),
            QStringLiteral("The sound level at ") + PlainNumber(d.BandFreq(band)) +
                QStringLiteral(" Hz was outside the range 1 to 99. Reenter.")};
}

bool StepSpectrum(SpectraEdit& e, int s, int delta)
{
    if (e.SpecNameEdit(s) == EmptySpectrumName)
        return false;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        e.SpecLevelEdit(s, b) += static_cast<f32>(delta);
    return true;
}

void DeleteSpectrum(SpectraEdit& e, int s)
{
    e.SpecNameEdit(s) = EmptySpectrumName;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        e.SpecLevelEdit(s, b) = 0;
}

QString SpectrumNameFromBox(const QString& text)
{
    return text.trimmed().left(SpectrumNameLength);
}

bool IsFreeSlot(const QString& name)
{
    return name.trimmed() == EmptySpectrumName;
}

QString SelectionNote(const SpectraEdit& e, int s)
{
    if (IsFreeSlot(e.SpecNameEdit(s))) {
        return QStringLiteral(
            "ENTRY OPTIONS:\nEnter spectrum data directly into the table.\n"
            "Press Enter Octave Band Spectrum.\nPress Enter Relative Spectrum.");
    }
    if (s > BackgroundSpectrum)
        return QStringLiteral(
            "Modify the chosen spectrum or choose Empty to enter an octave band or relative spectrum.");
    return QStringLiteral(" The recommended background level is 39 or 40 dBA.");
}

QString NameFocusNote(bool newSpectrum)
{
    return newSpectrum
               ? QStringLiteral("Enter a description of the new spectrum, then adjust the overall level to 47 dBA.")
               : QStringLiteral("You may change the description of the spectrum.");
}

std::optional<MissingPoint> FindMissingPoint(const LumoData& d, const SpectraEdit& e, int from)
{
    for (int s = from; s <= LastSpectrum; ++s) {
        if (IsFreeSlot(e.SpecNameEdit(s)))
            continue;
        for (int b = FirstDataBand; b <= LastDataBand; ++b) {
            if (e.SpecLevelEdit(s, b) == 0) {
                return MissingPoint{s, b,
                                    QStringLiteral("The masking spectrum ") + d.SpecName(s) +
                                        QStringLiteral(" has a data point missing at ") + PlainNumber(d.BandFreq(b)) +
                                        QStringLiteral(" Hz.  Yes to correct data. No to delete spectrum.")};
            }
        }
    }
    return std::nullopt;
}

std::optional<Message> RestoreBackgroundName(SpectraEdit& e)
{
    if (e.SpecNameEdit(BackgroundSpectrum) == BackgroundName)
        return std::nullopt;
    e.SpecNameEdit(BackgroundSpectrum) = BackgroundName;
    return Message{QStringLiteral("The background spectrum title was changed or deleted. It has been re-entered."),
                   DataErrorTitle, MsgIcon::Critical};
}

std::optional<UnnamedData> FindUnnamedData(const SpectraEdit& e)
{
    for (int s = 1; s <= LastSpectrum; ++s) {
        const QString name = e.SpecNameEdit(s).trimmed();
        if (name != EmptySpectrumName && !name.isEmpty())
            continue;
        for (int b = FirstDataBand; b <= LastDataBand; ++b) {
            if (e.SpecLevelEdit(s, b) != 0) {
                return UnnamedData{s, b,
                                   Message{QStringLiteral("There are data in masking spectrum number") +
                                               NumberText(static_cast<f32>(s)) +
                                               QStringLiteral(" but no title or an Empty title. Please correct."),
                                           DataErrorTitle, MsgIcon::Critical}};
            }
        }
    }
    return std::nullopt;
}

Message SaveFailedMessage(const QString& reason)
{
    return Message{QStringLiteral("The spectrum database file could not be written (") + reason +
                       QStringLiteral("). Nothing was saved; your changes are still in the window."),
                   QStringLiteral("File Error"), MsgIcon::Critical};
}

}  // namespace kov
