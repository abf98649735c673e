#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

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

}  // namespace kov::fuzz
