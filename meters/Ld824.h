#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

#include "core/Clock.h"
#include "core/Indexed.h"
#include "core/Prompter.h"
#include "meters/DownloadLevels.h"
#include "meters/SerialLink.h"

namespace kov {

// ---- Frames -------------------------------------------------------------------------------------------------

// The checksum character of a frame: the sum of the codes above 31 of `text`, started at `seed`, modulo 128, with
// 64 added when that falls below 32. A command is summed from 0, a reply from the command's checksum character.
char LdChecksum(const QByteArray& text, int seed = 0);

// "R1" -> "R1C\r".
QByteArray LdCommandFrame(const QByteArray& command);

// ---- The exchange -------------------------------------------------------------------------------------------

// How one exchange ended.
enum class LdStatus {
    Replied,  // a reply with a good checksum came
    NoReply,  // none in five attempts
    NotSent,  // the line refused the command
    Stopped,  // the person stopped the download while it waited
};

struct LdReply {
    LdStatus status = LdStatus::NoReply;
    // The reply text, " " for an empty reply with a good checksum, "" when none came.
    QString text;
};

// Asked after every wait of the protocol; true stops what is under way there (Cancel Download).
using LdStopCheck = std::function<bool()>;

// One command and its reply, with up to five attempts. `timeout` (seconds) below 0.3 is raised to
// 0.3 + 0.0001 * command length and keeps the raised value. Waits only through `clock`; a write the line refuses
// ends the exchange at once.
LdReply SendLdCommand(SerialLink& link, Clock& clock, const QByteArray& command, f32& timeout,
                      const LdStopCheck& stop = {});

// Opens the line and wakes the meter (breaks for up to 6 s), then the handshake (character 255, five "@@", "R1")
// with its two retry questions. True when the meter named its model; the line is left open only then. False also
// when `stop` said so at a wait.
// `port` is how the messages name the port: "COM3", or the device the installer picked ("/dev/ttyUSB0").
bool ConnectLd824(SerialLink& link, Clock& clock, Prompter& prompter, const QString& port,
                  const LdStopCheck& stop = {});

// ---- The download -------------------------------------------------------------------------------------------

// What one file of the meter held (LdFileRecord).
struct LdFileRecord {
    QString r8;                     // 18 characters
    QString r7;                     // 13 characters
    f32 r11 = 0;                    // a number
    Indexed<f32, 11, 43> levels{};  // meter bands 11..43, 12.5 Hz .. 20 kHz
};

struct Ld824Download {
    bool failed = true;
    bool stopped = false;  // Cancel Download ended it
    // TestLevel and TestCount; only tests 1..count are written, and only when the download succeeded.
    DownloadLevels levels{};
    int count = 0;
    int endFile = 0;  // EndFile, which the truncate question may have lowered
    QString model;    // the six characters after "Model " in the reply to "R1"
    QString r89;
    QString bandText[33];  // LdBandText, meter bands 11..43
    std::vector<LdFileRecord> files;
};

// The whole download of files startFile..endFile (checked before: 1 <= start <= end, end - start <= 9), every
// message and question through `prompter`; `note` receives "Downloading SLM File3." after each file. A command
// that gets no usable reply in its attempts, or that the line refuses, ends the download there with one message
// (the command, the file, the port, what to check), and so does `stop` at any wait: a failed download hands over
// nothing. The line is closed on every path.
Ld824Download DownloadLd824(SerialLink& link, Clock& clock, Prompter& prompter, const QString& port, int startFile,
                            int endFile, const std::function<void(const QString&)>& note, const LdStopCheck& stop = {});

}  // namespace kov
