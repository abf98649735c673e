#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>
#include <functional>
#include <tuple>

#include "meters/Ld824.h"
#include "meters/Ld824Meter.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestClock.h"

using namespace kov;

namespace {

using Levels = Indexed<f32, 11, 43>;

// File f holds 10 f + (band - 21) in the grid's bands, so a test row tells which file it came from.
std::vector<Levels> NumberedFiles(int count)
{
    std::vector<Levels> files(static_cast<std::size_t>(count));
    for (int f = 1; f <= count; ++f) {
        for (int band = 11; band <= 43; ++band)
            files[static_cast<std::size_t>(f - 1)](band) = static_cast<f32>(10 * f + band - 21);
    }
    return files;
}

struct Rig {
    explicit Rig(std::vector<Levels> files, double secondsPerByte = 0, double start = 36000.0)
        : clock(start), meter(std::move(files)), link(meter, clock, secondsPerByte)
    {
    }
    explicit Rig(int files, double secondsPerByte = 0) : Rig(NumberedFiles(files), secondsPerByte) {}

    // `stop` says when the person has pressed Stop.
    Ld824Download download(int startFile, int endFile, const std::function<bool(Rig&)>& stop = {})
    {
        return DownloadLd824(
            link, clock, prompter, QStringLiteral("COM2"), startFile, endFile,
            [this](const QString& n) { notes.push_back(n); }, [this, &stop] { return stop && stop(*this); });
    }
    QString send(const QByteArray& command)
    {
        link.open(nullptr);
        f32 timeout = 0;
        return SendLdCommand(link, clock, command, timeout).text;
    }
    int received(const QByteArray& command) const
    {
        return static_cast<int>(std::count(meter.commands().begin(), meter.commands().end(), command));
    }
    QList<QByteArray> fileSelections() const
    {
        QList<QByteArray> out;
        std::copy_if(meter.commands().begin(), meter.commands().end(), std::back_inserter(out),
                     [](const QByteArray& c) { return c.startsWith('F'); });
        return out;
    }

    test::TestClock clock;
    Ld824Meter meter;
    SimulatedLd824Link link;
    test::ScriptedPrompter prompter;
    QStringList notes;
};

}  // namespace

TEST(Ld824, ChecksumsOfCommandsAndReplies)
{
    // (text, seed, checksum)
    const std::tuple<QByteArray, int, char> cases[] = {
        {"R1", 0, 'C'}, {"M4", 0, 'A'},            // 129 mod 128 is 1, below 32: 64 added
        {"", 0, '@'},   {"\x11Mo\ndel", 67, '4'},  // control characters do not count
        {"", 67, 'C'},
    };
    for (const auto& [text, seed, checksum] : cases)
        EXPECT_EQ(LdChecksum(text, seed), checksum) << text.toStdString() << " seeded " << seed;
    EXPECT_EQ(LdCommandFrame("R1"), QByteArray("R1C\r"));
}

TEST(Ld824, CommandRetriesUpToFiveTimes)
{
    // (command, replies with a bad checksum, replies left out, reply, times sent); "&F101" has an empty text with a
    // good checksum.
    const QString sn = QStringLiteral("SN A1234 LD SLM");
    const std::tuple<QByteArray, int, int, QString, int> cases[] = {
        {"R89", 0, 0, sn, 1}, {"R89", 4, 0, sn, 5}, {"R89", 5, 0, {}, 5},
        {"R89", 0, 4, sn, 5}, {"R89", 2, 3, {}, 5}, {"&F101", 0, 0, " ", 1},
    };
    for (const auto& [command, badChecksums, silentReplies, reply, sent] : cases) {
        Rig rig(1);
        rig.meter.faults().badChecksums = badChecksums;
        rig.meter.faults().silentReplies = silentReplies;
        SCOPED_TRACE(testing::Message() << command.constData() << ", " << badChecksums << " bad, " << silentReplies
                                        << " silent");
        EXPECT_EQ(rig.send(command), reply);
        EXPECT_EQ(rig.received(command), sent);
    }
}

