#include "core/ProjectFile.h"

#include <algorithm>
#include <optional>

#include "core/EqFile.h"
#include "core/TextFields.h"
#include "core/Verdict.h"

namespace kov {

namespace {

// A stored integer that later picks an array element or a case. Inside lo..hi it is kept as read. Outside it,
// `otherwise` stands in where the value holds none of the project's results (bookkeeping, or a choice its window
// makes again); without one the file is refused, since the value says what the project's results mean and no
// stand-in could say it for them.
struct Domain {
    const char* what;
    int lo;
    int hi;
    std::optional<i16> otherwise;
};

// The product decides the limits the corrections are checked against, the channels the menus offer and whether
// an EQ file is written: a product guessed in its place would equalize for other hardware.
constexpr Domain GeneratorCodes{"generator", GeneratorNone, GeneratorRUZ1200U, std::nullopt};
// Only how far the project has come, and Open puts every project it opens at 2 in any case.
constexpr Domain Stages{"project stage", 0, 3, i16{2}};
// The paging window is to offer the backgrounds 1 and 2 and the loudspeakers 1..4, the shapes PagingShape1..4; 0
// until one is chosen. A choice it does not know, perhaps from a copy that offered more, is asked for again there
// rather than cost the installer the whole project.
constexpr Domain PagingBackgrounds{"paging background", 0, 5, i16{0}};
constexpr Domain PagingSpeakers{"paging loudspeaker", 0, 4, i16{0}};
// The file has room for ten tests a band; the count says how many of them are measurements.
constexpr Domain TestCounts{"test count", 0, 10, std::nullopt};
// The channel's goal shape (0: none chosen yet): any entry of the spectrum database, not only those the Mask list
// offers, since the database editor can fill the others and the window keeps a stored entry it does not list.
constexpr Domain Spectra{"masking spectrum", 0, SpectrumCount - 1, std::nullopt};

// The layout is walked once for writing and once for reading, so the two cannot drift apart. Data is LumoData or
// const LumoData; Fields is one of the two field adaptors below.
template <typename Data, typename Fields>
void WalkProject(Data& d, Fields& f)
{
    f.text(d.ProjectInfo(1));
    f.text(d.ProjectInfo(2));
    f.integer(d.ProjectStage, Stages);
    f.integer(d.Generator, GeneratorCodes);
    f.integer(d.PageSpecOption, PagingBackgrounds);
    f.zeroIntegers(5);
    f.endLine();

    f.fileName(d.ProjectEqName);
    f.integer(d.PageSpeakerOption(1), PagingSpeakers);
    f.integer(d.PageSpeakerOption(2), PagingSpeakers);
    f.zeroIntegers(7);
    f.endLine();

    // Line 3 held only zeros until the project kept its tolerances. 0 still stands for the usual figure, so a
    // project that keeps those writes the very file older copies wrote, and they read past any other figure as
    // they read past the zeros.
    f.tolerance(d.MaskBandTolerance, DefaultBandTolerance);
    f.tolerance(d.MaskLevelTolerance, DefaultLevelTolerance);
    f.tolerance(d.MaskPositionMargin, DefaultPositionMargin);
    f.zeroNumbers(7);
    f.endLine();
    for (int line = 1; line < 18; ++line) {
        f.zeroNumbers(10);
        f.endLine();
    }

    for (int s = 1; s <= 6; ++s) {
        f.integer(d.MaskTestCount(s), TestCounts);
        f.integer(d.MaskReserved(s));
        f.number(d.MaskGainChange(s));
        f.integer(d.MaskHighCutFreq(s));
        f.integer(d.MaskLowCutFreq(s));
        f.integer(d.MaskHighCutSlope(s));
        f.integer(d.MaskLowCutSlope(s));
        f.integer(d.MaskSpectrumIndex(s), Spectra);
        f.integer(d.PageLowpassFreq(s));
        f.integer(d.PageHighpassFreq(s));
        f.number(d.PageLevel(s));
        f.endLine();

        f.channel(d.EqPageChannel(s), s);
        f.integer(d.PageChannelOpen(s));
        f.zeroNumbers(8);
        f.endLine();

        for (int k = 1; k <= 2; ++k) {
            f.integer(d.PageEqFreq(k, s));
            f.number(d.PageEqWidth(k, s));
            f.number(d.PageEqLevel(k, s));
            f.endLine();
        }

        for (int b = FirstDataBand; b <= LastDataBand; ++b) {
            f.number(d.MaskAverage(s, b));
            f.number(d.MaskCorrection(s, b));
            f.number(d.PageSpectrum(s, b));
            f.number(d.MaskFinal(s, b));
            f.number(d.MaskFinalOctave(s, b));
            f.number(d.MaskMatched(s, b));
            f.zeroNumbers(4);
            f.endLine();
            for (int t = 1; t <= 10; ++t) {
                f.number(d.MaskTest(t, s, b));
                f.zeroNumbers(1);
                f.endLine();
            }
        }
    }
}

struct WritingFields {
    TextFieldWriter w;
    void text(const QString& value) { w.text(value); }
    void fileName(const QString& value) { w.text(value); }
    void integer(i16 value) { w.integer(value); }
    void integer(i16 value, const Domain&) { w.integer(value); }
    void channel(i16 value, int) { w.integer(value); }
    void number(f32 value) { w.number(value); }
    void tolerance(f32 value, f32 usual) { w.number(value == usual ? 0 : value); }
    void zeroIntegers(int n)
    {
        for (int i = 0; i < n; ++i)
            w.integer(0);
    }
    void zeroNumbers(int n)
    {
        for (int i = 0; i < n; ++i)
            w.number(0);
    }
    void endLine() { w.endLine(); }
};

// Reading is by field, not by line: a line end is only a separator, as older copies of the program read it.
// A value read whole that cannot be taken stops the reader, so nothing more is read and no later error hides it.
struct ReadingFields {
    explicit ReadingFields(const QByteArray& data) : r(data) {}
    TextFieldReader r;
    int line = 1;  // of the layout; the file's own line for every file a copy of the program wrote

