#include "core/EqFile.h"

#include <QDir>

#include <algorithm>
#include <optional>

#include "core/Numbers.h"
#include "core/TextFields.h"

namespace kov {

namespace {

const QString FileErrorTitle = QStringLiteral("File Error");

// Bands the masking lines hold; of these only 22..39 ever carry a correction.
constexpr int FirstEqBand = 13;
constexpr int LastEqBand = 43;

// One walk for reading and writing keeps the two in step. Data is LumoData or const LumoData.
template <typename Data, typename Fields>
void WalkEqFile(Data& d, Fields& f)
{
    for (int k = 1; k <= 2; ++k) {
        f.channel(d.EqPageChannel(k), k);
        for (int j = 1; j <= 8; ++j) {
            f.integer(d.EqPageFreq(k, j));
            f.number(d.EqPageWidth(k, j));
            f.number(d.EqPageLevel(k, j));
        }
        f.endLine();
    }
    for (int m = 3; m <= 6; ++m) {
        f.channel(d.EqChannel(m), m);
        f.integer(d.EqLowCutFreq(m));
        f.integer(d.EqLowCutSlope(m));
        f.integer(d.EqHighCutFreq(m));
        f.integer(d.EqHighCutSlope(m));
        f.number(d.EqGain(m));
        for (int b = FirstEqBand; b <= LastEqBand; ++b)
            f.number(d.EqBand(m, b));
        f.endLine();
    }
}

struct WritingFields {
    TextFieldWriter w;
    void integer(i16 value) { w.integer(value); }
    void channel(i16 value, int) { w.integer(value); }
    void number(f32 value) { w.number(value); }
    void endLine() { w.endLine(); }
};

// A value read whole that cannot be taken stops the reader, so nothing more is read and no later error hides it.
struct ReadingFields {
    explicit ReadingFields(const QByteArray& data) : r(data) {}
    TextFieldReader r;
    int line = 1;  // of the layout; the file's own line for every file a copy of the program wrote

