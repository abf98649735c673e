// The LD824 exchange against a line played from the fuzz input (fuzz/Ld824Line.h): one command and its reply, or a
// whole download with the person's answers and the range of files from the input. No crash and no end-less
// exchange; a command is sent as its frame at most five times and its reply holds no control character; a
// download closes the line on every path, tells the person why when it fails, and hands over no more than ten
// tests, levels not above 99, as many as the (possibly truncated) range asks for.

#include <cmath>

#include "fuzz/FuzzSupport.h"
#include "fuzz/Ld824Line.h"
#include "meters/Ld824.h"

using namespace kov;
using namespace kov::fuzz;

namespace {

void OneCommand(const QByteArray& command, StreamLink& link, StepClock& clock)
{
    link.open(nullptr);
    f32 timeout = 0;
    const QString reply = SendLdCommand(link, clock, command, timeout).text;
    Check(timeout >= 0.3f, "the reply timeout stayed below 0.3 s");
    Check(link.written().size() <= 5, "a command was sent more than five times", command);
    for (const QByteArray& frame : link.written())
        Check(frame == LdCommandFrame(command), "something else than the command's frame was sent", command, frame);
    for (const QChar c : reply)
        Check(c.unicode() > 31 && c.unicode() < 256, "a reply holds a control character", command, reply.toUtf8());
    Check(reply.isEmpty() || !link.written().empty(), "a reply to a command never sent", command, reply.toUtf8());
}

void Download(const LdHeader& header, StreamLink& link, StepClock& clock)
{
    BitPrompter prompter(header.answers);
    int notes = 0;
    const Ld824Download d = DownloadLd824(link, clock, prompter, QStringLiteral("COM1"), header.startFile,
                                          header.endFile, [&](const QString&) { ++notes; });
    Check(!link.isOpen(), "the download left the line open");
    if (d.failed) {
        Check(prompter.shown() > 0, "a download failed without a word");
        return;
    }
    Check(d.endFile >= header.startFile && d.endFile <= header.endFile, "the last file moved outside the range");
    Check(d.count == d.endFile - header.startFile + 1, "the test count is not the range's");
    Check(d.count >= 1 && d.count <= 10, "more than ten tests, or none");
    Check(notes == d.endFile, "not one note for each file read");
    for (int test = 1; test <= 20; ++test) {
        for (int band = 1; band <= 20; ++band) {
            const f32 level = d.levels(test, band);
            if (test <= d.count && band <= 18)
                Check(!std::isnan(level) && level <= 99, "a level above 99, or no number");
            else
                Check(level == 0, "a level written outside the tests");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < LdHeaderBytes)
        return 0;
    const LdHeader header = DecodeLdHeader(data);
    StepClock clock(header.nearMidnight ? SecondsPerDay - 0.5 : 36000.0);
    QByteArray rest = Bytes(data + LdHeaderBytes, size - LdHeaderBytes);
    if (header.download) {
        StreamLink link(rest, header, clock);
        Download(header, link, clock);
        return 0;
    }
    if (rest.isEmpty())
        return 0;
    const qsizetype length = static_cast<unsigned char>(rest[0]) % 16;
    const QByteArray command = rest.mid(1, length);
    StreamLink link(rest.mid(1 + length), header, clock);
    OneCommand(command, link, clock);
    return 0;
}
