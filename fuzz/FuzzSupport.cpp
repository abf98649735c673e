#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <variant>

namespace kov::fuzz {

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

std::optional<ReadTwice> ReadWriteRead(const DataFile& file, const std::uint8_t* data, std::size_t size)
{
    const QByteArray input = Bytes(data, size);
    Parsed<LumoData> first = file.parse(input, LumoData());
    if (const ReadError* error = std::get_if<ReadError>(&first)) {
        Check(error->line >= 1 && !error->text.isEmpty(), "a file that does not parse gives no line or no reason",
              input, error->text.toUtf8());
        return std::nullopt;
    }
    const QByteArray written = file.bytes(std::get<LumoData>(first));
    Parsed<LumoData> again = file.parse(written, LumoData());
    Check(std::holds_alternative<LumoData>(again), "the file as written does not parse", input, written);
    Check(file.bytes(std::get<LumoData>(again)) == written, "the file as written parses to other data", written,
          file.bytes(std::get<LumoData>(again)));
    return ReadTwice{std::move(std::get<LumoData>(first)), std::move(std::get<LumoData>(again))};
}

}  // namespace kov::fuzz
