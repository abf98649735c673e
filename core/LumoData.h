#pragma once

#include <QString>

#include "core/Indexed.h"

namespace kov {

// Generator products, as stored in project files.
enum GeneratorCode : i16 {
    GeneratorNone = 0,
    GeneratorVO120R = 1,
    GeneratorVO120RDAR131 = 2,
    GeneratorDU3001 = 3,
    GeneratorDA2500 = 4,
    GeneratorZUVAR24 = 5,
    GeneratorRUZ1200U = 6,
};

inline constexpr int DefaultCommBaud = 9600;  // what the meters are set to out of the box

// What a sound-masking contract commonly asks of a zone: each 1/3-octave band within a window around the goal, the
// overall level within a narrower one, and the positions measured across the zone in agreement. The project keeps
// its own figures; these are the usual ones.
inline constexpr f32 DefaultBandTolerance = 2.0F;   // +/- dB per band
inline constexpr f32 DefaultLevelTolerance = 0.5F;  // +/- dBA overall
inline constexpr f32 DefaultPositionMargin = 2.0F;  // dBA a position may stand from the average

inline constexpr int SpectrumCount = 21;  // database entries 0..20; entry 0 is the background

// Everything more than one window needs, for the one project that is open. The names, element types and index
// bounds are those the project, EQ, spectrum and folder files are laid out by; main owns the single instance.
struct LumoData {
    // Reference tables, filled by InitTables.
    BandTableI16 BandFreq;
    BandTableI16 AWeight;
    BandArray ArticulationWeight;
    BandArray PagingRollOff;
    BandArray PagingShape1;
    BandArray PagingShape2;
    BandArray PagingShape3;
    BandArray PagingShape4;
    f32 LnToDb10 = 0;
    QString AppPath;

    // Spectrum database (bands 22..39 are the stored ones).
    Indexed<QString, 0, 20> SpecName;
    Indexed2<f32, 0, 20, FirstBand, LastBand> SpecLevel;

    // Folder file and folder search.
    i16 CommPort = 0;
    QString CommText;
    QString MG24Folder;
    QString Dsp30Folder;
    QString Paa3Folder;
    QString Bk2250Folder;
    QString Ie45Folder;
    // The meter's serial line: a device named by the installer (a USB adapter) instead of the port number, and the
    // line's speed.
    QString CommDevice;  // "" = the device the port number stands for
    int CommBaud = DefaultCommBaud;
    // Who commissions the system, printed under the report's header; set once for every project.
    QString InstallerCompany;
    QString InstallerName;
    i16 FindTarget = 0;
    QString FoundMG24Folder;

    // Project header.
    Indexed<QString, 1, 2> ProjectInfo;  // (1) name or description, (2) date "m/d/yyyy"
    i16 Generator = GeneratorNone;
    i16 ProjectStage = 0;  // 0 new, 1 information entered, 2 masking results or opened, 3 paging results
    QString ProjectFileName;
    QString ProjectBaseName;
    QString ProjectEqName;
    i16 SaveConfirmed = 0;  // -1 once written by Save As or read by Open
    // The project file as it was last written or read (or would be written for the empty project at its start):
    // the project holds unsaved changes while what it would write now differs from it.
    QByteArray SavedProjectImage;
    i16 CurrentChannel = 0;
    Indexed<i16, 1, 8> PageChannelOpen;

    // Masking channels 1..6 (project set).
    Indexed<i16, 1, 6> MaskTestCount;
    Indexed<i16, 1, 6> MaskReserved;
    Indexed<i16, 1, 6> MaskHighCutFreq;
    Indexed<i16, 1, 6> MaskLowCutFreq;
    Indexed<i16, 1, 6> MaskHighCutSlope;
    Indexed<i16, 1, 6> MaskLowCutSlope;
    Indexed<i16, 1, 6> MaskSpectrumIndex;
    Indexed<f32, 1, 6> MaskGainChange;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskCorrection;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskFinal;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskFinalOctave;
    Indexed3<f32, 1, 10, 1, 6, FirstBand, LastBand> MaskTest;  // (test, channel, band)
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskAverage;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskMatched;
    // What the channels are judged by, one set for the project (core/Verdict.h).
    f32 MaskBandTolerance = DefaultBandTolerance;
    f32 MaskLevelTolerance = DefaultLevelTolerance;
    f32 MaskPositionMargin = DefaultPositionMargin;

