#include "meters/Ld824Meter.h"

#include <algorithm>
#include <cstdio>

#include "meters/Ld824.h"

namespace kov {

namespace {

constexpr char CR = '\r';

// Nominal third-octave centres of meter bands 11..43.
const char* const BandLabels[33] = {
    "12.5 Hz", "16 Hz",  "20 Hz",    "25 Hz",    "31.5 Hz", "40 Hz",   "50 Hz",    "63 Hz",  "80 Hz",
    "100 Hz",  "125 Hz", "160 Hz",   "200 Hz",   "250 Hz",  "315 Hz",  "400 Hz",   "500 Hz", "630 Hz",
    "800 Hz",  "1 kHz",  "1.25 kHz", "1.6 kHz",  "2 kHz",   "2.5 kHz", "3.15 kHz", "4 kHz",  "5 kHz",
    "6.3 kHz", "8 kHz",  "10 kHz",   "12.5 kHz", "16 kHz",  "20 kHz",
};

// Line noise a real meter may emit: control characters only, so a careful reader skips them.
const QByteArray Noise("\x11\n\x00", 3);

QByteArray Fixed(QByteArray text, int width)
{
    text.truncate(width);
    return text.leftJustified(width, ' ');
}

}  // namespace

Ld824Meter::Ld824Meter(std::vector<Indexed<f32, 11, 43>> files) : m_files(std::move(files)) {}

int Ld824Meter::filesHeld() const
{
    return static_cast<int>(m_files.size());
}

QByteArray Ld824Meter::breakSignal(bool on)
{
    if (!on || m_faults.asleep)
        return {};
    return QByteArray(1, CR);
}

QByteArray Ld824Meter::receive(const QByteArray& bytes)
{
    m_pending += bytes;
    QByteArray out;
    for (qsizetype end = m_pending.indexOf(CR); end >= 0; end = m_pending.indexOf(CR)) {
        const QByteArray line = m_pending.left(end);
        m_pending.remove(0, end + 1);
        if (line == "\xFF" || line == "@@" || line.isEmpty()) {
            m_commands.push_back(line);
            continue;
        }
        const QByteArray command = line.chopped(1);
        m_commands.push_back(command);
        const char check = line.back();
        if (m_faults.asleep || LdChecksum(command) != check)
            continue;
        const qsizetype checksummed = std::count_if(m_commands.begin(), m_commands.end(), [](const QByteArray& c) {
            return !c.isEmpty() && c != "\xFF" && c != "@@";
        });
        if ((m_faults.vanishAfterCommands >= 0 && checksummed > m_faults.vanishAfterCommands) ||
            command == m_faults.unanswered)
            continue;
        if (m_faults.garbageAfterCommands >= 0 && checksummed > m_faults.garbageAfterCommands) {
            // Ends in a control character where the checksum belongs, which no checksum ever is.
            out += "#?" + command + '\x01' + CR;
            continue;
        }
        if (m_faults.silentReplies > 0) {
            --m_faults.silentReplies;
            continue;
        }
        const auto replaced = m_faults.replies.find(command);
        const QByteArray text = replaced != m_faults.replies.end() ? replaced->second : answer(command);
        char sum = LdChecksum(text, static_cast<unsigned char>(check));
        if (m_faults.badChecksums > 0) {
            --m_faults.badChecksums;
            sum = static_cast<char>(sum ^ 1);  // still printable, never a carriage return
        }
        if (m_faults.garbageBeforeReplies)
            out += Noise;
        out += text + sum + CR;
    }
    return out;
}

QByteArray Ld824Meter::answer(const QByteArray& command)
{
    const int selected = m_selectedFile;
    const bool haveFile = selected >= 1 && selected <= filesHeld();
    if (command == "R1")
        return m_faults.modelReply.isEmpty() ? QByteArray("Model 824 L Ver 4.283") : m_faults.modelReply;
    if (command == "R89")
        return "SN A1234 LD SLM";
    if (command == "R3,1")
        return m_faults.stateReply;
    if (command == "M4")
        return m_faults.m4Reply;
    if (command == "R3,4")
        return m_faults.r34Reply;
    if (command.startsWith("R174,")) {
        const int band = command.mid(5).toInt();
        if (band < 11 || band > 43)
            return {};
        return QByteArray(BandLabels[band - 11]) + ";1";
    }
    if (command == "R181")
        return QByteArray::number(filesHeld());
    if (command.startsWith('F') && command.endsWith(",6")) {
        m_selectedFile = command.mid(1, command.size() - 3).toInt();
        return {};
    }
    if (command == "R94")
        return "0";
    if (command == "R8")
        return Fixed("File " + QByteArray::number(selected) + " 10:15:00", 18);
    if (command == "R7")
        return Fixed("03/04/2024", 13);
    if (command == "R11")
        return QByteArray::number(60 + selected);
    if (command == "R173") {
        QByteArray fields;
        for (int band = 11; band <= 43; ++band) {
            char field[32];
            std::snprintf(field, sizeof field, "%5.1f,", haveFile ? double(m_files[selected - 1](band)) : 0.0);
            fields += field;
        }
        return fields;
    }
    return {};  // &F101..&F103 and whatever this meter does not know
}

SimulatedLd824Link::SimulatedLd824Link(Ld824Meter& meter, Clock& clock, double secondsPerByte)
    : m_meter(meter), m_clock(clock), m_secondsPerByte(secondsPerByte)
{
}

double SimulatedLd824Link::now()
{
    const double reading = m_clock.secondsSinceMidnight();
    if (reading < m_lastReading)
        m_dayOffset += SecondsPerDay;
    m_lastReading = reading;
    return reading + m_dayOffset;
}

bool SimulatedLd824Link::open(QString* error)
{
    ++m_opens;
    if (!m_refusal.isEmpty()) {
        if (error)
            *error = m_refusal;
        return false;
    }
    m_open = true;
    return true;
}

void SimulatedLd824Link::close()
{
    m_open = false;
    m_incoming.clear();
}

void SimulatedLd824Link::send(const QByteArray& bytes, double from)
{
    // The meter's replies are serial too: a reply waits for the one before it to finish.
    double at = m_incoming.empty() ? from : std::max(from, m_incoming.back().first);
    for (const char b : bytes) {
        at += m_secondsPerByte;
        m_incoming.emplace_back(at, b);
    }
    m_bytesFromMeter += bytes.size();
}

void SimulatedLd824Link::setBreak(bool on)
{
    if (m_open)
        send(m_meter.breakSignal(on), now());
}

bool SimulatedLd824Link::write(const QByteArray& bytes)
{
    if (!m_open || m_writesLeft == 0)
        return false;
    if (m_writesLeft > 0)
        --m_writesLeft;
    const double reached = std::max(now(), m_lineFreeAt) + static_cast<double>(bytes.size()) * m_secondsPerByte;
    m_lineFreeAt = reached;
    m_bytesToMeter += bytes.size();
    send(m_meter.receive(bytes), reached);
    return true;
}

int SimulatedLd824Link::bytesWaiting()
{
    const double t = now();
    const auto arrived = std::find_if(m_incoming.begin(), m_incoming.end(), [t](const auto& b) { return b.first > t; });
    return static_cast<int>(arrived - m_incoming.begin());
}

QByteArray SimulatedLd824Link::readAll()
{
    int n = bytesWaiting();
    if (m_split > 0)
        n = std::min(n, m_split);
    QByteArray bytes;
    bytes.reserve(n);
    for (int i = 0; i < n; ++i)
        bytes += m_incoming[static_cast<std::size_t>(i)].second;
    m_incoming.erase(m_incoming.begin(), m_incoming.begin() + n);
    return bytes;
}

}  // namespace kov