TEST(Ld824, SilentMeterCostsFiveTimeoutsAlsoAcrossMidnight)
{
    Rig rig(NumberedFiles(1), 0, 86399.5);
    rig.meter.faults().silentReplies = 5;
    EXPECT_EQ(rig.send("R1"), QString());
    EXPECT_NEAR(rig.clock.elapsed(), 5 * 0.3002, 0.06);
}

TEST(Ld824, ShortTimeoutIsRaisedAndKept)
{
    // (command, time-out before, after)
    const std::tuple<QByteArray, f32, f32> cases[] = {
        {"R1", 0, 0.3002f},
        {"R174,11", 0.29f, 0.3007f},
        {"R1", 0.3f, 0.3f},
        {"R173", 8, 8},
    };
    for (const auto& [command, before, after] : cases) {
        Rig rig(1);
        rig.link.open(nullptr);
        f32 timeout = before;
        SendLdCommand(rig.link, rig.clock, command, timeout);
        EXPECT_FLOAT_EQ(timeout, after) << command.toStdString() << " from " << before;
    }
}

TEST(Ld824, RepliesSurviveLineNoiseSplitReadsAndSlowLines)
{
    // (pieces a read is split into, seconds a byte, clock at the start); the last reply arrives after midnight.
    for (const auto& [split, secondsPerByte, clockStart] :
         {std::tuple{0, 0.0, 36000.0}, {2, 10.0 / 9600, 36000.0}, {1, 10.0 / 1200, 86399.9}}) {
        Rig rig(NumberedFiles(1), secondsPerByte, clockStart);
        rig.meter.faults().garbageBeforeReplies = true;
        rig.link.splitReadsInto(split);
        rig.link.open(nullptr);
        rig.link.setBreak(true);  // its answer still waits on the line when the command goes out
        WaitSeconds(rig.clock, 0.05f);
        SCOPED_TRACE(split);
        EXPECT_EQ(rig.send("R174,15"), QStringLiteral("31.5 Hz;1"));
        EXPECT_EQ(rig.send("R1"), QStringLiteral("Model 824 L Ver 4.283"));
        EXPECT_EQ(rig.received("R174,15"), 1);
    }
}

TEST(Ld824, HandshakeAsksBeforeEachRetry)
{
    const QString unable = QStringLiteral("Unable to communicate with instrument.\n\nRetry?");
    const QString invalid = QStringLiteral("Invalid response from instrument.\n\n[Hello]\n\nRetry?");
    // (replies left out, reply to "R1", answers to the questions, the questions, connected)
    const std::tuple<int, QByteArray, std::vector<MsgAnswer>, QStringList, bool> cases[] = {
        {0, {}, {}, {}, true},
        {5, {}, {MsgAnswer::Ok}, {unable}, true},
        {10, {}, {MsgAnswer::Ok, MsgAnswer::Cancel}, {unable, unable}, false},
        {0, "Hello", {MsgAnswer::Ok, MsgAnswer::Cancel}, {invalid, invalid}, false},
    };
    for (const auto& [silentReplies, modelReply, answers, questions, connected] : cases) {
        SCOPED_TRACE(silentReplies);
        Rig rig(1);
        rig.meter.faults().silentReplies = silentReplies;
        rig.meter.faults().modelReply = modelReply;
        for (const MsgAnswer a : answers)
            rig.prompter.answer(a);
        const bool linked = ConnectLd824(rig.link, rig.clock, rig.prompter, QStringLiteral("COM2"));
        EXPECT_EQ(std::tuple(linked, rig.link.isOpen()), std::tuple(connected, connected));
        test::Shown shown;
        for (const QString& q : questions)
            shown.push_back({q, {}, MsgIcon::Exclamation, MsgButtons::OkCancel});
        EXPECT_EQ(rig.prompter.messages(), shown);
        // Each handshake sends one 255 and five "@@" before "R1"; a Cancel ends them.
        const int handshakes = static_cast<int>(answers.size()) + (connected ? 1 : 0);
        EXPECT_EQ(std::tuple(rig.received("@@"), rig.received("\xFF")), std::tuple(5 * handshakes, handshakes));
    }
}

