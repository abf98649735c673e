#include "report/EqualizationReport.h"

#include <QStringList>

#include "core/Numbers.h"
#include "core/PagingFigures.h"
#include "core/PagingPresets.h"
#include "core/Tables.h"
#include "core/Verdict.h"

namespace kov {

namespace {

using LineEnd = ReportCanvas::LineEnd;

// Raised by the helpers below on the first canvas failure so the report can stop wherever it stands.
struct PrintFailed {};

constexpr double RegularSize = 9.75;
constexpr double HeadingSize = 12;
constexpr double TitleSize = 16;
// The proof of a channel fits between its settings and the block below only a size smaller.
constexpr double ProofSize = 8;

void Check(const ReportCanvas& canvas)
{
    if (!canvas.failure().isEmpty())
        throw PrintFailed{};
}

void Print(ReportCanvas& canvas, const QString& text, LineEnd end = LineEnd::End)
{
    canvas.print(text, end);
    Check(canvas);
}

// A centred line starts half its printed width (fraction dropped) left of the centre.
void PrintCentred(ReportCanvas& canvas, const ReportLayout& layout, const QString& text)
{
    canvas.setCurrentX(layout.ReportCentre - canvas.textWidth(text) / 2);
    Print(canvas, text);
}

void PrintAt(ReportCanvas& canvas, int x, const QString& text)
{
    canvas.setCurrentX(x);
    Print(canvas, text);
}

void SetFont(ReportCanvas& canvas, double size, bool bold)
{
    canvas.setFontSize(size);
    canvas.setFontBold(bold);
}

// Numbers printed as numbers carry a blank (or their minus) in front and a blank behind.
QString PrintedNumber(f32 x)
{
    return NumberText(x) + QLatin1Char(' ');
}

// A whole-decibel level, rounded half to even as every level display of the program is.
QString PrintedWholeLevel(f32 x)
{
    return PrintedNumber(static_cast<f32>(SingleToI16(x)));
}

inline const QString Hertz = QStringLiteral("Hz");
inline const QString Decibels = QStringLiteral("dB");

// One row of a table: the items side by side at their columns, then its unit one column further on, where the
// table's columns leave room, and the line ended after it.
template <typename Item>
void PrintRow(ReportCanvas& canvas, int firstBand, int lastBand, int step, const QString& unit, Item&& item)
{
    int previous = 0;
    int last = 0;
    for (int b = firstBand; b <= lastBand; b += step) {
        const auto [x, text] = item(b);
        previous = last;
        last = x;
        canvas.setCurrentX(x);
        Print(canvas, text, LineEnd::Stay);
    }
    canvas.setCurrentX(last + (last - previous));
    Print(canvas, unit);
}

QString Str(f32 x)
{
    return NumberText(x);
}

// The gain to set, in whole decibels with its sign: "+3 dB.", "-3 dB.", " 0 dB." (a change that rounds to nothing
// reads as none, whichever way it leaned).
QString GainText(f32 gain)
{
    const double shown = RoundHalfEven(gain, 0);
    if (shown > 0)
        return FormatNumber(shown, QStringLiteral("+#0 dB."));
    if (shown < 0)
        return FormatNumber(shown, QStringLiteral("#0 dB."));
    return QStringLiteral(" 0 dB.");
}

// Under the header, who commissioned the system. The font and the position the header leaves are restored, so
// every line after it stands where it stands without one.
void PrintInstaller(ReportCanvas& canvas, const LumoData& d, const ReportLayout& layout)
{
    QStringList who;
    for (const QString& part : {d.InstallerCompany.trimmed(), d.InstallerName.trimmed()})
        if (!part.isEmpty())
            who << part;
    if (who.isEmpty())
        return;
    const int y = canvas.currentY();
    SetFont(canvas, RegularSize, false);
    PrintCentred(canvas, layout, QStringLiteral("Installer: ") + who.join(QStringLiteral(", ")));
    SetFont(canvas, HeadingSize, true);
    canvas.setCurrentY(y);
}

void PrintHeader(ReportCanvas& canvas, const LumoData& d, ReportLayout& layout, i16 page)
{
    layout.ReportY = 100;
    canvas.setCurrentX(1000);
    canvas.setCurrentY(layout.ReportY);
    Print(canvas, QStringLiteral("Page ") + QString::number(page));
    // A stop the header passes on its way down; nothing is printed there.
    layout.ReportY = 250;
    SetFont(canvas, TitleSize, true);
    layout.ReportY = 650;
    canvas.setCurrentY(layout.ReportY);
    PrintCentred(canvas, layout, QStringLiteral("MASKING SYSTEM EQUALIZATON REPORT"));
    SetFont(canvas, HeadingSize, true);
    layout.ReportY = 1050;
    canvas.setCurrentY(layout.ReportY);
    PrintCentred(canvas, layout, QStringLiteral("Project: ") + d.ProjectInfo(1));
    layout.ReportY = 1350;
    canvas.setCurrentY(layout.ReportY);
    PrintCentred(canvas, layout, QStringLiteral("Date: ") + d.ProjectInfo(2));
    PrintInstaller(canvas, d, layout);
}

void MoveDown(ReportCanvas& canvas, ReportLayout& layout, int by)
{
    layout.ReportY = static_cast<i16>(layout.ReportY + by);
    canvas.setCurrentY(layout.ReportY);
}

// The fullest of `texts` that fits between the margins, or the shortest: a line run off the paper says nothing.
void PrintFitting(ReportCanvas& canvas, const ReportLayout& l, const QStringList& texts)
{
    const int room = canvas.pageWidth() - 2 * l.ReportMargin;
    for (const QString& text : texts) {
        if (canvas.textWidth(text) <= room || &text == &texts.back()) {
            PrintAt(canvas, l.ReportMargin, text);
            return;
        }
    }
}

// What the client is handed as proof: the tolerance and the verdict, each band's standing against the goal in
// the band columns, how far the channel stood before and after the fit, and how the positions agree.
void PrintChannelProof(ReportCanvas& canvas, const LumoData& d, const ReportLayout& l, int ch)
{
    const ChannelProof proof = ProveChannel(d, ch);
    const ChannelVerdict& v = proof.verdict;
    SetFont(canvas, ProofSize, false);
    QStringList verdicts;
    for (const QString& verdict : VerdictTexts(v, d.BandFreq))
        verdicts << ToleranceText(v.tolerance) + QStringLiteral(". Verdict: ") + verdict;
    PrintFitting(canvas, l, verdicts);
    PrintRow(canvas, 22, 39, 1, Decibels, [&](int b) {
        return std::pair{l.ReportColumn(b), SignedTenths(v.offset(b)) + BandMark(v.inside(b))};
    });
    PrintAt(canvas, l.ReportMargin, DeviationText(v, d.BandFreq));
    PrintFitting(canvas, l, SpreadTexts(proof.spread, v.tolerance.position, d.BandFreq));
    // What comes next, the next page's header among it, is printed in the font the block leaves.
    SetFont(canvas, RegularSize, false);
}

void PrintMaskingBlock(ReportCanvas& canvas, const LumoData& d, ReportLayout& layout, int ch)
{
    const ReportLayout& l = layout;
    SetFont(canvas, HeadingSize, true);
    MoveDown(canvas, layout, 800);
    PrintCentred(canvas, l, QStringLiteral("THE MASKING SPECTRUM for Channel") + Str(static_cast<f32>(ch)));
    SetFont(canvas, RegularSize, false);
    MoveDown(canvas, layout, 300);
    PrintCentred(canvas, l, QStringLiteral("FINAL 1 OCTAVE BAND MASKING SPECTRUM"));

    // The six octave bands 250 Hz .. 8 kHz sit in the columns of bands 28..33.
    auto octaveColumn = [&](int b) { return l.ReportColumn(28 + (b - 24) / 3); };
    PrintRow(canvas, 24, 39, 3, Hertz, [&](int b) {
        return std::pair{octaveColumn(b), PrintedNumber(static_cast<f32>(d.BandFreq(b)))};
    });
    PrintRow(canvas, 24, 39, 3, Decibels, [&](int b) {
        return std::pair{octaveColumn(b) + l.ReportUnit, PrintedWholeLevel(d.MaskFinalOctave(ch, b))};
    });
    Print(canvas, QString());

    PrintCentred(canvas, l, QStringLiteral("FINAL 1/3 OCTAVE BAND MASKING SPECTRUM"));
    PrintRow(canvas, 22, 39, 1, Hertz, [&](int b) {
        return std::pair{l.ReportColumn(b), PrintedNumber(static_cast<f32>(d.BandFreq(b)))};
    });
    PrintRow(canvas, 22, 39, 1, Decibels, [&](int b) {
        return std::pair{l.ReportColumn(b) + l.ReportUnit, PrintedWholeLevel(d.MaskFinal(ch, b))};
    });
    Print(canvas, QString());

    PrintCentred(canvas, l, QStringLiteral("1/3 OCTAVE BAND MASKING SPECTRUM CORRECTIONS TO APPLY IN MG UNIT"));
    PrintRow(canvas, 22, 39, 1, Hertz, [&](int b) {
        return std::pair{l.ReportColumn(b), PrintedNumber(static_cast<f32>(d.BandFreq(b)))};
    });
    PrintRow(canvas, 22, 39, 1, Decibels, [&](int b) {
        return std::pair{l.ReportColumn(b), FormatSignedTenth(d.MaskCorrection(ch, b))};
    });
    Print(canvas, QString());

    PrintCentred(canvas, l, QStringLiteral("OTHER SETTINGS"));
    // The ZUV-AR24 names its filters by what they cut; the other products by what they pass.
    const bool zuv = d.Generator == GeneratorZUVAR24;
    const QString high = zuv ? QStringLiteral("High Cut filter") : QStringLiteral("Low Pass filter");
    const QString low = zuv ? QStringLiteral("Low Cut filter") : QStringLiteral("High Pass filter");
    PrintAt(canvas, l.ReportMargin,
            high + QStringLiteral(" cutoff frequency: ") + Str(d.MaskHighCutFreq(ch)) + QStringLiteral(" Hz."));
    PrintAt(canvas, l.ReportMargin,
            high + QStringLiteral(" slope: ") + Str(d.MaskHighCutSlope(ch)) + QStringLiteral(" dB/octave."));
    PrintAt(canvas, l.ReportMargin,
            low + QStringLiteral(" cutoff frequency: ") + Str(d.MaskLowCutFreq(ch)) + QStringLiteral(" Hz."));
    PrintAt(canvas, l.ReportMargin,
            low + QStringLiteral(" slope: ") + Str(d.MaskLowCutSlope(ch)) + QStringLiteral(" dB/octave."));
    PrintAt(canvas, l.ReportMargin,
            QStringLiteral("Required change in generator gain: ") + GainText(d.MaskGainChange(ch)));
    i16 low22 = 22;
    i16 high39 = 39;
    PrintAt(canvas, l.ReportMargin,
            QStringLiteral("The A-weighted masking level is :") +
                FormatNumber(AWeightedLevel(d, ch, low22, high39, d.MaskFinal), QStringLiteral("#0 dB.")));
    PrintChannelProof(canvas, d, l, ch);
}

// The rows of band frequencies and of settings in the band columns.
void PrintBandSettings(ReportCanvas& canvas, const LumoData& d, const ReportLayout& l,
                       const Indexed<QString, FirstDataBand, LastDataBand>& texts)
{
    PrintRow(canvas, 22, 39, 1, Hertz, [&](int b) {
        return std::pair{l.ReportColumn(b), PrintedNumber(static_cast<f32>(d.BandFreq(b)))};
    });
    PrintRow(canvas, 22, 39, 1, Decibels, [&](int b) { return std::pair{l.ReportColumn(b), texts(b)}; });
}

// A paging result whose speaker location the project does not hold has no preset to print; saying so beats
// printing another location's.
void PrintNoLocation(ReportCanvas& canvas, const ReportLayout& l)
{
    PrintAt(canvas, l.ReportMargin, QStringLiteral("No speaker location is stored for this channel."));
}

void PrintRollOffSettings(ReportCanvas& canvas, const LumoData& d, const ReportLayout& l, int pch)
{
    PrintCentred(canvas, l, QStringLiteral("1/3 OCTAVE BAND PAGING SPECTRUM SETTINGS IN MG UNIT"));
    Indexed<QString, FirstDataBand, LastDataBand> rollOff;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        rollOff(b) = FormatSignedTenth(d.PagingRollOff(b));
    PrintBandSettings(canvas, d, l, rollOff);
    PrintAt(canvas, l.ReportMargin,
            QStringLiteral("Lowpass cutoff frequency: ") + Str(d.PageLowpassFreq(pch)) + QStringLiteral(" Hz."));
    PrintAt(canvas, l.ReportMargin, QStringLiteral("Lowpass filter slope: - 12 dB/Octave."));
    PrintAt(
        canvas, l.ReportMargin,
        QStringLiteral("Highpass filter cutoff frequency: ") + Str(d.PageHighpassFreq(pch)) + QStringLiteral(" Hz."));
    PrintAt(canvas, l.ReportMargin, QStringLiteral("Highpass filter slope: 12 dB/octave."));
    PrintAt(canvas, l.ReportMargin,
            QStringLiteral("Overall paging level for good intelligibility: ") +
                FormatNumber(d.PageLevel(pch), QStringLiteral(" #0 dBA.")));
}

// The VO120R has no equalizer for paging: its treble control is all there is to set.
void PrintTrebleSetting(ReportCanvas& canvas, const LumoData& d, const ReportLayout& l, int pch)
{
    PrintCentred(canvas, l, QStringLiteral("VO120R PAGING SETTINGS"));
    const std::optional<QString> treble = ShowTrebleSetting(d.PageSpeakerOption(pch));
    if (!treble) {
        PrintNoLocation(canvas, l);
        return;
    }
    PrintAt(canvas, l.ReportMargin, QStringLiteral("Treble Setting: ") + *treble);
}

// What the DA2500's settings frame showed: the location's curve, the channel, the paging level and the band limits.
void PrintDa2500Settings(ReportCanvas& canvas, const LumoData& d, const ReportLayout& l, int pch)
{
    PrintCentred(canvas, l, QStringLiteral("1/3 OCTAVE BAND PAGING SPECTRUM SETTINGS IN DA2500 UNIT"));
    const std::optional<Da2500Settings> s = Da2500SettingTexts(d, d.PageSpeakerOption(pch), pch, d.PageLevel(pch),
                                                               d.PageLowpassFreq(pch), d.PageHighpassFreq(pch));
    if (!s) {
        PrintNoLocation(canvas, l);
        return;
    }
    PrintBandSettings(canvas, d, l, s->bandTexts);
    PrintAt(canvas, l.ReportMargin, QStringLiteral("Paging channel: ") + s->channelText + QStringLiteral("."));
    PrintAt(canvas, l.ReportMargin,
            QStringLiteral("Low limit of the paging band:") + s->lowText + QStringLiteral(" Hz."));
    PrintAt(canvas, l.ReportMargin,
            QStringLiteral("High limit of the paging band:") + s->highText + QStringLiteral(" Hz."));
    PrintAt(canvas, l.ReportMargin,
            QStringLiteral("Overall paging level for good intelligibility:") + s->levelText + QStringLiteral(" dBA."));
}

void PrintParametricSettings(ReportCanvas& canvas, const LumoData& d, ReportLayout& layout, int pch)
{
    const ReportLayout& l = layout;
    PrintCentred(canvas, l, QStringLiteral("PARAMETIC EQUALIZER SETTINGS IN MG24 UNIT"));
    const int inset = l.ReportMargin + 500;
    auto line = [&](int x, const QString& text) {
        MoveDown(canvas, layout, 200);
        PrintAt(canvas, x, text);
    };
    for (int i = 1; i <= 6; ++i) {
        line(l.ReportMargin, QStringLiteral("EQ Control") + Str(static_cast<f32>(i)));
        if (d.PageEqFreq(pch, i) <= 0) {
            line(inset, QStringLiteral("Bypass"));
            continue;
        }
        line(inset, QStringLiteral("EQ Type = Parametric"));
        line(inset, QStringLiteral("EQ Freq =") + Str(d.PageEqFreq(pch, i)) + QStringLiteral(" Hz"));
        // The bandwidth is in octaves, as the Page and Review windows give it.
        line(inset, QStringLiteral("EQ  BW =") + Str(d.PageEqWidth(pch, i)) + QStringLiteral(" Oct"));
        line(inset, QStringLiteral("EQ Level =") + FormatNumber(d.PageEqLevel(pch, i), QStringLiteral(" #0")) +
                        QStringLiteral(" dB"));
    }
}

// What the channel's intelligibility rests on, for the client: where the loudspeakers are, the background the
// announcements have to carry over, the level and its rating. The background option is the project's, one for
// both channels. The next block still follows from where the settings ended.
void PrintPagingSummary(ReportCanvas& canvas, const LumoData& d, const ReportLayout& l, int pch)
{
    const QString location = SpeakerLocationCaption(d.PageSpeakerOption(pch));
    QString text =
        QStringLiteral("Speaker location: %1. ").arg(location.isEmpty() ? QStringLiteral("none stored") : location);
    const int option = d.PageSpecOption;
    std::optional<BackgroundSpectrum> background;
    if (option >= 1 && option <= BackgroundOptionCount) {
        const BackgroundOption chosen = BackgroundOptions(d.Generator)(option);
        text += QStringLiteral("Background spectrum: %1. ").arg(chosen.caption);
        background = SelectBackground(d, chosen.source);
    } else {
        text += QStringLiteral("Background spectrum: none stored. ");
    }
    text += QStringLiteral("Paging level: %1 dBA. ").arg(FormatNumber(d.PageLevel(pch), QStringLiteral("#0")));
    if (background && !background->unavailable) {
        BandArray paging;
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            paging(b) = d.PageSpectrum(pch, b);
        const f32 index = ArticulationIndex(d, paging, background->work);
        text += QStringLiteral("Intelligibility: %1 (articulation index %2).")
                    .arg(IntelligibilityRating(index), QString::number(index, 'f', 2));
    } else {
        text += QStringLiteral("Intelligibility: not rated (no background spectrum to rate it against).");
    }
    const int y = canvas.currentY();
    PrintAt(canvas, l.ReportMargin, text);
    canvas.setCurrentY(y);
}

void PrintPagingBlock(ReportCanvas& canvas, const LumoData& d, ReportLayout& layout, int pch)
{
    const ReportLayout& l = layout;
    SetFont(canvas, HeadingSize, true);
    // The block follows wherever the previous one ended.
    layout.ReportY = static_cast<i16>(canvas.currentY() + 800);
    canvas.setCurrentY(layout.ReportY);
    PrintCentred(canvas, l, QStringLiteral("THE PAGING SPECTRUM for Channel") + Str(static_cast<f32>(pch)));
    SetFont(canvas, RegularSize, false);
    MoveDown(canvas, layout, 300);

    switch (d.Generator) {
        case GeneratorDU3001:
            PrintRollOffSettings(canvas, d, l, pch);
            break;
        case GeneratorVO120R:
        case GeneratorVO120RDAR131:
            PrintTrebleSetting(canvas, d, l, pch);
            break;
        case GeneratorDA2500:
            PrintDa2500Settings(canvas, d, l, pch);
            break;
        default:
            PrintParametricSettings(canvas, d, layout, pch);
            break;
    }
    PrintPagingSummary(canvas, d, l, pch);
}

void PrintWholeReport(ReportCanvas& canvas, const LumoData& d)
{
    ReportLayout layout = ReportLayoutFor(canvas.pageWidth());
    i16 page = 1;
    PrintHeader(canvas, d, layout, page);

    int remaining = 0;
    for (int ch = 1; ch <= 6; ++ch)
        if (d.MaskFinal(ch, 22) > 0)
            ++remaining;
    int onPage = 0;
    for (int ch = 1; ch <= 6; ++ch) {
        if (!(d.MaskFinal(ch, 22) > 0))
            continue;
        PrintMaskingBlock(canvas, d, layout, ch);
        --remaining;
        ++onPage;
        if (onPage == 2 && remaining > 0) {
            canvas.newPage();
            Check(canvas);
            PrintHeader(canvas, d, layout, ++page);
            onPage = 0;
        } else {
            // The second block of a page begins lower down.
            layout.ReportY = 7000;
        }
    }

    if (d.PageSpectrum(1, 22) > 0 || d.PageSpectrum(2, 22) > 0) {
        canvas.newPage();
        Check(canvas);
        PrintHeader(canvas, d, layout, ++page);
        for (int pch = 1; pch <= 2; ++pch)
            if (d.PageSpectrum(pch, 22) > 0)
                PrintPagingBlock(canvas, d, layout, pch);
    }

    canvas.endDoc();
    Check(canvas);
}

}  // namespace

ReportLayout ReportLayoutFor(int pageWidth)
{
    ReportLayout l;
    l.ReportUnit = static_cast<i16>(pageWidth / 80);
    l.ReportCentre = static_cast<i16>(40 * l.ReportUnit);
    l.ReportMargin = static_cast<i16>(5 * l.ReportUnit);
    l.ReportColumn(22) = static_cast<i16>(5 * l.ReportUnit);
    for (int b = 23; b <= 39; ++b)
        l.ReportColumn(b) = static_cast<i16>(RoundHalfEven(l.ReportColumn(b - 1) + 3.7 * l.ReportUnit, 0));
    return l;
}

bool PrintPageHeader(ReportCanvas& canvas, const LumoData& d, ReportLayout& layout, i16 page)
{
    try {
        PrintHeader(canvas, d, layout, page);
        return true;
    } catch (const PrintFailed&) {
        return false;
    }
}

std::optional<Message> PrintReport(ReportCanvas& canvas, const LumoData& d)
{
    try {
        PrintWholeReport(canvas, d);
        return std::nullopt;
    } catch (const PrintFailed&) {
        return Message{canvas.failure() + QStringLiteral(" occurred in printing. Report cannot be completed."),
                       QStringLiteral("Print Error"), MsgIcon::Critical};
    }
}

}  // namespace kov
