#pragma once

#include <QString>
#include <optional>

#include "core/LumoData.h"
#include "core/Message.h"

namespace kov {

// The spectrum database editor works on copies of the 21 entries and hands them back only when it closes with
// Done and every check below has passed. The window moves texts between its controls and these functions.

inline constexpr int BackgroundSpectrum = 0;
inline constexpr int LastSpectrum = SpectrumCount - 1;
inline constexpr int SpectrumNameLength = 28;
inline const QString BackgroundName = QStringLiteral("Background");

struct SpectraEdit {
    Indexed<QString, 0, 20> SpecNameEdit;
    Indexed2<f32, 0, 20, FirstBand, LastBand> SpecLevelEdit;
};

// Bands 22..39 of every entry; the bands around them stay 0.
SpectraEdit CopySpectra(const LumoData& d);
void StoreSpectra(LumoData& d, const SpectraEdit& e);
BandArray SpectrumRow(const SpectraEdit& e, int s);

// The contour drawn under every spectrum: -5 dB per octave, to one decimal.
BandArray NeutralLevels();

// The frequency under a band's cell and entry box. BandFreq's own text, so 1600 Hz reads 1600.
QString BandLabel(const LumoData& d, int band);
// A level in a cell or the read-out: shortest plain decimal (45.5, 47, -1).
QString LevelText(f32 level);
// DatAWgt: the A-weighted level of entry s over 22..39 laid into "## dBA".
QString AWeightText(const LumoData& d, const SpectraEdit& e, int s);
// The same where an entry is chosen or built: blank ("") when band 22 holds 0 or less, as a spectrum not yet
// filled in is not judged by its level.
QString ShownAWeightText(const LumoData& d, const SpectraEdit& e, int s);

// A table cell left: the level kept, the cell's new text and, for a refused value, the note.
struct LevelCellEntry {
    f32 level = 0;
    QString cellText;
    std::optional<QString> note;
};
LevelCellEntry LeaveLevelCell(const LumoData& d, int band, const QString& text);

// "+ 1 dB" / "- 1 dB": every band of entry s, zeros too. False (nothing moved) for a free slot.
bool StepSpectrum(SpectraEdit& e, int s, int delta);
// Entry s becomes a free slot: "Empty", every level 0.
void DeleteSpectrum(SpectraEdit& e, int s);
// The name box left: its trimmed text, cut to the stored length.
QString SpectrumNameFromBox(const QString& text);
bool IsFreeSlot(const QString& name);

// What selecting an entry puts in LabNote.
QString SelectionNote(const SpectraEdit& e, int s);
QString NameFocusNote(bool newSpectrum);

// The closing checks, each found from a starting entry so the window can ask and go on.
// A named entry with a 0 level: the question (Yes corrects, No deletes), asked with the name it had when the
// window opened.
struct MissingPoint {
    int spectrum = 0;
    int band = 0;
    QString question;
};
std::optional<MissingPoint> FindMissingPoint(const LumoData& d, const SpectraEdit& e, int from);
inline const QString DataErrorTitle = QStringLiteral("Data Error");
// The background entry renamed: its name restored and the message that says so.
std::optional<Message> RestoreBackgroundName(SpectraEdit& e);
// Levels under an empty or "Empty" name in entries 1..20: where, and the message.
struct UnnamedData {
    int spectrum = 0;
    int band = 0;
    Message message;
};
std::optional<UnnamedData> FindUnnamedData(const SpectraEdit& e);

// Writing the database failed: the reason in the system's words.
Message SaveFailedMessage(const QString& reason);

}  // namespace kov
