#include "meters/RecordRange.h"

#include <cmath>
#include <limits>

#include "core/Numbers.h"
#include "core/TextValue.h"

namespace kov {

namespace {

constexpr int Paa3StoredFiles = 10;
constexpr int MaxRecordsPerDownload = 10;

// The box takes digits and points only, yet a pasted text can still hold forty digits: the value saturates at the
// 16-bit range the record numbers live in instead of overflowing.
int RecordNumber(const QString& text)
{
    const double value = BasicVal(text);
    if (std::isnan(value)) {
        return 0;
    }
    const double rounded = RoundHalfEven(value, 0);
    if (rounded <= std::numeric_limits<i16>::min()) {
        return std::numeric_limits<i16>::min();
    }
    if (rounded >= std::numeric_limits<i16>::max()) {
        return std::numeric_limits<i16>::max();
    }
    return static_cast<int>(rounded);
}

RecordRangeError RecordError(const char* text, bool clearsStartOnly = false)
{
    return {{QString::fromLatin1(text), QStringLiteral("Record Error"), MsgIcon::Critical}, clearsStartOnly};
}

}  // namespace

RecordBoxExit LeaveStartRecordBox(const QString& text)
{
    return {RecordNumber(text), std::nullopt, std::nullopt};
}

RecordBoxExit LeaveEndRecordBox(const QString& text, DownloadSource source)
{
    RecordBoxExit exit{RecordNumber(text), std::nullopt, std::nullopt};
    if (source == DownloadSource::Paa3 && exit.value > Paa3StoredFiles) {
        exit.value = Paa3StoredFiles;
        exit.boxText = QString::number(Paa3StoredFiles);
        exit.message = Message{QStringLiteral("There are only ten files in the PAA3 meter."),
                               QStringLiteral("End File Limit"), MsgIcon::Information};
    }
    return exit;
}

std::optional<RecordRangeError> CheckRecordRange(int startFile, int endFile, DownloadSource source)
{
    if (startFile < 1) {
        return RecordError("The start record number must be at least one.", true);
    }
    if (startFile > endFile) {
        return RecordError("The start record number must be less than the end record number. Re-enter data.");
    }
    if (endFile - startFile > MaxRecordsPerDownload - 1) {
        return RecordError("You have asked for more than 10 records to be downloaded. The limit is 10. Re-enter data.");
    }
    if (source == DownloadSource::Paa3 && endFile > Paa3StoredFiles) {
        return RecordError(
            "You have asked for a PAA3  end record number greater than 10. The limit is 10. Re-enter data.");
    }
    return std::nullopt;
}

}  // namespace kov
