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

QString SendLdCommand(SerialLink& link, Clock& clock, const QByteArray& command, f32& timeout)
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
        link.write(frame);
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
                    return text.isEmpty() ? QStringLiteral(" ") : QString::fromLatin1(text);
            }
        }
        --attemptsLeft;
    }
    return QString();
}

bool ConnectLd824(SerialLink& link, Clock& clock, Prompter& prompter, const QString& port)
{
    QString reason;
    if (!link.open(&reason)) {
        prompter.message(QStringLiteral("The Port ") + port + QStringLiteral(" is incorrect.  Choose another."),
                         QStringLiteral("Port Error"), MsgIcon::Critical, MsgButtons::Ok);
        link.close();
        return false;
    }

    // The meter sleeps until a break on the line wakes it; it answers with a carriage return.
    double start = clock.secondsSinceMidnight();
    double deadline = start + 6;
    QByteArray heard;
    for (;;) {
        link.setBreak(true);
        WaitSeconds(clock, 0.05f);
        link.setBreak(false);
        WaitSeconds(clock, 0.05f);
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
            link.write(QByteArray("@@\r"));
            WaitSeconds(clock, 0.25f);
        }
        f32 timeout = 0;
        const QString reply = SendLdCommand(link, clock, "R1", timeout);
        if (reply.contains(QStringLiteral("Model")))
            return true;
        const QString question = reply.isEmpty() ? QStringLiteral("Unable to communicate with instrument.\n\nRetry?")
                                                 : QStringLiteral("Invalid response from instrument.\n\n[") + reply +
                                                       QStringLiteral("]\n\nRetry?");
        if (prompter.message(question, QString(), MsgIcon::Exclamation, MsgButtons::OkCancel) != MsgAnswer::Ok) {
            link.close();
            return false;
        }
    }
}

Ld824Download DownloadLd824(SerialLink& link, Clock& clock, Prompter& prompter, const QString& port, int startFile,
                            int endFile, const std::function<void(const QString&)>& note)
{
    Ld824Download result;
    // One timeout for the whole download: a value raised for one command holds for those after it.
    f32 timeout = 0;
    const auto send = [&](const QByteArray& command) { return SendLdCommand(link, clock, command, timeout); };
    const auto fail = [&](const QString& text, const QString& title) {
        ShowMessage(prompter, Message{text, title, MsgIcon::Critical});
        link.close();
        result.failed = true;
        return result;
    };

    if (!ConnectLd824(link, clock, prompter, port)) {
        return fail(QStringLiteral("Connection failed. Port ") + port +
                        QStringLiteral(" may be in error.\nCheck cable connection.\nCheck for batteries or AC power."),
                    QStringLiteral("Download Error"));
    }

    const QString r1 = send("R1");
    // Without "Model " this reads from the sixth character, as indexOf's -1 makes it.
    result.model = r1.mid(r1.indexOf(QStringLiteral("Model ")) + 6, 6);
    result.r89 = send("R89");

    QString state = send("R3,1").mid(1, 1);
    if (state == QStringLiteral("P") || state == QStringLiteral("R"))
        state = send("M4");
    if (state == QStringLiteral("p"))
        return fail(QStringLiteral("There are no data available to download."), QStringLiteral("File Error"));

    if (BasicVal(send("R3,4")) == 0) {
        timeout = 6;
        send("&F103");
    }
    for (int k = 11; k <= 43; ++k) {
        const QString label = send("R174," + Decimal(k));
        result.bandText[k - 11] = label.left(std::max<qsizetype>(0, label.size() - 2));
    }

    const int held = SingleToI16(static_cast<f32>(BasicVal(send("R181"))));
    if (held == 0) {
        return fail(QStringLiteral("There are no data files available to download."), QStringLiteral("Empty Memory"));
    }
    if (startFile > held) {
        return fail(QStringLiteral("The start file number is higher than the number of files in the LD824."),
                    QStringLiteral("File Error"));
    }
    if (endFile > held) {
        const MsgAnswer truncate = prompter.message(
            QStringLiteral("The end file number is higher than the number of files in the LD824.  Truncate to") +
                QString::number(held) + QStringLiteral(" ?"),
            QStringLiteral("File Error"), MsgIcon::Critical, MsgButtons::YesNo);
        if (truncate != MsgAnswer::Yes) {
            link.close();
            return result;
        }
        endFile = held;
    }

    // The meter wants every file up to the last one opened once before it hands any of them over.
    for (int f = 1; f <= endFile; ++f) {
        send("F" + Decimal(f) + ",6");
        send("&F101");
    }

    int accepted = 0;
    int previous = 0;
    for (int f = 1; f <= endFile; ++f) {
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
    }

    result.count = endFile - startFile + 1;
    result.endFile = endFile;
    result.failed = false;
    link.close();
    return result;
}

}  // namespace kov
