#pragma once

#include <QString>
#include <optional>

#include "core/LumoData.h"
#include "spectra/SpectrumEditor.h"

namespace kov {

// A new spectrum for a free slot from less data: seven octave levels, or relative levels per band brought to
// about 47 dBA. Both write bands 22..39 of the selected entry of the editor's working copy and nothing else.

// Octave centres at bands 21, 24, .., 39; 0 means not entered.
using OctaveLevels = Indexed<f32, 21, 39>;
// Whole decibels as entered at bands 22..39 (band 21 stays 0).
using RelativeLevels = Indexed<f32, 21, 39>;
// The texts of the relative boxes, box i belonging to band 21 + i.
using RelativeBoxes = Indexed<QString, 1, 18>;

inline constexpr int OctaveBoxCount = 7;
inline constexpr int RelativeBoxCount = 18;
inline int OctaveBoxBand(int box)
{
    return 18 + 3 * box;
}
inline int RelativeBoxBand(int box)
{
    return 21 + box;
}

inline const QString OctaveOpenNote = QStringLiteral(
    "Octave band levels for the range 250 Hz to 4000 Hz are required. The 125 and 8000 Hz bands improve accuracy.");
inline const QString OctaveFirstBoxNote = QStringLiteral(
    "Enter an octave band spectrum. It will be converted to a 1/3 octave band spectrum.  You may skip 125 and 8000 "
    "Hz, if data are missing.");
inline const QString OctaveMissingNote = QStringLiteral("You must enter data for the 250 to 4000 Hz bands.");
inline const QString OctaveDoneNote = QStringLiteral(
    "Set the overall level to 47 dBa for comparision purposes. It can be changed llater\n"
    "Enter a name for the spectrum");
inline const QString RelativeOpenNote =
    QStringLiteral("Enter relative levels for the frequencies from 200 to 5000 Hz.  Other bands will be estimated.");
inline const QString RelativeMissingNote = QStringLiteral("You must enter data for all bands from 200 to 5000 Hz.");
inline const QString RelativeDoneNote = QStringLiteral(
    "The overall evel was set to 47 dBA for comparison purposes. It can be changed later. Enter a name for the "
    "spectrum");

// An octave box left. `store`: the level for OctaveLevels; otherwise the box shows "0" and the levels keep what
// they held.
struct OctaveBoxEntry {
    std::optional<f32> store;
    QString boxText;  // what the box shows afterwards
    QString note;     // LabNote
};
OctaveBoxEntry LeaveOctaveBox(int box, const QString& text);
bool OctaveDataMissing(const OctaveLevels& o);
// The conversion (o is changed in place, as the levels' band values) into entry s.
void OctaveToThirdOctave(OctaveLevels& o, SpectraEdit& e, int s);

// A relative box entered: its note (" Enter a relative level at200." ...).
QString RelativeFocusNote(const LumoData& d, int box);
// A relative box left. `store`: the level; `boxText` nullopt leaves the box as typed; `note` nullopt leaves LabNote.
struct RelativeBoxEntry {
    std::optional<f32> store;
    std::optional<QString> boxText;
    std::optional<QString> note;
};
RelativeBoxEntry LeaveRelativeBox(const LumoData& d, int box, const QString& text);
bool RelativeDataMissing(const RelativeBoxes& boxes);
// 160, 6300 and 8000 Hz from their neighbours where their boxes are empty.
void EstimateRelativeEdges(RelativeLevels& r, const RelativeBoxes& boxes);
// Whole-dB steps of every band until the A-weighted level reaches 47 from below or above; the signed number of
// steps taken.
int NormaliseRelative(const LumoData& d, RelativeLevels& r);
// Estimates, normalisation and the levels into entry s.
void RelativeToSpectrum(const LumoData& d, RelativeLevels& r, const RelativeBoxes& boxes, SpectraEdit& e, int s);

}  // namespace kov
