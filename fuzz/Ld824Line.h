#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "core/Clock.h"
#include "core/Prompter.h"
#include "meters/SerialLink.h"

// The serial line of the LD824 target, played from the fuzz input, and the clock and person around it.
//
// The input: three header bytes, then (one command only) a length byte and the command, then the line's stream.
// The stream is one segment per event on the line (a frame written, a break begun): a length byte and that many
// bytes, which arrive at once in answer. Where the stream has ended the meter is silent.
namespace kov::fuzz {

struct LdHeader {
    bool download = false;      // a whole download, else one command and its reply
    bool nearMidnight = false;  // the clock starts half a second before midnight
    bool refuseOpen = false;    // the port cannot be had
    bool chatter = false;       // a noise byte arrives at every step of the clock, as on a line left floating
    int splitReads = 0;         // a read hands over at most this many bytes (0: all waiting)
    int startFile = 1;          // 1..16
    int endFile = 1;            // startFile..startFile + 9, as the dialog lets through
    std::uint8_t answers = 0;   // the person's answers, one bit per question: set is Ok or Yes
};

inline constexpr std::size_t LdHeaderBytes = 3;

LdHeader DecodeLdHeader(const std::uint8_t* header);
// The three bytes that decode to `header`.
QByteArray EncodeLdHeader(const LdHeader& header);
// One event's bytes as a segment of the stream; at most 255 of them.
QByteArray LdSegment(const QByteArray& bytes);

// Time moves only when the program lets events run, by a tenth of a second, and starts again from 0 at midnight.
class StepClock : public Clock {
public:
    explicit StepClock(double start) : m_now(start) {}
    double secondsSinceMidnight() override { return m_now; }
    void letEventsRun() override;
    long long steps() const { return m_steps; }

private:
    double m_now;
    long long m_steps = 0;
};

class StreamLink : public SerialLink {
public:
    StreamLink(QByteArray stream, const LdHeader& header, const StepClock& clock);

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void setBreak(bool on) override;
    int bytesWaiting() override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;

    const std::vector<QByteArray>& written() const { return m_written; }

private:
    void arrive();
    QByteArray m_stream;
    qsizetype m_at = 0;
    LdHeader m_header;
    const StepClock& m_clock;
    long long m_chatterSeen = 0;
    long long m_looks = 0;
    bool m_open = false;
    QByteArray m_waiting;
    std::vector<QByteArray> m_written;
};

// Answers the questions as the header says, then with Cancel or No, so a retry loop ends with the header's bits.
class BitPrompter : public Prompter {
public:
    explicit BitPrompter(std::uint8_t answers) : m_answers(answers) {}

    MsgAnswer message(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons) override;
    QString chooseSaveFile(const SaveFileRequest&) override { return {}; }
    QString chooseOpenFile(const OpenFileRequest&) override { return {}; }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    bool openDocument(const QString&) override { return false; }
    void beep() override {}

    int shown() const { return m_shown; }

private:
    std::uint8_t m_answers;
    int m_shown = 0;
};

}  // namespace kov::fuzz
