#pragma once

#include <QString>

#include <optional>

#include "core/Message.h"

namespace kov {

// Where the last download came from (DownloadSource).
enum class DownloadSource { None = 0, Ld824 = 1, Excel = 2, Dsp30 = 3, Paa3 = 4, Bk2250 = 5, Ie45 = 6 };

// The characters a record-number box takes.
inline const QString RecordNumberChars = QStringLiteral("0123456789.");

// A record-number box losing the focus: its text's leading number rounded half to even. For the last-record box
// of a PAA3 download a number of 11 or more becomes 10, the box shows "10" and the message says why.
struct RecordBoxExit {
    int value = 0;
    std::optional<QString> boxText;  // what the box shows now, when that changed
    std::optional<Message> message;  // "There are only ten files in the PAA3 meter."
};
RecordBoxExit LeaveStartRecordBox(const QString& text);
RecordBoxExit LeaveEndRecordBox(const QString& text, DownloadSource source);

// "Start Download": the four checks in their order. On a failure the message ("Record Error", critical) and
// whether only the first box is cleared (the first check) or both.
struct RecordRangeError {
    Message message;
    bool clearsStartOnly = false;
};
std::optional<RecordRangeError> CheckRecordRange(int startFile, int endFile, DownloadSource source);

}  // namespace kov