const test::RecordedMessage ConnectionFailed{
    QStringLiteral(
        "Connection failed. Port COM2 may be in error.\nCheck cable connection.\nCheck for batteries or AC power."),
    QStringLiteral("Download Error"), MsgIcon::Critical};

TEST(Ld824, SilentMeterGivesUpAfterSixSeconds)
{
    Rig rig(8);
    rig.meter.faults().asleep = true;
    rig.prompter.answer(MsgAnswer::Ok);
    const bool failed = rig.download(1, 3).failed;
    EXPECT_EQ(std::tuple(failed, rig.link.isOpen(), rig.meter.commands().empty()), std::tuple(true, false, true));
    EXPECT_NEAR(rig.clock.elapsed(), 6.1, 0.1);
    EXPECT_EQ(rig.prompter.messages(), test::Shown({ConnectionFailed}));
}

TEST(Ld824, PortThatWillNotOpenIsNamed)
{
    Rig rig(8);
    rig.link.refuseOpen(QStringLiteral("No such device"));
    rig.prompter.answer(MsgAnswer::Ok);
    rig.prompter.answer(MsgAnswer::Ok);
    EXPECT_TRUE(rig.download(1, 3).failed);
    EXPECT_EQ(rig.prompter.messages(), test::Shown({{QStringLiteral("The Port COM2 is incorrect.  Choose another."),
                                                     QStringLiteral("Port Error"), MsgIcon::Critical},
                                                    ConnectionFailed}));
    EXPECT_FALSE(rig.link.isOpen());
}

TEST(Ld824, DownloadsTheChosenFilesAfterWalkingAllBeforeThem)
{
    const QList<QByteArray> walk{"F1,6", "F2,6", "F3,6", "F4,6", "F5,6"};
    // (seconds a byte, pieces a read is split into, garbage before the replies)
    for (const auto& [secondsPerByte, split, garbage] : {std::tuple{0.0, 0, false}, {10.0 / 9600, 5, true}}) {
        Rig rig(8, secondsPerByte);
        rig.link.splitReadsInto(split);
        rig.meter.faults().garbageBeforeReplies = garbage;
        const Ld824Download d = rig.download(3, 5);
        SCOPED_TRACE(testing::Message() << secondsPerByte << " s a byte, split " << split);
        ASSERT_FALSE(d.failed);
        EXPECT_EQ(std::tuple(d.count, d.endFile, d.model, d.bandText[0], d.bandText[32], rig.link.isOpen()),
                  std::tuple(3, 5, "824 L ", "12.5 Hz", "20 kHz", false));
        for (int test = 1; test <= 3; ++test) {
            for (int j = 1; j <= 18; ++j)
                EXPECT_EQ(d.levels(test, j), 10 * (test + 2) + j) << " test " << test << " band " << j;
        }
        EXPECT_EQ(d.levels(4, 1), 0);
        EXPECT_EQ(rig.fileSelections(), walk + walk);
        EXPECT_EQ(std::tuple(rig.received("&F101"), rig.received("&F102")), std::tuple(5, 5));
        EXPECT_EQ(rig.notes, QStringList({"Downloading SLM File1.", "Downloading SLM File2.", "Downloading SLM File3.",
                                          "Downloading SLM File4.", "Downloading SLM File5."}));
        ASSERT_GE(d.files.size(), 5u);
        EXPECT_EQ(std::tuple(d.files[3].levels(43), d.files[3].r11, d.files[3].r8.size(), d.files[3].r7.size()),
                  std::tuple(40 + 22, 64, 18, 13));
    }
}

