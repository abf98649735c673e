// Records what the simulated LD824 sends back in a few downloads and single commands, as inputs of fuzz_ld824:
// fuzz_ld824_seeds <folder> writes one file per recording.

#include <QDir>
#include <QFile>

#include <cstdio>
#include <functional>

#include "fuzz/Ld824Line.h"
#include "meters/Ld824.h"
#include "meters/Ld824Meter.h"

using namespace kov;
using namespace kov::fuzz;

namespace {

// Passes everything to the simulated meter and keeps, for each frame written and each break begun, what came back.
class RecordingLink : public SerialLink {
public:
    explicit RecordingLink(SimulatedLd824Link& line) : m_line(line) {}

    bool open(QString* error) override { return m_line.open(error); }
    void close() override
    {
        m_line.close();
        m_waiting.clear();
    }
    bool isOpen() const override { return m_line.isOpen(); }
    void setBreak(bool on) override
    {
        m_line.setBreak(on);
        if (on && m_line.isOpen())
            keep();
    }
    int bytesWaiting() override { return static_cast<int>(m_waiting.size()); }
    QByteArray readAll() override { return std::exchange(m_waiting, {}); }
    bool write(const QByteArray& bytes) override
    {
        if (!m_line.write(bytes))
            return false;
        keep();
        return true;
    }

    const QByteArray& stream() const { return m_stream; }

private:
    void keep()
    {
        const QByteArray answer = m_line.readAll();
        m_stream += LdSegment(answer);
        m_waiting += answer;
    }
    SimulatedLd824Link& m_line;
    QByteArray m_waiting;
    QByteArray m_stream;
};

std::vector<Indexed<f32, 11, 43>> Files(int count)
{
    std::vector<Indexed<f32, 11, 43>> files(static_cast<std::size_t>(count));
    for (int f = 1; f <= count; ++f) {
        for (int band = 11; band <= 43; ++band)
            files[static_cast<std::size_t>(f - 1)](band) = static_cast<f32>(30 + f + 0.5 * (band - 11));
    }
    return files;
}

bool Write(const QString& folder, const char* name, const QByteArray& bytes)
{
    QFile file(QDir(folder).filePath(QString::fromLatin1(name)));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray RecordDownload(const LdHeader& header, int files, const std::function<void(Ld824Meter::Faults&)>& faults)
{
    StepClock clock(header.nearMidnight ? SecondsPerDay - 0.5 : 36000.0);
    Ld824Meter meter(Files(files));
    faults(meter.faults());
    SimulatedLd824Link line(meter, clock);
    RecordingLink link(line);
    BitPrompter prompter(header.answers);
    DownloadLd824(link, clock, prompter, QStringLiteral("COM1"), header.startFile, header.endFile, {});
    return EncodeLdHeader(header) + link.stream();
}

QByteArray RecordCommand(const QByteArray& command, const std::function<void(Ld824Meter::Faults&)>& faults)
{
    StepClock clock(36000.0);
    Ld824Meter meter(Files(1));
    faults(meter.faults());
    SimulatedLd824Link line(meter, clock);
    RecordingLink link(line);
    link.open(nullptr);
    f32 timeout = 0;
    SendLdCommand(link, clock, command, timeout);
    return EncodeLdHeader(LdHeader{}) + char(command.size()) + command + link.stream();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_ld824_seeds <folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const auto none = [](Ld824Meter::Faults&) {};
    LdHeader three;
    three.download = true;
    three.startFile = 1;
    three.endFile = 3;
    LdHeader truncated = three;
    truncated.startFile = 2;
    truncated.endFile = 6;
    truncated.answers = 0xFF;  // truncate to the files held
    truncated.nearMidnight = true;
    LdHeader one = three;
    one.endFile = 1;
    one.splitReads = 3;
    const bool ok = Write(folder, "download_3_files", RecordDownload(three, 3, none)) &&
                    Write(folder, "download_truncated_past_midnight", RecordDownload(truncated, 4, none)) &&
                    Write(folder, "download_noise_bad_checksum_m4",
                          RecordDownload(one, 2,
                                         [](Ld824Meter::Faults& f) {
                                             f.garbageBeforeReplies = true;
                                             f.badChecksums = 2;
                                             f.stateReply = "0P";
                                             f.r34Reply = "0";
                                         })) &&
                    Write(folder, "download_nothing_stored",
                          RecordDownload(three, 2,
                                         [](Ld824Meter::Faults& f) {
                                             f.stateReply = "0R";
                                             f.m4Reply = "p";
                                         })) &&
                    Write(folder, "command_r1", RecordCommand("R1", none)) &&
                    Write(folder, "command_r173_retried", RecordCommand("R173", [](Ld824Meter::Faults& f) {
                              f.silentReplies = 1;
                              f.badChecksums = 1;
                          }));
    if (!ok) {
        std::fprintf(stderr, "fuzz_ld824_seeds: cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
