#pragma once

#include "core/Prompter.h"

namespace kov::bench {

// A benchmark expects no message: one would mean the measured work failed. The last text is kept to say why.
class SilentPrompter : public Prompter {
public:
    MsgAnswer message(const QString& text, const QString&, MsgIcon, MsgButtons) override
    {
        last = text;
        return MsgAnswer::Cancel;
    }
    QString chooseSaveFile(const SaveFileRequest&) override { return {}; }
    QString chooseOpenFile(const OpenFileRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    bool openDocument(const QString&) override { return false; }
    void beep() override {}
    QString last;
};

}  // namespace kov::bench
