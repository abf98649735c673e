#pragma once

#include <QString>
#include <QtGlobal>

#ifdef Q_OS_WIN
namespace kov {

// What Windows says of one of its error codes (GetLastError), in the system's words.
QString WindowsErrorText(unsigned long code);

}  // namespace kov
#endif
