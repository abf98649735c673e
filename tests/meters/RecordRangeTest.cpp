#include <gtest/gtest.h>

#include <optional>
#include <tuple>

#include "meters/RecordRange.h"

using namespace kov;

namespace {

const QString FortyDigits = QStringLiteral("1234567890123456789012345678901234567890");

Message RecordError(const char* text)
{
    return {QString::fromLatin1(text), QStringLiteral("Record Error"), MsgIcon::Critical};
}

}  // namespace

TEST(RecordRange, StartBoxTakesTheLeadingNumberRoundedHalfToEven)
{
    const std::pair<QString, int> cases[] = {
        {"2.5", 2}, {"3.5", 4},   {"7abc", 7},          {"1.2.3", 1},
        {"", 0},    {"-2.5", -2}, {FortyDigits, 32767}, {"-" + FortyDigits, -32768},
    };
    for (const auto& [text, value] : cases) {
        const RecordBoxExit exit = LeaveStartRecordBox(text);
        EXPECT_EQ(exit.value, value) << text.toStdString();
        EXPECT_FALSE(exit.boxText || exit.message) << text.toStdString();
    }
}

TEST(RecordRange, EndBoxHoldsAPaa3DownloadToItsTenFiles)
{
    const Message tenFiles{QStringLiteral("There are only ten files in the PAA3 meter."),
                           QStringLiteral("End File Limit"), MsgIcon::Information};
    const auto none = std::nullopt;
    // (typed, meter, value, box text, message)
    const std::tuple<QString, DownloadSource, int, std::optional<QString>, std::optional<Message>> cases[] = {
        {"11", DownloadSource::Paa3, 10, "10", tenFiles}, {"10.51", DownloadSource::Paa3, 10, "10", tenFiles},
        {"10", DownloadSource::Paa3, 10, none, none},     {"10.5", DownloadSource::Paa3, 10, none, none},
        {"11", DownloadSource::Ld824, 11, none, none},    {FortyDigits, DownloadSource::Ld824, 32767, none, none},
    };
    for (const auto& [text, source, value, boxText, message] : cases) {
        const RecordBoxExit exit = LeaveEndRecordBox(text, source);
        SCOPED_TRACE(text.toStdString() + " from source " + std::to_string(static_cast<int>(source)));
        EXPECT_EQ(exit.value, value);
        EXPECT_EQ(exit.boxText, boxText);
        EXPECT_EQ(exit.message, message);
    }
}

TEST(RecordRange, ChecksRunInTheirOrder)
{
    const Message atLeastOne = RecordError("The start record number must be at least one.");
    const Message startAfterEnd =
        RecordError("The start record number must be less than the end record number. Re-enter data.");
    const Message moreThanTen =
        RecordError("You have asked for more than 10 records to be downloaded. The limit is 10. Re-enter data.");
    const Message paa3Limit =
        RecordError("You have asked for a PAA3  end record number greater than 10. The limit is 10. Re-enter data.");
    // (start, end, meter, message, whether it clears only the start box)
    const std::tuple<int, int, DownloadSource, std::optional<Message>, bool> cases[] = {
        {4, 4, DownloadSource::Ld824, std::nullopt, false},  {10, 10, DownloadSource::Paa3, std::nullopt, false},
        {2, 11, DownloadSource::Excel, std::nullopt, false}, {0, 5, DownloadSource::Ld824, atLeastOne, true},
        {5, 4, DownloadSource::Ld824, startAfterEnd, false}, {1, 11, DownloadSource::Ld824, moreThanTen, false},
        {1, 11, DownloadSource::Paa3, moreThanTen, false},   {11, 11, DownloadSource::Paa3, paa3Limit, false},
    };
    for (const auto& [start, end, source, message, clearsStartOnly] : cases) {
        const std::optional<RecordRangeError> error = CheckRecordRange(start, end, source);
        SCOPED_TRACE(testing::Message() << start << ".." << end << " from source " << static_cast<int>(source));
        EXPECT_EQ(error ? std::optional(error->message) : std::nullopt, message);
        EXPECT_EQ(error && error->clearsStartOnly, clearsStartOnly);
    }
}
