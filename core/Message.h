#pragma once

#include <QString>

#include "core/Prompter.h"

namespace kov {

// What logic hands a window to tell the person: always a box with an OK button only, so the logic need not know
// how the window shows it.
struct Message {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::Information;

    bool operator==(const Message&) const = default;
};

inline void ShowMessage(Prompter& prompter, const Message& m)
{
    prompter.message(m.text, m.title, m.icon, MsgButtons::Ok);
}

}  // namespace kov