TEST(Ld824, FileRangeAgainstTheFilesHeld)
{
    const test::Shown truncate{
        {QStringLiteral("The end file number is higher than the number of files in the LD824.  Truncate to8 ?"),
         QStringLiteral("File Error"), MsgIcon::Critical, MsgButtons::YesNo}};
    const test::Shown startHigh{
        {QStringLiteral("The start file number is higher than the number of files in the LD824."),
         QStringLiteral("File Error"), MsgIcon::Critical}};
    const test::Shown empty{{QStringLiteral("There are no data files available to download."),
                             QStringLiteral("Empty Memory"), MsgIcon::Critical}};
    // (files held, start, end, answers, messages, failed, tests, the last file selected)
    const std::tuple<int, int, int, std::vector<MsgAnswer>, test::Shown, bool, int, int> cases[] = {
        {8, 3, 12, {MsgAnswer::Yes}, truncate, false, 6, 8},
        {8, 3, 12, {MsgAnswer::No}, truncate, true, 0, 0},
        {8, 8, 8, {}, {}, false, 1, 8},
        {8, 9, 12, {MsgAnswer::Ok}, startHigh, true, 0, 0},
        {0, 1, 3, {MsgAnswer::Ok}, empty, true, 0, 0},
    };
    for (const auto& [held, start, end, answers, shown, failed, count, lastSelected] : cases) {
        Rig rig(held);
        for (const MsgAnswer a : answers)
            rig.prompter.answer(a);
        const Ld824Download d = rig.download(start, end);
        SCOPED_TRACE(testing::Message() << held << " held, " << start << ".." << end);
        EXPECT_EQ(std::tuple(d.failed, rig.link.isOpen(), rig.prompter.messages()), std::tuple(failed, false, shown));
        const QList<QByteArray> selected = rig.fileSelections();
        EXPECT_EQ(selected.isEmpty() ? QByteArray() : selected.back(),
                  lastSelected ? "F" + QByteArray::number(lastSelected) + ",6" : QByteArray());
        if (!failed) {
            EXPECT_EQ(d.count, count);
            EXPECT_EQ(d.levels(count, 1), 10 * (start + count - 1) + 1);
        }
    }
}

TEST(Ld824, MeterStateDecidesWhetherThereIsData)
{
    // (the meter's state, its replies to "M4" and "R3,4"; whether "M4" was asked, "&F103" sent, the download failed)
    const std::tuple<QByteArray, QByteArray, QByteArray, bool, bool, bool> cases[] = {
        {"0Q", "p", "1", false, false, false}, {"0p", "Q", "1", false, false, true},
        {"1P", "p", "1", true, false, true},   {"1R", "p", "1", true, false, true},
        {"0P", "Q", "1", true, false, false},  {"0Q", "Q", "0", false, true, false},
        {"0Q", "Q", "", false, true, false},
    };
    for (const auto& [state, m4, r34, askedM4, sentF103, failed] : cases) {
        Rig rig(2);
        rig.meter.faults().stateReply = state;
        rig.meter.faults().m4Reply = m4;
        rig.meter.faults().r34Reply = r34;
        if (failed)
            rig.prompter.answer(MsgAnswer::Ok);
        const Ld824Download d = rig.download(1, 2);
        SCOPED_TRACE((state + " " + m4 + " " + r34).toStdString());
        EXPECT_EQ(std::tuple(d.failed, rig.received("M4"), rig.received("&F103"), rig.link.isOpen()),
                  std::tuple(failed, askedM4 ? 1 : 0, sentF103 ? 1 : 0, false));
        EXPECT_EQ(rig.prompter.messages(),
                  failed ? test::Shown({{"There are no data available to download.", "File Error", MsgIcon::Critical}})
                         : test::Shown());
        EXPECT_TRUE(!failed || rig.fileSelections().isEmpty());
    }
}

TEST(Ld824, GridLevelsRoundHalfToEvenAndStopAt99)
{
    // (level in the meter, level in the grid)
    const std::pair<f32, f32> cases[] = {{99.5f, 99}, {98.5f, 98},  {45.5f, 46}, {44.5f, 44},
                                         {45.4f, 45}, {120.3f, 99}, {0, 0},      {-3.5f, -4}};
    std::vector<Levels> files(1);
    int band = 22;
    for (const auto& [level, grid] : cases)
        files[0](band++) = level;
    Rig rig(files);
    const Ld824Download d = rig.download(1, 1);
    ASSERT_FALSE(d.failed);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(d.levels(1, static_cast<int>(i) + 1), cases[i].second) << cases[i].first;
}

