#include "spectra/SpectrumEntry.h"

#include "core/Numbers.h"
#include "core/Tables.h"
#include "core/TextValue.h"

namespace kov {

namespace {

constexpr int FirstRequiredOctaveBox = 2;    // 250 Hz
constexpr int LastRequiredOctaveBox = 6;     // 4000 Hz
constexpr int FirstRequiredRelativeBox = 2;  // 200 Hz
constexpr int LastRequiredRelativeBox = 16;  // 5000 Hz
constexpr f32 TargetAWeight = 47;

f32 R1(f32 x)
{
    return RoundSingle(x, 1);
}

f32 RelativeAWeight(const LumoData& d, const RelativeLevels& r)
{
    BandArray row;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        row(b) = r(b);
    i16 low = FirstDataBand;
    i16 high = LastDataBand;
    return AWeightedLevelOf(d, row, low, high);
}

}  // namespace

OctaveBoxEntry LeaveOctaveBox(int box, const QString& text)
{
    const f32 v = RoundSingle(static_cast<f32>(BasicVal(text)), 0);
    if (v > 99)
        return {std::nullopt, QStringLiteral("0"),
                QStringLiteral("The sound level must be less then 100 dB. Re-enter.")};
    if (v < 10 && box >= FirstRequiredOctaveBox && box <= LastRequiredOctaveBox)
        return {std::nullopt, QStringLiteral("0"), QStringLiteral("The sound level must be 10 dB or more. Re-enter.")};
    return {v, text, QString()};
}

bool OctaveDataMissing(const OctaveLevels& o)
{
    for (int box = FirstRequiredOctaveBox; box <= LastRequiredOctaveBox; ++box) {
        if (o(OctaveBoxBand(box)) == 0)
            return true;
    }
    return false;
}

void OctaveToThirdOctave(OctaveLevels& o, SpectraEdit& e, int s)
{
    auto L = [&](int b) -> f32& { return e.SpecLevelEdit(s, b); };
    // A one-third-octave band holds a third of its octave's energy: 5 dB less, near enough.
    for (int b = 21; b <= 39; b += 3)
        o(b) = o(b) > 10 ? o(b) - 5 : 0;
    for (int c = 27; c <= 36; c += 3) {
        const f32 step = (o(c) - o(c - 3)) / 3;
        L(c) = R1(o(c));
        L(c - 1) = R1(o(c) - step);
        L(c - 2) = R1(o(c) - 2 * step);
        L(c - 3) = R1(o(c - 3));
    }
    f32 step = 0;
    // Without the edge octaves the spectrum goes on with a typical masking slope.
    if (o(21) == 0) {
        o(21) = o(24) + 3;
        step = -1;
    } else {
        step = (o(24) - o(21)) / 3;
    }
    L(22) = R1(o(24) - 2 * step);
    L(23) = R1(o(24) - step);
    if (o(39) == 0) {
        o(39) = o(36) - 6;
        step = -2;
    } else {
        step = (o(39) - o(36)) / 3;
    }
    L(37) = R1(o(36) + step);
    L(38) = R1(o(36) + 2 * step);
    L(39) = R1(o(39));
}

QString RelativeFocusNote(const LumoData& d, int box)
{
    if (box == 1)
        return RelativeOpenNote;
    return QStringLiteral(" Enter a relative level at") + PlainNumber(d.BandFreq(RelativeBoxBand(box))) +
           QStringLiteral(".");
}

RelativeBoxEntry LeaveRelativeBox(const LumoData& d, int box, const QString& text)
{
    const i16 v = SingleToI16(static_cast<f32>(BasicVal(text)));
    const QString freq = NumberText(d.BandFreq(RelativeBoxBand(box)));
    if (v > 99) {
        return {std::nullopt, QString(),
                QStringLiteral("The relative level must be less than 100 dB at") + freq +
                    QStringLiteral(" Hz.. Re-enter.")};
    }
    if (v < -99) {
        return {std::nullopt, QString(),
                QStringLiteral("The relative level must be greater than -100 dB.at") + freq +
                    QStringLiteral(" Hz.. Re-enter.")};
    }
    if (text.trimmed().isEmpty())
        return {};
    return {static_cast<f32>(v), FormatNumber(v, v < 0 ? QStringLiteral(" #0") : QStringLiteral("+#0")), QString()};
}

bool RelativeDataMissing(const RelativeBoxes& boxes)
{
    for (int box = FirstRequiredRelativeBox; box <= LastRequiredRelativeBox; ++box) {
        if (boxes(box).trimmed().isEmpty())
            return true;
    }
    return false;
}

void EstimateRelativeEdges(RelativeLevels& r, const RelativeBoxes& boxes)
{
    if (boxes(1).trimmed().isEmpty())
        r(22) = r(23) + 1;
    if (boxes(17).trimmed().isEmpty())
        r(38) = r(37) - 3;
    if (boxes(18).trimmed().isEmpty())
        r(39) = r(38) - 3;
}

int NormaliseRelative(const LumoData& d, RelativeLevels& r)
{
    auto shift = [&r](f32 delta) {
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            r(b) += delta;
    };
    int steps = 0;
    f32 a = RelativeAWeight(d, r);
    if (a < TargetAWeight) {
        while (a < TargetAWeight) {
            shift(1);
            ++steps;
            a = RelativeAWeight(d, r);
        }
    } else if (a > TargetAWeight) {
        while (a > TargetAWeight) {
            shift(-1);
            --steps;
            a = RelativeAWeight(d, r);
        }
    }
    return steps;
}

void RelativeToSpectrum(const LumoData& d, RelativeLevels& r, const RelativeBoxes& boxes, SpectraEdit& e, int s)
{
    EstimateRelativeEdges(r, boxes);
    NormaliseRelative(d, r);
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        e.SpecLevelEdit(s, b) = R1(r(b));
}

}  // namespace kov
