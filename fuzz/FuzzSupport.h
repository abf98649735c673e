#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

#include <functional>
#include <memory>
#include <optional>

#include "core/LumoData.h"
#include "core/Prompter.h"

namespace kov::fuzz {

// Answers every question with its first choice and counts the messages; file dialogs are cancelled.
class QuietPrompter : public Prompter {
public:
    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString chooseSaveFile(const SaveFileRequest&) override { return {}; }
    QString chooseOpenFile(const OpenFileRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    bool openDocument(const QString&) override { return false; }
    void beep() override {}

    int messages = 0;
    QString lastText;
};

// One folder per fuzzing process, removed when it ends; readers that find their file by name read it from here.
QString WorkFolder();
// Writes `bytes` as `name` in the work folder and returns the full path.
QString WriteWorkFile(const QString& name, const QByteArray& bytes);

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

// One of the data files as a fuzz target sees it: how a fresh data object finds it, how the file is read from the
// work folder, and the bytes the data would be written as.
struct DataFile {
    QString fileName;
    std::function<void(LumoData& d, Prompter& prompter, const QString& path, i16& failed)> read;
    std::function<QByteArray(const LumoData&)> bytes;
};

struct ReadTwice {
    std::unique_ptr<LumoData> first;  // the input as read
    std::unique_ptr<LumoData> again;  // its bytes written and read again
};

// The round every file target makes: the input read as the file; one that does not read says so exactly once and
// changes nothing; one that reads shows no message, and written again reads to the same bytes. Returns both
// readings for the target's own checks, or nothing when the input did not read.
std::optional<ReadTwice> ReadWriteRead(const DataFile& file, const std::uint8_t* data, std::size_t size);

}  // namespace kov::fuzz
