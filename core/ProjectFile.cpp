#include "core/ProjectFile.h"

#include <QDir>

#include <algorithm>
#include <memory>

#include "core/TextFields.h"

namespace kov {

namespace {

// The layout is walked once for writing and once for reading, so the two cannot drift apart. Data is LumoData or
// const LumoData; Fields is one of the two field adaptors below.
template <typename Data, typename Fields>
void WalkProject(Data& d, Fields& f)
{
    f.text(d.ProjectInfo(1));
    f.text(d.ProjectInfo(2));
    f.integer(d.ProjectStage);
    f.integer(d.Generator);
    f.integer(d.PageSpecOption);
    f.zeroIntegers(5);
    f.endLine();

    f.text(d.ProjectEqName);
    f.integer(d.PageSpeakerOption(1));
    f.integer(d.PageSpeakerOption(2));
    f.zeroIntegers(7);
    f.endLine();

    for (int line = 0; line < 18; ++line) {
        f.zeroNumbers(10);
        f.endLine();
    }

    for (int s = 1; s <= 6; ++s) {
        f.integer(d.MaskTestCount(s));
        f.integer(d.MaskReserved(s));
        f.number(d.MaskGainChange(s));
        f.integer(d.MaskHighCutFreq(s));
        f.integer(d.MaskLowCutFreq(s));
        f.integer(d.MaskHighCutSlope(s));
        f.integer(d.MaskLowCutSlope(s));
        f.integer(d.MaskSpectrumIndex(s));
        f.integer(d.PageLowpassFreq(s));
        f.integer(d.PageHighpassFreq(s));
        f.number(d.PageLevel(s));
        f.endLine();

        f.integer(d.EqPageChannel(s));
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
    void integer(i16 value) { w.integer(value); }
    void number(f32 value) { w.number(value); }
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
struct ReadingFields {
    TextFieldReader r;
    void text(QString& value) { r.readText(value); }
    void integer(i16& value) { r.readInteger(value); }
    void number(f32& value) { r.readNumber(value); }
    void zeroIntegers(int n)
    {
        for (int i = 0; i < n; ++i)
            r.skipField();
    }
    void zeroNumbers(int n) { zeroIntegers(n); }
    void endLine() {}
};

}  // namespace

QByteArray ProjectFileBytes(const LumoData& d)
{
    WritingFields f;
    WalkProject(d, f);
    return f.w.bytes();
}

void MarkProjectSaved(LumoData& d)
{
    d.SavedProjectImage = ProjectFileBytes(d);
}

bool ProjectHasUnsavedChanges(const LumoData& d)
{
    return ProjectFileBytes(d) != d.SavedProjectImage;
}

void SaveProjectFile(LumoData& d, const QString& path, i16& failed)
{
    QByteArray bytes = ProjectFileBytes(d);
    if (!SaveWholeFile(path, bytes)) {
        failed = -1;
        return;
    }
    failed = 0;
    d.ProjectBaseName = FileBaseName(path);
    d.SavedProjectImage = std::move(bytes);
}

void OpenProjectFile(LumoData& d, Prompter& prompter, const QString& path, i16& failed)
{
    failed = 0;
    const auto fail = [&](const QString& description, int line) {
        prompter.message(description + QStringLiteral(" occured on line ") + QString::number(line) + u'.',
                         QStringLiteral("File Error"), MsgIcon::Critical, MsgButtons::Ok);
        failed = -1;
    };

    const FileReadResult file = ReadWholeFile(path);
    if (!file.ok) {
        // Nothing of the file was read; line 1 is where reading would have begun.
        fail(file.error, 1);
        return;
    }
    // A short or damaged file must not leave the project half old, half new.
    auto fresh = std::make_unique<LumoData>(d);
    ReadingFields f{TextFieldReader(file.data)};
    WalkProject(*fresh, f);
    if (f.r.failed()) {
        fail(f.r.errorIn(path), f.r.errorLine());
        return;
    }
    fresh->ProjectBaseName = FileBaseName(path);
    d = std::move(*fresh);
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
