#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include <optional>

#include "core/LumoData.h"
#include "core/TextFields.h"

namespace kov::fuzz {

QByteArray Bytes(const std::uint8_t* data, std::size_t size);

// A text the field style can carry unchanged: the style has no escapes, so a quote or a line break inside a text
// is replaced when written.
bool FieldStyleHolds(const QString& text);

// Stops the run with what went wrong and the bytes involved, so libFuzzer keeps the input.
[[noreturn]] void Fail(const char* what, const QByteArray& first = {}, const QByteArray& second = {});

inline void Check(bool ok, const char* what, const QByteArray& first = {}, const QByteArray& second = {})
{
    if (!ok)
        Fail(what, first, second);
}

// Two texts read from a file and from the file written again: equal wherever the field style can hold them.
void CheckSameText(const QString& read, const QString& reread, const char* what);

// One of the data files as its pair of pure functions.
struct DataFile {
    Parsed<LumoData> (*parse)(const QByteArray& bytes, LumoData into);
    QByteArray (*bytes)(const LumoData& d);
};

struct ReadTwice {
    LumoData first;  // the input as read
    LumoData again;  // its bytes written and read again
};

// The round every file target makes: the input parsed into a fresh data object; one that does not parse gives a
// line and a reason (and, parsed into a copy, cannot touch the caller's data); one that parses, written again,
// parses to the same bytes. Returns both readings for the target's own checks, or nothing when the input did not
// parse.
std::optional<ReadTwice> ReadWriteRead(const DataFile& file, const std::uint8_t* data, std::size_t size);

}  // namespace kov::fuzz
