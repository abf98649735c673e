#pragma once

#include <QByteArray>

#include <map>
#include <vector>

#include "core/Clock.h"
#include "core/Indexed.h"
#include "meters/SerialLink.h"

namespace kov {

// A Larson-Davis 824 as the download speaks to it, for tests and the benchmark: it answers every command the
// download sends with a correct reply frame (text, checksum seeded with the command's, carriage return), holds a
// configurable set of files, and misbehaves on demand.
class Ld824Meter {
public:
    struct Faults {
        bool asleep = false;                // never wakes: a break gets no answer (no meter on the line)
        int badChecksums = 0;               // the next n replies carry a wrong checksum
        int silentReplies = 0;              // the next n commands get no reply at all
        bool garbageBeforeReplies = false;  // stray bytes before every reply
        int vanishAfterCommands = -1;       // after this many commands the meter answers nothing more (-1: never)
        int garbageAfterCommands = -1;      // after this many commands each reply is noise ending a line, no frame
        QByteArray unanswered;              // a command whose reply is lost every time
        std::map<QByteArray, QByteArray> replies;  // replies given instead of the meter's own, by command
        QByteArray modelReply;                     // the reply to "R1" when not empty (default "Model 824 ...")
        // The meter's state as "R3,1" tells it (its second character counts: 'P' or 'R' ask for "M4", 'p' says
        // nothing is stored), the reply to "M4", and to "R3,4" (0 makes the program send "&F103").
        QByteArray stateReply = "0Q";
        QByteArray m4Reply = "Q";
        QByteArray r34Reply = "1";
    };

    // `files` files, file f holding levels(f)(band 11..43).
    explicit Ld824Meter(std::vector<Indexed<f32, 11, 43>> files);

    Faults& faults() { return m_faults; }
    int filesHeld() const;

    // The line's break condition: each break that begins wakes the meter, which answers with a carriage return.
    QByteArray breakSignal(bool on);
    // Bytes from the program; returns what the meter sends back in answer to the complete frames among them.
    QByteArray receive(const QByteArray& bytes);
    // Every command the meter has received, in order (without checksum and carriage return).
    const std::vector<QByteArray>& commands() const { return m_commands; }

private:
    QByteArray answer(const QByteArray& command);
    std::vector<Indexed<f32, 11, 43>> m_files;
    Faults m_faults;
    QByteArray m_pending;
    std::vector<QByteArray> m_commands;
    int m_selectedFile = 0;
};

// The meter behind a SerialLink in the same process. Bytes travel at `secondsPerByte` on `clock` (0: at once), in
// both directions, as a real line at a given baud rate would pace them; a reply may be handed over in pieces.
class SimulatedLd824Link : public SerialLink {
public:
    SimulatedLd824Link(Ld824Meter& meter, Clock& clock, double secondsPerByte = 0);

    bool open(QString* error) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void setBreak(bool on) override;
    int bytesWaiting() override;
    QByteArray readAll() override;
    bool write(const QByteArray& bytes) override;

    // Hands replies over in pieces of at most n bytes per read (0: whole).
    void splitReadsInto(int n) { m_split = n; }
    // The port refuses to open, as a missing device would.
    void refuseOpen(const QString& reason) { m_refusal = reason; }
    // Writes fail once `writes` have gone through, as on an adapter pulled out (-1: never).
    void failWritesAfter(int writes) { m_writesLeft = writes; }
    int opens() const { return m_opens; }
    // Bytes that went over the line each way, breaks' answers included: what a physical line must carry.
    qint64 bytesToMeter() const { return m_bytesToMeter; }
    qint64 bytesFromMeter() const { return m_bytesFromMeter; }

private:
    Ld824Meter& m_meter;
    Clock& m_clock;
    double m_secondsPerByte;
    bool m_open = false;
    int m_opens = 0;
    int m_split = 0;
    int m_writesLeft = -1;
    QString m_refusal;
    // Bytes on their way to the program, each with the clock time at which it arrives.
    std::vector<std::pair<double, char>> m_incoming;
    double m_lineFreeAt = 0;
    qint64 m_bytesToMeter = 0;
    qint64 m_bytesFromMeter = 0;
    // The clock starts again from 0 at midnight; arrival times run on past it.
    double m_lastReading = -1;
    double m_dayOffset = 0;

    double now();
    void send(const QByteArray& bytes, double from);
};

}  // namespace kov