    void integer(i16& value) { r.readInteger(value); }
    // A line carries its own channel once that channel has been written, and 0 until then; nothing writes any
    // other number. A file that holds one is damaged, and a later write would carry the stray number on beside
    // the real line of that channel, so the file is refused and left as it is.
    void channel(i16& value, int own)
    {
        if (r.readInteger(value) && value != 0 && value != own)
            r.refuse(line,
                     QStringLiteral("Subscript out of range (channel \"%1\" is not 0 or %2)").arg(value).arg(own));
    }
    void number(f32& value) { r.readNumber(value); }
    void endLine() { ++line; }
};

void MergeMaskingChannel(LumoData& d, int ch)
{
    d.EqChannel(ch) = static_cast<i16>(ch);
    d.EqHighCutFreq(ch) = d.MaskHighCutFreq(ch);
    d.EqHighCutSlope(ch) = d.MaskHighCutSlope(ch);
    d.EqLowCutFreq(ch) = d.MaskLowCutFreq(ch);
    d.EqLowCutSlope(ch) = d.MaskLowCutSlope(ch);
    // The generator takes whole decibels only.
    d.EqGain(ch) = RoundSingle(d.MaskGainChange(ch), 0);
    for (int b = FirstEqBand; b <= LastEqBand; ++b) {
        const bool measured = b >= FirstDataBand && b <= LastDataBand;
        d.EqBand(ch, b) = measured ? RoundSingle(d.MaskCorrection(ch, b), 0) : 0.f;
    }
}

void MergePagingChannel(LumoData& d, int ch)
{
    d.EqPageChannel(ch) = static_cast<i16>(ch);
    for (int j = 1; j <= 8; ++j) {
        d.EqPageFreq(ch, j) = d.PageEqFreq(ch, j);
        d.EqPageWidth(ch, j) = d.PageEqWidth(ch, j);
        d.EqPageLevel(ch, j) = d.PageEqLevel(ch, j);
    }
}

}  // namespace

QString EqFileNamePart(const QString& name)
{
    const QString part = name.mid(std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\')) + 1);
    // Windows drops a name's trailing dots and blanks, which turns ".. " into the parent folder.
    const bool namesAFolder = std::all_of(part.cbegin(), part.cend(), [](QChar c) { return c == u'.' || c.isSpace(); });
    return namesAFolder ? QString() : part;
}

QString EqFilePath(LumoData& d, const QString& name)
{
    if (d.MG24Folder.trimmed().isEmpty())
        d.MG24Folder = d.AppPath;
    if (!d.MG24Folder.endsWith(u'/') && !d.MG24Folder.endsWith(u'\\'))
        d.MG24Folder += QDir::separator();
    return d.MG24Folder + EqFileNamePart(name);
}

QByteArray EqFileBytes(const LumoData& d)
{
    WritingFields f;
    WalkEqFile(d, f);
    return f.w.bytes();
}

void SetFreshEqImage(LumoData& d)
{
    for (int k = 1; k <= 2; ++k) {
        d.EqPageChannel(k) = 0;
        for (int j = 1; j <= 8; ++j) {
            d.EqPageFreq(k, j) = 0;
            d.EqPageWidth(k, j) = 0;
            d.EqPageLevel(k, j) = 0;
        }
    }
    for (int m = 3; m <= 6; ++m) {
        d.EqChannel(m) = 0;
        d.EqLowCutFreq(m) = 100;
        d.EqLowCutSlope(m) = 12;
        d.EqHighCutFreq(m) = 7000;
        d.EqHighCutSlope(m) = 12;
        d.EqGain(m) = 0;
        for (int b = FirstBand; b <= LastBand; ++b)
            d.EqBand(m, b) = 0;
    }
}

Parsed<LumoData> ParseEqFile(const QByteArray& bytes, LumoData into)
{
    ReadingFields f(bytes);
    WalkEqFile(into, f);
    return f.r.result(std::move(into));
}

void ReadEqFile(LumoData& d, Prompter& prompter, const QString& name, i16& failed, i16& notFound)
{
    const QString path = EqFilePath(d, name);
    if (name.trimmed().isEmpty()) {
        // No file named: the path would be the folder itself.
        failed = -1;
        notFound = -1;
        return;
    }
    const std::optional<FileReadError> error = ReadDataFile(path, d, ParseEqFile);
    failed = error ? -1 : 0;
    notFound = error && error->notFound ? -1 : 0;
    // A file that is there but unreadable is reported, so that nobody writes a fresh image over it.
    if (error && !error->notFound) {
        prompter.message(error->inFile() + QStringLiteral(" occurred on line ") + QString::number(error->line) +
                             QStringLiteral(" in opening EQfile"),
                         FileErrorTitle, MsgIcon::Critical, MsgButtons::Ok);
    }
}

void WriteEqFile(LumoData& d, Prompter& prompter, i16 channel, i16 kind)
{
    if (channel < 1 || channel > 6)
        return;
    if (d.ProjectEqName.trimmed().isEmpty()) {
        prompter.message(QStringLiteral("The project has no EQ file name yet, so the ZUV-AR24 settings were not "
                                        "saved. Open a masking channel of the project to name the EQ file."),
                         FileErrorTitle, MsgIcon::Exclamation, MsgButtons::Ok);
        return;
    }

    i16 failed = 0;
    i16 notFound = 0;
    ReadEqFile(d, prompter, d.ProjectEqName, failed, notFound);
    if (failed && !notFound)
        return;
    if (failed)
        SetFreshEqImage(d);

    if (channel >= 3)
        MergeMaskingChannel(d, channel);
    else
        MergePagingChannel(d, channel);

    QString error;
    if (!SaveWholeFile(EqFilePath(d, d.ProjectEqName), EqFileBytes(d), &error)) {
        // The file is written in one piece, so the failure is placed where writing begins.
        prompter.message(error + QStringLiteral(" occurred on line 1 in saving EQ file"), FileErrorTitle,
                         MsgIcon::Critical, MsgButtons::Ok);
        return;
    }
    const QString what = kind == 1 ? QStringLiteral("Masking channel") : QStringLiteral("Paging channel");
    prompter.message(what + NumberText(channel) + QStringLiteral(" data have been saved to ") + d.MG24Folder +
                         d.ProjectEqName + u'.',
                     QStringLiteral("MG24 File"), MsgIcon::Information, MsgButtons::Ok);
}

}  // namespace kov
