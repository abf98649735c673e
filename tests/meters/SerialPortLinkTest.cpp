#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <tuple>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <cmath>
#include <deque>
#include <thread>

#include "core/Clock.h"
#include "meters/Ld824.h"
#include "meters/Ld824Meter.h"
#include "meters/SerialPortLink.h"
#include "tests/support/ScriptedPrompter.h"

using namespace kov;
using kov::test::ScriptedPrompter;

namespace {

// A pseudo-terminal: the slave is what the link opens as its serial port, the master is the far end of the cable.
class Pty {
public:
    Pty()
    {
        if (openpty(&m_master, &m_slave, nullptr, nullptr, nullptr) != 0)
            return;
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        // Held open, so the master never sees the line hang up between the link's openings.
        m_name = QString::fromLocal8Bit(ttyname(m_slave));
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty()
    {
        ::close(m_master);
        ::close(m_slave);
    }
    bool ok() const { return m_master >= 0 && !m_name.isEmpty(); }
    const QString& slaveName() const { return m_name; }

    void send(const QByteArray& bytes) const
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
            if (n > 0)
                done += n;
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    // What arrived at the far end within `ms` milliseconds of quiet.
    QByteArray receive(int ms) const
    {
        QByteArray got;
        pollfd p{m_master, POLLIN, 0};
        while (::poll(&p, 1, ms) > 0 && (p.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, n);
        }
        return got;
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_name;
};

// The meter at the far end of the pseudo-terminal, answering from its own thread as a real one answers from the
// other end of the cable.
class MeterOnLine {
public:
    MeterOnLine(const Pty& pty, Ld824Meter& meter) : m_pty(pty), m_meter(meter), m_thread([this] { run(); }) {}
    ~MeterOnLine()
    {
        m_stop = true;
        m_thread.join();
    }
    // A pseudo-terminal carries no break, so the break reaches the meter this way.
    void breakSignal(bool on)
    {
        const std::lock_guard lock(m_mutex);
        m_breaks.push_back(on);
    }

private:
    void run()
    {
        while (!m_stop) {
            std::deque<bool> breaks;
            {
                const std::lock_guard lock(m_mutex);
                breaks.swap(m_breaks);
            }
            for (const bool on : breaks)
                m_pty.send(m_meter.breakSignal(on));
            const QByteArray got = m_pty.receive(10);
            if (!got.isEmpty())
                m_pty.send(m_meter.receive(got));
        }
    }
    const Pty& m_pty;
    Ld824Meter& m_meter;
    std::mutex m_mutex;
    std::deque<bool> m_breaks;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The real port link, with the break handed on to the meter: all reading and writing goes through the port.
class BreakCarryingLink : public SerialLink {
public:
    BreakCarryingLink(SerialPortLink& port, MeterOnLine& meter) : m_port(port), m_meter(meter) {}
    bool open(QString* error) override { return m_port.open(error); }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    void setBreak(bool on) override
    {
        m_port.setBreak(on);
        m_meter.breakSignal(on);
    }
    int bytesWaiting() override
    {
        const int n = m_port.bytesWaiting();
        m_answered = m_answered || n > 0;
        return n;
    }
    QByteArray readAll() override { return m_port.readAll(); }
    bool write(const QByteArray& bytes) override
    {
        m_sinceWrite.start();
        m_answered = false;
        return m_port.write(bytes);
    }
    // Nothing has come back for the shortest time-out since the last write, so none that is live is cut short.
    bool unanswered() const { return !m_answered && m_sinceWrite.isValid() && m_sinceWrite.elapsed() > 300; }

private:
    SerialPortLink& m_port;
    MeterOnLine& m_meter;
    QElapsedTimer m_sinceWrite;
    bool m_answered = false;
};

// The wall clock, but where `hurry` a line that has left the last write unanswered for 0.3 s makes it hurry: the
// longer time-outs of a silent meter (up to 10 s a try) pass in moments, while every live exchange runs in real time.
class HurryingClock : public Clock {
public:
    HurryingClock(const BreakCarryingLink& line, bool hurry) : m_line(line), m_hurry(hurry) {}
    double secondsSinceMidnight() override
    {
        return std::fmod(m_wall.secondsSinceMidnight() + m_skipped, SecondsPerDay);
    }
    void letEventsRun() override
    {
        m_wall.letEventsRun();
        if (m_hurry && m_line.unanswered())
            m_skipped += 0.2;
    }

private:
    const BreakCarryingLink& m_line;
    const bool m_hurry;
    SystemClock m_wall;
    double m_skipped = 0;
};

// File f of the meter holds 20 f + n / 2 dB in meter band n, so every level names its file and band.
std::vector<Indexed<f32, 11, 43>> MeterFiles(int count)
{
    std::vector<Indexed<f32, 11, 43>> files(static_cast<std::size_t>(count));
    for (int f = 1; f <= count; ++f)
        for (int n = 11; n <= 43; ++n)
            files[static_cast<std::size_t>(f - 1)](n) = static_cast<f32>(20 * f + 0.5 * n);
    return files;
}

// Files start..end downloaded over a pseudo-terminal from `meter`, as port COM3, its notes to `notes` unless that is
// null (then the download is given none); the port is closed after it.
Ld824Download DownloadOnTheLine(Ld824Meter& meter, int start, int end, ScriptedPrompter& prompter, bool hurry,
                                QStringList* notes)
{
    Pty pty;
    EXPECT_TRUE(pty.ok());
    SerialPortLink port(pty.slaveName(), 9600);
    Ld824Download got;
    {
        MeterOnLine line(pty, meter);
        BreakCarryingLink link(port, line);
        HurryingClock clock(link, hurry);
        got = DownloadLd824(
            link, clock, prompter, QStringLiteral("COM3"), start, end,
            notes ? [notes](const QString& n) { notes->push_back(n); } : std::function<void(const QString&)>());
    }
    EXPECT_FALSE(port.isOpen());
    return got;
}

// Polls the link as the download does, without an event loop, until `want` bytes wait or a second has passed.
int WaitForBytes(SerialPortLink& link, int want)
{
    QElapsedTimer timer;
    timer.start();
    int waiting = 0;
    while ((waiting = link.bytesWaiting()) < want && timer.elapsed() < 1000)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return waiting;
}

}  // namespace

TEST(SerialPortLinkTest, MissingDeviceDoesNotOpenAndSaysWhy)
{
    SerialPortLink link(QStringLiteral("/dev/kov-no-such-port"), 9600);
    QString error;
    const bool opened = link.open(&error);
    EXPECT_EQ(std::tuple(opened, error, link.isOpen(), link.bytesWaiting()),
              std::tuple(false, "No such file or directory", false, 0));
    EXPECT_FALSE(link.write("R1C\r"));
}

TEST(SerialPortLinkTest, CarriesBytesBothWaysWithoutAnEventLoop)
{
    Pty pty;
    ASSERT_TRUE(pty.ok());
    SerialPortLink link(pty.slaveName(), 9600);
    QString error;
    ASSERT_TRUE(link.open(&error)) << error.toStdString();

    ASSERT_TRUE(link.write("R1C\r"));
    EXPECT_EQ(pty.receive(200), QByteArray("R1C\r"));

    // A reply arriving in pieces: each piece is seen as it comes, and nothing is read twice or lost.
    pty.send("Model ");
    EXPECT_EQ(WaitForBytes(link, 6), 6);
    EXPECT_EQ(link.readAll(), QByteArray("Model "));
    EXPECT_EQ(link.bytesWaiting(), 0);
    pty.send("824");
    pty.send("\x7f\r");
    EXPECT_EQ(WaitForBytes(link, 5), 5);
    EXPECT_EQ(link.readAll(), QByteArray("824\x7f\r"));

    // No break on a pseudo-terminal: the failure leaves the line working.
    link.setBreak(true);
    link.setBreak(false);
    EXPECT_TRUE(link.isOpen());
    ASSERT_TRUE(link.write(QByteArray(1, '\xff')));
    EXPECT_EQ(pty.receive(200), QByteArray(1, '\xff'));

    link.close();
    EXPECT_FALSE(link.isOpen());
    EXPECT_FALSE(link.write("R1C\r"));
}

TEST(SerialPortLinkTest, DownloadsFromAMeterOnTheLine)
{
    Ld824Meter meter(MeterFiles(4));
    QStringList notes;
    ScriptedPrompter prompter;
    const Ld824Download got = DownloadOnTheLine(meter, 2, 3, prompter, false, &notes);
    EXPECT_TRUE(prompter.messages().empty());
    ASSERT_EQ(std::tuple(got.failed, got.count, got.endFile), std::tuple(false, 2, 3));
    // The meter's files are read from the first on; only those asked for become tests.
    EXPECT_EQ(notes, QStringList({"Downloading SLM File1.", "Downloading SLM File2.", "Downloading SLM File3."}));
    // Test 1 is file 2, test 2 file 3; band 1 is 160 Hz (meter band 22), band 18 is 8 kHz (meter band 39), in whole
    // decibels, halves to even.
    const std::tuple<int, int, f32> levels[] = {{1, 1, 51}, {1, 2, 52}, {1, 4, 52},  {1, 18, 60},
                                                {2, 1, 71}, {2, 4, 72}, {2, 17, 79}, {2, 18, 80}};
    for (const auto& [test, band, level] : levels)
        EXPECT_EQ(got.levels(test, band), level) << "test " << test << " band " << band;
    EXPECT_EQ(got.levels(3, 1), 0.0f);
}

TEST(SerialPortLinkTest, AMeterThatStopsAnsweringEndsTheDownloadWithNothingTaken)
{
    const QString head = QStringLiteral("The LD824 on COM3 gave no valid reply to ");
    const QString tail = QStringLiteral(
        " in five tries, so the download stopped. Nothing was taken from the meter; the tests in the grid are as they "
        "were.\nCheck cable connection.\nCheck for batteries or AC power.");
    // (what, the fault, the command that went unanswered). Retries on a busy machine count as commands too, so
    // where the silence begins is not pinned.
    const std::tuple<const char*, std::function<void(Ld824Meter::Faults&)>, const char*> cases[] = {
        // 39 commands up to "R181", 10 for the first pass, 7 for each file after.
        {"silent after file 1", [](Ld824Meter::Faults& f) { f.vanishAfterCommands = 39 + 10 + 7; }, nullptr},
        {"R173 lost", [](Ld824Meter::Faults& f) { f.unanswered = "R173"; }, "R173 for file 1"},
        {"garbage only after the handshake", [](Ld824Meter::Faults& f) { f.garbageAfterCommands = 1; }, "R1"},
    };
    for (const auto& [what, fault, step] : cases) {
        SCOPED_TRACE(what);
        Ld824Meter meter(MeterFiles(4));
        fault(meter.faults());
        ScriptedPrompter prompter;
        prompter.answer(MsgAnswer::Ok);
        const Ld824Download got = DownloadOnTheLine(meter, 1, 3, prompter, true, nullptr);
        EXPECT_TRUE(got.failed);
        ASSERT_EQ(prompter.messages().size(), 1u);
        const QString& text = prompter.messages()[0].text;
        EXPECT_TRUE(text.startsWith(head) && text.endsWith(tail)) << text.toStdString();
        EXPECT_TRUE(step == nullptr || text == head + QLatin1String(step) + tail) << text.toStdString();
        for (int test = 1; test <= 3; ++test)
            EXPECT_EQ(got.levels(test, 1), 0.0f) << test;
    }
}