TEST(Ld824, MeterThatStopsAnsweringEndsTheDownloadAtTheCommandThatFailed)
{
    const QString hints = QStringLiteral(
        " Nothing was taken from the meter; the tests in the grid are as they were.\nCheck cable connection.\n"
        "Check for batteries or AC power.");
    const auto noReply = [&](const char* step) {
        return QStringLiteral("The LD824 on COM2 gave no valid reply to %1 in five tries, so the download stopped.")
                   .arg(QLatin1String(step)) +
               hints;
    };
    const auto unreadable = [&](const char* step, const char* reply) {
        return QStringLiteral("The reply of the LD824 on COM2 to %1 cannot be read ([%2]), so the download stopped.")
                   .arg(QLatin1String(step), QLatin1String(reply)) +
               hints;
    };
    const QString levels(198, QLatin1Char('4'));
    struct Case {
        const char* what;
        std::function<void(Rig&)> fault;
        QByteArray last;  // the last command the meter heard
        int lastSent;     // how often it was sent
        QString message;
        std::function<bool(Rig&)> stop = {};  // the person presses Stop
    };
    const QString cancelled = QStringLiteral(
        "The download from the LD824 was cancelled. Nothing was taken from the meter; the tests in the grid are as "
        "they were.");
    // 39 commands up to "R181" (the handshake's "R1" the first), 10 for the first pass, 7 for each file after.
    const Case cases[] = {
        {"silent from file 3 on", [](Rig& r) { r.meter.faults().vanishAfterCommands = 39 + 10 + 2 * 7; }, "F3,6", 1 + 5,
         noReply("F3,6 for file 3")},
        {"R173 lost", [](Rig& r) { r.meter.faults().unanswered = "R173"; }, "R173", 5, noReply("R173 for file 1")},
        {"garbage from the 21st command", [](Rig& r) { r.meter.faults().garbageAfterCommands = 20; }, "R174,26", 5,
         noReply("R174,26")},
        {"R173 cut short", [](Rig& r) { r.meter.faults().replies["R173"] = " 45.0, 46.0,"; }, "R173", 1,
         unreadable("R173 for file 1", " 45.0, 46.0,")},
        {"R173 without a level in the grid's bands",
         [&](Rig& r) { r.meter.faults().replies["R173"] = levels.toLatin1().replace(6 * 20, 5, "  -.-"); }, "R173", 1,
         unreadable("R173 for file 1", "4444444444444444444444444444444444444444...")},
        {"R181 no number", [](Rig& r) { r.meter.faults().replies["R181"] = "none"; }, "R181", 1,
         unreadable("R181", "none")},
        {"writes refused", [](Rig& r) { r.link.failWritesAfter(6 + 20); }, "R174,25", 1,
         QStringLiteral(
             "The command R174,26 could not be sent to the LD824 on COM2, so the download stopped. Nothing was "
             "taken from the meter; the tests in the grid are as they were.\nCheck that the port or its USB "
             "adapter is connected.")},
        {"stopped in the wake-up", [](Rig& r) { r.meter.faults().asleep = true; }, "", 0, cancelled,
         [](Rig& r) { return r.clock.yields() >= 30; }},
        {"stopped after file 2", [](Rig&) {}, "R173", 2, cancelled, [](Rig& r) { return r.notes.size() >= 2; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig(5);
        c.fault(rig);
        rig.prompter.answer(MsgAnswer::Ok);
        const Ld824Download d = rig.download(1, 5, c.stop);
        EXPECT_EQ(std::tuple(d.failed, d.stopped, rig.link.isOpen()), std::tuple(true, c.stop != nullptr, false));
        EXPECT_EQ(rig.prompter.messages(), test::Shown({{c.message, c.stop ? "Download Cancelled" : "Download Error",
                                                         c.stop ? MsgIcon::Information : MsgIcon::Critical}}));
        // Nothing after the command that failed, and nothing of the files read before it handed over.
        const auto& heard = rig.meter.commands();
        EXPECT_EQ(heard.empty() ? QByteArray() : heard.back(), c.last);
        if (!c.last.isEmpty()) {
            EXPECT_EQ(rig.received(c.last), c.lastSent);
        }
        EXPECT_EQ(d.levels(1, 1), 0);
    }
}