    void text(QString& value) { r.readText(value); }
    // The EQ file goes into the MG24 folder under this name. The program only ever stores a bare name (the
    // project's base name with ".EQ", or one picked from that folder), so a folder part cannot be meant, and
    // taken as it stands it would put the EQ file somewhere else.
    void fileName(QString& value)
    {
        if (!r.readText(value) || value.trimmed().isEmpty() || EqFileNamePart(value) == value)
            return;
        constexpr qsizetype shown = 40;
        const QString name = value.size() > shown ? value.left(shown) + QStringLiteral("...") : value;
        r.refuse(line, QStringLiteral("Bad file name (EQ file \"%1\" is not a bare file name)").arg(name));
    }
    void integer(i16& value) { r.readInteger(value); }
    void integer(i16& value, const Domain& domain)
    {
        if (!r.readInteger(value) || (value >= domain.lo && value <= domain.hi))
            return;
        if (domain.otherwise) {
            value = *domain.otherwise;
            return;
        }
        r.refuse(line, QStringLiteral("Subscript out of range (%1 \"%2\" is not %3 to %4)")
                           .arg(QLatin1String(domain.what), QString::number(value), QString::number(domain.lo),
                                QString::number(domain.hi)));
    }
    // The EQ file's channel numbers as they were when the project was saved: 0 or the slot's own number. The image
    // is read afresh from the EQ file before it is used, so a stray number is only dropped.
    void channel(i16& value, int own)
    {
        if (r.readInteger(value) && value != 0 && value != own)
            value = 0;
    }
    void number(f32& value) { r.readNumber(value); }
    // A figure no tolerance box offers only stands for the usual one: it decides no stored result.
    void tolerance(f32& value, f32 usual)
    {
        f32 stored = 0;
        if (r.readNumber(stored))
            value = ToleranceOrDefault(stored, usual);
    }
    void zeroIntegers(int n)
    {
        for (int i = 0; i < n; ++i)
            r.skipField();
    }
    void zeroNumbers(int n) { zeroIntegers(n); }
    void endLine() { ++line; }
};

}  // namespace

QByteArray ProjectFileBytes(const LumoData& d)
{
    WritingFields f;
    WalkProject(d, f);
    return f.w.bytes();
}

Parsed<LumoData> ParseProjectFile(const QByteArray& bytes, LumoData into)
{
    ReadingFields f(bytes);
    WalkProject(into, f);
    return f.r.result(std::move(into));
}

void MarkProjectSaved(LumoData& d)
{
    d.SavedProjectImage = ProjectFileBytes(d);
}

bool ProjectHasUnsavedChanges(const LumoData& d)
{
    return ProjectFileBytes(d) != d.SavedProjectImage;
}

void SaveProjectFile(LumoData& d, const QString& path, i16& failed, QString* reason)
{
    QByteArray bytes = ProjectFileBytes(d);
    if (!SaveWholeFile(path, bytes, nullptr, reason)) {
        failed = -1;
        return;
    }
    failed = 0;
    d.ProjectBaseName = FileBaseName(path);
    d.SavedProjectImage = std::move(bytes);
}

void OpenProjectFile(LumoData& d, Prompter& prompter, const QString& path, i16& failed)
{
    const std::optional<FileReadError> error = ReadDataFile(path, d, ParseProjectFile);
    failed = error ? -1 : 0;
    if (error) {
        prompter.message(error->inFile() + QStringLiteral(" occured on line ") + QString::number(error->line) + u'.',
                         QStringLiteral("File Error"), MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    d.ProjectBaseName = FileBaseName(path);
}

QString FileBaseName(const QString& path)
{
    QString name = path.toUpper();
    const qsizetype folderEnd = std::max(name.lastIndexOf(u'\\'), name.lastIndexOf(u'/'));
    if (folderEnd >= 0)
        name.remove(0, folderEnd + 1);
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

bool ReadProjectHeader(const QString& path, QString& name, QString& date)
{
    const FileReadResult file = ReadWholeFile(path);
    if (!file.ok)
        return false;
    TextFieldReader r(file.data);
    QString readName, readDate;
    r.readText(readName);
    r.readText(readDate);
    if (r.failed())
        return false;
    name = readName;
    date = readDate;
    return true;
}

}  // namespace kov
