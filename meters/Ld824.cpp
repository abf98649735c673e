#include "meters/Ld824.h"

#include <algorithm>

#include "core/Message.h"
#include "core/Numbers.h"
#include "core/TextValue.h"

namespace kov {

namespace {

constexpr char CR = '\r';
constexpr int Attempts = 5;

// A bad "R94" reply must not make the file table swallow the memory: the meter holds far fewer files than this.
constexpr std::size_t MaxFileRecords = 4096;

// Seconds from `start` to `now` on a clock that starts again from 0 at midnight. Waits are seconds long, so a
// reading below the start means the day turned.
double SecondsSince(double start, double now)
{
    double elapsed = now - start;
    if (elapsed < 0)
        elapsed += SecondsPerDay;
    return elapsed;
}

QByteArray Decimal(int n)
{
    return QByteArray::number(n);
}

}  // namespace

char LdChecksum(const QByteArray& text, int seed)
{
    int sum = seed;
    for (const char ch : text) {
        const int code = static_cast<unsigned char>(ch);
        if (code > 31)
            sum += code;
    }
    sum %= 128;
    if (sum < 32)
        sum += 64;
    return static_cast<char>(sum);
}

QByteArray LdCommandFrame(const QByteArray& command)
{
    return command + LdChecksum(command) + CR;
}

LdReply SendLdCommand(SerialLink& link, Clock& clock, const QByteArray& command, f32& timeout, const LdStopCheck& stop)
{
    const char check = LdChecksum(command);
    if (timeout < 0.3f)
        timeout = 0.3f + 0.0001f * static_cast<f32>(command.size());
    const QByteArray frame = command + check + CR;

    int attemptsLeft = Attempts;
    while (attemptsLeft > 0) {
        // Whatever is still on the line belongs to an earlier exchange and would spoil this reply.
        if (link.bytesWaiting() > 0) {
            link.readAll();
            continue;
        }
        // A port that refuses a frame (the adapter pulled out) will not take the next one either.
        if (!link.write(frame))
            return {LdStatus::NotSent, {}};
        const double start = clock.secondsSinceMidnight();
        QByteArray buffer;
        bool more = true;
        do {
            if (link.bytesWaiting() > 0) {
                buffer += link.readAll();
                if (buffer.contains(CR))
                    break;
            } else {
                clock.letEventsRun();
                if (stop && stop())
                    return {LdStatus::Stopped, {}};
            }
            more = SecondsSince(start, clock.secondsSinceMidnight()) <= timeout || link.bytesWaiting() > 0;
        } while (more);

        if (buffer.size() > 1) {
            const qsizetype end = buffer.indexOf(CR);
            const QByteArray reply = end < 0 ? buffer : buffer.left(end);
            if (!reply.isEmpty()) {
                QByteArray text;
                for (qsizetype i = 0; i + 1 < reply.size(); ++i) {
                    if (static_cast<unsigned char>(reply[i]) > 31)
                        text += reply[i];
                }
                if (LdChecksum(text, static_cast<unsigned char>(check)) == reply.back())
                    return {LdStatus::Replied, text.isEmpty() ? QStringLiteral(" ") : QString::fromLatin1(text)};
            }
        }
        --attemptsLeft;
    }
    return {LdStatus::NoReply, {}};
}

bool ConnectLd824(SerialLink& link, Clock& clock, Prompter& prompter, const QString& port, const LdStopCheck& stop)
{
    QString reason;
    if (!link.open(&reason)) {
        prompter.message(QStringLiteral("The Port ") + port + QStringLiteral(" is incorrect.  Choose another."),
                         QStringLiteral("Port Error"), MsgIcon::Critical, MsgButtons::Ok);
        link.close();
        return false;
    }
    const auto stopped = [&] {
        if (!stop || !stop())
            return false;
        link.close();
        return true;
    };

    // The meter sleeps until a break on the line wakes it; it answers with a carriage return.
    double start = clock.secondsSinceMidnight();
    double deadline = start + 6;
    QByteArray heard;
    for (;;) {
        link.setBreak(true);
        WaitSeconds(clock, 0.05f);
        link.setBreak(false);
        WaitSeconds(clock, 0.05f);
        if (stopped())
            return false;
        if (link.bytesWaiting() > 0) {
            heard += link.readAll();
            if (heard.contains(CR))
                break;
        }
        // Checked on noise too, so a line that chatters without ever ending a line cannot hold us here.
        const double now = clock.secondsSinceMidnight();
        if (now > deadline) {
            link.close();
            return false;
        }
        if (now < start) {
            // Past midnight: a shorter second try rather than working out what is left of the first.
            start = now;
            deadline = start + 3;
        }
    }

    for (;;) {
        link.write(QByteArray("\xFF\r"));
        WaitSeconds(clock, 0.25f);
        for (int i = 0; i < 5; ++i) {
            if (stopped())
                return false;
            link.write(QByteArray("@@\r"));
            WaitSeconds(clock, 0.25f);
        }
        f32 timeout = 0;
        const LdReply reply = SendLdCommand(link, clock, "R1", timeout, stop);
        if (reply.status == LdStatus::Stopped) {
            link.close();
            return false;
        }
        if (reply.text.contains(QStringLiteral("Model")))
            return true;
        const QString question =
            reply.text.isEmpty()
                ? QStringLiteral("Unable to communicate with instrument.\n\nRetry?")
                : QStringLiteral("Invalid response from instrument.\n\n[") + reply.text + QStringLiteral("]\n\nRetry?");
        if (prompter.message(question, QString(), MsgIcon::Exclamation, MsgButtons::OkCancel) != MsgAnswer::Ok) {
            link.close();
            return false;
        }
    }
}

namespace {

// Thrown by the download's one sending place when a command fails; caught where the line is closed and the
// person told, so that the download goes no further than the first command that failed.
struct DownloadEnded {
    Message message;
    bool stopped = false;
};

const QString MeterHints = QStringLiteral("\nCheck cable connection.\nCheck for batteries or AC power.");
const QString NothingTaken =
    QStringLiteral(" Nothing was taken from the meter; the tests in the grid are as they were.");

// "R173 for file 3", or the command alone before the files are read.
QString StepText(const QByteArray& command, int file)
{
    const QString c = QString::fromLatin1(command);
    return file > 0 ? QStringLiteral("%1 for file %2").arg(c).arg(file) : c;
}

DownloadEnded Ending(LdStatus status, const QByteArray& command, int file, const QString& port)
{
    const QString step = StepText(command, file);
    switch (status) {
        case LdStatus::Stopped:
            return {Message{QStringLiteral("The download from the LD824 was cancelled.") + NothingTaken,
                            QStringLiteral("Download Cancelled"), MsgIcon::Information},
                    true};
        case LdStatus::NotSent:
            return {Message{QStringLiteral("The command %1 could not be sent to the LD824 on %2, so the download "
                                           "stopped.")
                                    .arg(step, port) +
                                NothingTaken + QStringLiteral("\nCheck that the port or its USB adapter is connected."),
                            QStringLiteral("Download Error"), MsgIcon::Critical}};
        case LdStatus::NoReply:
        case LdStatus::Replied:
            break;
    }
    return {Message{QStringLiteral("The LD824 on %1 gave no valid reply to %2 in five tries, so the download stopped.")
                            .arg(port, step) +
                        NothingTaken + MeterHints,
                    QStringLiteral("Download Error"), MsgIcon::Critical}};
}

DownloadEnded Unusable(const QByteArray& command, int file, const QString& port, const QString& reply)
{
    constexpr qsizetype Shown = 40;
    const QString shown = reply.size() > Shown ? reply.left(Shown) + QStringLiteral("...") : reply;
    return {Message{QStringLiteral("The reply of the LD824 on %1 to %2 cannot be read ([%3]), so the download "
                                   "stopped.")
                            .arg(port, StepText(command, file), shown) +
                        NothingTaken + MeterHints,
                    QStringLiteral("Download Error"), MsgIcon::Critical}};
}

bool HoldsDigit(const QString& text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

// The 33 fixed fields of "R173", of which the grid's eighteen bands must hold numbers: a reply cut short or
// garbled would otherwise become a test of zeros.
bool HoldsLevels(const QString& fields)
{
    if (fields.size() < 6 * 32 + 5)
        return false;
    for (int band = 22; band <= 39; ++band) {
        if (!HoldsDigit(fields.mid(6 * (band - 11), 5)))
            return false;
    }
    return true;
}

// The download after the handshake. Every command goes through `send`, which throws at the first that fails;
// the checks the protocol itself makes return their message the same way.
void ReadFiles(SerialLink& link, Clock& clock, Prompter& prompter, const QString& port, int startFile, int endFile,
               const std::function<void(const QString&)>& note, const LdStopCheck& stop, Ld824Download& result)
{
    // One timeout for the whole download: a value raised for one command holds for those after it.
    f32 timeout = 0;
    int file = 0;
    const auto send = [&](const QByteArray& command) {
        const LdReply reply = SendLdCommand(link, clock, command, timeout, stop);
        if (reply.status != LdStatus::Replied)
            throw Ending(reply.status, command, file, port);
        return reply.text;
    };
    const auto refuse = [](const QString& text, const QString& title) {
        return DownloadEnded{Message{text, title, MsgIcon::Critical}};
    };

    const QString r1 = send("R1");
    // Without "Model " this reads from the sixth character, as indexOf's -1 makes it.
    result.model = r1.mid(r1.indexOf(QStringLiteral("Model ")) + 6, 6);
    result.r89 = send("R89");

    QString state = send("R3,1").mid(1, 1);
    if (state == QStringLiteral("P") || state == QStringLiteral("R"))
        state = send("M4");
    if (state == QStringLiteral("p"))
        throw refuse(QStringLiteral("There are no data available to download."), QStringLiteral("File Error"));

    if (BasicVal(send("R3,4")) == 0) {
        timeout = 6;
        send("&F103");
    }
    for (int k = 11; k <= 43; ++k) {
        const QString label = send("R174," + Decimal(k));
        result.bandText[k - 11] = label.left(std::max<qsizetype>(0, label.size() - 2));
    }

    const QString files = send("R181");
    if (!HoldsDigit(files))
        throw Unusable("R181", 0, port, files);
    const int held = SingleToI16(static_cast<f32>(BasicVal(files)));
    if (held == 0)
        throw refuse(QStringLiteral("There are no data files available to download."), QStringLiteral("Empty Memory"));
    if (startFile > held) {
        throw refuse(QStringLiteral("The start file number is higher than the number of files in the LD824."),
                     QStringLiteral("File Error"));
    }
    if (endFile > held) {
        const MsgAnswer truncate = prompter.message(
            QStringLiteral("The end file number is higher than the number of files in the LD824.  Truncate to") +
                QString::number(held) + QStringLiteral(" ?"),
            QStringLiteral("File Error"), MsgIcon::Critical, MsgButtons::YesNo);
        if (truncate != MsgAnswer::Yes)
            throw DownloadEnded{};
        endFile = held;
    }

    // The meter wants every file up to the last one opened once before it hands any of them over.
    for (file = 1; file <= endFile; ++file) {
        send("F" + Decimal(file) + ",6");
        send("&F101");
    }

    int accepted = 0;
    int previous = 0;
    for (file = 1; file <= endFile; ++file) {
        const int f = file;
        if (f >= startFile && f <= endFile)
            ++accepted;
        send("F" + Decimal(f) + ",6");
        timeout = 10;
        send("&F102");

        double extra = BasicVal(send("R94"));
        if (!(extra > 0))
            extra = 0;
        const double wanted = static_cast<double>(result.files.size()) + 2 + extra;
        const std::size_t size =
            std::max(static_cast<std::size_t>(f), static_cast<std::size_t>(std::min(wanted, double(MaxFileRecords))));
        if (size > result.files.size())
            result.files.resize(size);
        LdFileRecord& record = result.files[static_cast<std::size_t>(f - 1)];
        record.r8 = send("R8");
        record.r7 = send("R7");
        record.r11 = static_cast<f32>(BasicVal(send("R11")));
        timeout = 8;
        const QString fields = send("R173");
        if (!HoldsLevels(fields))
            throw Unusable("R173", f, port, fields);
        for (int k = 0; k <= 32; ++k)
            record.levels(11 + k) = static_cast<f32>(BasicVal(fields.mid(6 * k, 5)));

        if (accepted > previous && accepted <= DownloadLevels::hi1) {
            for (int band = 22; band <= 39; ++band) {
                const double level = RoundHalfEven(record.levels(band), 0);
                result.levels(accepted, band - 21) = static_cast<f32>(std::min(level, 99.0));
            }
        }
        previous = accepted;
        if (note)
            note(QStringLiteral("Downloading SLM File") + QString::number(f) + QStringLiteral("."));
        clock.letEventsRun();
        if (stop && stop())
            throw Ending(LdStatus::Stopped, {}, f, port);
    }

    result.count = endFile - startFile + 1;
    result.endFile = endFile;
}

}  // namespace

Ld824Download DownloadLd824(SerialLink& link, Clock& clock, Prompter& prompter, const QString& port, int startFile,
                            int endFile, const std::function<void(const QString&)>& note, const LdStopCheck& stop)
{
    Ld824Download result;
    const auto fail = [&](const Message& message) {
        ShowMessage(prompter, message);
        link.close();
        result.failed = true;
        return result;
    };

    if (!ConnectLd824(link, clock, prompter, port, stop)) {
        if (stop && stop()) {
            result.stopped = true;
            return fail(Ending(LdStatus::Stopped, {}, 0, port).message);
        }
        return fail({QStringLiteral("Connection failed. Port ") + port +
                         QStringLiteral(" may be in error.\nCheck cable connection.\nCheck for batteries or AC power."),
                     QStringLiteral("Download Error"), MsgIcon::Critical});
    }
    try {
        ReadFiles(link, clock, prompter, port, startFile, endFile, note, stop, result);
    } catch (const DownloadEnded& ended) {
        // What was read so far goes with the failure: nothing of it is a test.
        result.levels = DownloadLevels{};
        result.stopped = ended.stopped;
        if (ended.message.text.isEmpty()) {
            link.close();
            result.failed = true;
            return result;
        }
        return fail(ended.message);
    }
    result.failed = false;
    link.close();
    return result;
}

}  // namespace kov