    // Paging channels (declared 1..8; only 1 and 2 carry values).
    Indexed<i16, 1, 8> PageLowpassFreq;
    Indexed<i16, 1, 8> PageHighpassFreq;
    Indexed<f32, 1, 8> PageLevel;
    Indexed2<f32, 1, 8, FirstBand, LastBand> PageSpectrum;
    Indexed2<i16, 1, 2, 1, 8> PageEqFreq;  // (paging channel, EQ control); 0 = bypassed
    Indexed2<f32, 1, 2, 1, 8> PageEqWidth;
    Indexed2<f32, 1, 2, 1, 8> PageEqLevel;
    Indexed<i16, 1, 2> PageSpeakerOption;
    i16 PageSpecOption = 0;

    // Working copies of the Mask window.
    Indexed<i16, 1, 6> MaskTestCountEdit;
    Indexed<i16, 1, 6> MaskHighCutFreqEdit;
    Indexed<i16, 1, 6> MaskLowCutFreqEdit;
    Indexed<i16, 1, 6> MaskHighCutSlopeEdit;
    Indexed<i16, 1, 6> MaskLowCutSlopeEdit;
    Indexed<i16, 1, 6> MaskSpectrumIndexEdit;
    Indexed<f32, 1, 6> MaskGainChangeEdit;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskCorrectionEdit;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskFinalEdit;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskFinalOctaveEdit;
    Indexed3<f32, 1, 10, 1, 6, FirstBand, LastBand> MaskTestEdit;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskAverageEdit;
    Indexed2<f32, 1, 6, FirstBand, LastBand> MaskMatchedEdit;

    // Working copies of the Page window.
    Indexed<i16, 1, 8> PageChannelOpenEdit;
    Indexed<i16, 1, 8> PageLowpassFreqEdit;
    Indexed<f32, 1, 8> PageLevelEdit;
    Indexed<i16, 1, 8> PageHighpassFreqEdit;
    Indexed2<f32, 1, 8, FirstBand, LastBand> PageSpectrumEdit;
    Indexed2<i16, 1, 2, 1, 8> PageEqFreqEdit;
    Indexed2<f32, 1, 2, 1, 8> PageEqWidthEdit;
    Indexed2<f32, 1, 2, 1, 8> PageEqLevelEdit;
    Indexed<i16, 1, 2> PageSpeakerOptionEdit;
    i16 PageSpecOptionEdit = 0;

    // Image of the ZUV-AR24 EQ file: paging lines 1..2, masking lines 3..6.
    Indexed<i16, 1, 8> EqPageChannel;
    Indexed2<i16, 1, 2, 1, 8> EqPageFreq;
    Indexed2<f32, 1, 2, 1, 8> EqPageWidth;
    Indexed2<f32, 1, 2, 1, 8> EqPageLevel;
    Indexed<i16, 3, 6> EqChannel;
    Indexed<i16, 3, 6> EqLowCutFreq;
    Indexed<i16, 3, 6> EqLowCutSlope;
    Indexed<i16, 3, 6> EqHighCutFreq;
    Indexed<i16, 3, 6> EqHighCutSlope;
    Indexed<f32, 3, 6> EqGain;
    Indexed2<f32, 3, 6, FirstBand, LastBand> EqBand;

    i16 GetFileMode = 0;    // LumoGetFile: 1 open a project, 2 open an EQ file for review
    i16 ReviewPending = 0;  // set while an EQ file is being chosen for the review window

    bool operator==(const LumoData&) const = default;
};

// Project set <-> working copies. All six masking channels move together.
void LoadMaskingChannels(LumoData& d);
void StoreMaskingChannels(LumoData& d);
void StorePagingChannels(LumoData& d);

}  // namespace kov
