#include "fuzz/FuzzSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace kov::fuzz {

MsgAnswer QuietPrompter::message(const QString& text, const QString&, MsgIcon, MsgButtons buttons)
{
    ++messages;
    lastText = text;
    switch (buttons) {
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return MsgAnswer::Yes;
        case MsgButtons::Ok:
        case MsgButtons::OkCancel:
            break;
    }
    return MsgAnswer::Ok;
}

QString WorkFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kov-fuzz-XXXXXX"));
    if (!folder.isValid())
        Fail("cannot create the work folder");
    return folder.path();
}

QString WriteWorkFile(const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(WorkFolder()).filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail("cannot write the input file");
    return path;
}

QByteArray Bytes(const std::uint8_t* data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

bool FieldStyleHolds(const QString& text)
{
    return !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n');
}

namespace {

void Dump(const char* label, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return;
    std::fprintf(stderr, "%s (%lld bytes): %s\n", label, static_cast<long long>(bytes.size()),
                 bytes.left(2000).toPercentEncoding(" ,.-+\"").constData());
}

}  // namespace

void Fail(const char* what, const QByteArray& first, const QByteArray& second)
{
    std::fprintf(stderr, "\n*** KOV fuzz check failed: %s\n", what);
    Dump("first", first);
    Dump("second", second);
    std::fflush(stderr);
    std::abort();
}

void CheckSameText(const QString& read, const QString& reread, const char* what)
{
    if (FieldStyleHolds(read))
        Check(read == reread, what, read.toUtf8(), reread.toUtf8());
}

namespace {

std::unique_ptr<LumoData> InWorkFolder()
{
    auto d = std::make_unique<LumoData>();
    d->AppPath = WorkFolder();
    d->MG24Folder = WorkFolder();
    return d;
}

}  // namespace

std::optional<ReadTwice> ReadWriteRead(const DataFile& file, const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = Bytes(data, size);
    const QString path = WriteWorkFile(file.fileName, input);
    ReadTwice result{InWorkFolder(), InWorkFolder()};
    const QByteArray untouched = file.bytes(*result.first);
    QuietPrompter prompter;
    i16 failed = 0;
    file.read(*result.first, prompter, path, failed);
    if (failed) {
        Check(prompter.messages == 1, "a file that does not read must say so exactly once", input);
        Check(file.bytes(*result.first) == untouched, "a file that does not read changed the data", input);
        return std::nullopt;
    }
    Check(prompter.messages == 0, "a file that reads showed a message", input, prompter.lastText.toUtf8());

    const QByteArray written = file.bytes(*result.first);
    WriteWorkFile(file.fileName, written);
    file.read(*result.again, prompter, path, failed);
    Check(!failed, "the file as written does not read", input, written);
    Check(file.bytes(*result.again) == written, "the file as written reads to other data", written,
          file.bytes(*result.again));
    return result;
}

}  // namespace kov::fuzz
