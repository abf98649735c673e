#include "fuzz/Ld824Line.h"

#include <algorithm>

#include "fuzz/FuzzSupport.h"

namespace kov::fuzz {

namespace {

constexpr double Step = 0.1;

// A download that gets no reply at all looks at the line a few hundred thousand times before it gives up; far
// past that the exchange is not going to end.
constexpr long long MaxLooks = 5'000'000;

enum Flag : std::uint8_t { Download = 1, NearMidnight = 2, RefuseOpen = 4, Chatter = 64 };

}  // namespace

LdHeader DecodeLdHeader(const std::uint8_t* header)
{
    LdHeader h;
    h.download = header[0] & Download;
    h.nearMidnight = header[0] & NearMidnight;
    h.refuseOpen = header[0] & RefuseOpen;
    h.chatter = header[0] & Chatter;
    h.splitReads = (header[0] >> 3) & 7;
    h.startFile = 1 + (header[1] & 0x0F);
    h.endFile = h.startFile + (header[1] >> 4) % 10;
    h.answers = header[2];
    return h;
}

QByteArray EncodeLdHeader(const LdHeader& h)
{
    QByteArray bytes(3, '\0');
    bytes[0] = static_cast<char>((h.download ? Download : 0) | (h.nearMidnight ? NearMidnight : 0) |
                                 (h.refuseOpen ? RefuseOpen : 0) | (h.chatter ? Chatter : 0) | (h.splitReads << 3));
    bytes[1] = static_cast<char>((h.startFile - 1) | ((h.endFile - h.startFile) << 4));
    bytes[2] = static_cast<char>(h.answers);
    return bytes;
}

QByteArray LdSegment(const QByteArray& bytes)
{
    Check(bytes.size() <= 255, "a segment of the line holds more than 255 bytes", bytes);
    return char(bytes.size()) + bytes;
}

void StepClock::letEventsRun()
{
    ++m_steps;
    m_now += Step;
    if (m_now >= SecondsPerDay)
        m_now -= SecondsPerDay;
}

StreamLink::StreamLink(QByteArray stream, const LdHeader& header, const StepClock& clock)
    : m_stream(std::move(stream)), m_header(header), m_clock(clock), m_chatterSeen(clock.steps())
{
}

bool StreamLink::open(QString* error)
{
    if (m_header.refuseOpen) {
        if (error)
            *error = QStringLiteral("No such file or directory");
        return false;
    }
    m_open = true;
    return true;
}

void StreamLink::close()
{
    m_open = false;
    m_waiting.clear();
}

void StreamLink::arrive()
{
    if (m_at >= m_stream.size())
        return;
    const int length = static_cast<unsigned char>(m_stream[m_at]);
    m_waiting += m_stream.mid(m_at + 1, length);
    m_at += 1 + length;
}

void StreamLink::setBreak(bool on)
{
    if (on && m_open)
        arrive();
}

bool StreamLink::write(const QByteArray& bytes)
{
    if (!m_open)
        return false;
    m_written.push_back(bytes);
    arrive();
    return true;
}

int StreamLink::bytesWaiting()
{
    Check(++m_looks <= MaxLooks, "the exchange with the meter does not end");
    if (m_header.chatter && m_open) {
        m_waiting +=
            QByteArray(static_cast<qsizetype>(std::min<long long>(m_clock.steps() - m_chatterSeen, 4096)), '\0');
        m_chatterSeen = m_clock.steps();
    }
    return static_cast<int>(m_waiting.size());
}

QByteArray StreamLink::readAll()
{
    const qsizetype n =
        m_header.splitReads > 0 ? std::min<qsizetype>(m_header.splitReads, m_waiting.size()) : m_waiting.size();
    const QByteArray bytes = m_waiting.left(n);
    m_waiting.remove(0, n);
    return bytes;
}

MsgAnswer BitPrompter::message(const QString& text, const QString&, MsgIcon, MsgButtons buttons)
{
    Check(!text.isEmpty(), "an empty message");
    const bool yes = m_shown < 8 && (m_answers >> m_shown) & 1;
    ++m_shown;
    switch (buttons) {
        case MsgButtons::Ok:
            return MsgAnswer::Ok;
        case MsgButtons::OkCancel:
            return yes ? MsgAnswer::Ok : MsgAnswer::Cancel;
        case MsgButtons::YesNo:
        case MsgButtons::YesNoCancel:
            return yes ? MsgAnswer::Yes : MsgAnswer::No;
    }
    return MsgAnswer::Cancel;
}

}  // namespace kov::fuzz
