#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>

#include <cerrno>
#include <functional>
#include <tuple>

#include <fcntl.h>
#include <unistd.h>

#include "core/EqFile.h"
#include "core/FolderFile.h"
#include "core/ProjectCommands.h"
#include "core/ProjectFile.h"
#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

using namespace kov;
using kov::test::GoldenFile;
using kov::test::ScriptedPrompter;
using kov::test::ShippedFile;

namespace {

// The one message a save shows, answered with Ok.
QString Told(ScriptedPrompter& person, const std::function<void()>& save)
{
    person.answer(MsgAnswer::Ok);
    save();
    return person.messages().size() == 1 ? person.messages().front().text : QString();
}

}  // namespace

// Each data file saved onto a disk with no room left. KOV_FULL_DISK_DIR names an empty file system of its own,
// a few pages small (tools/full-disk-test.sh mounts one); anywhere else there is nothing that may be filled.
class FullDiskTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        disk = qEnvironmentVariable("KOV_FULL_DISK_DIR");
        if (disk.isEmpty())
            GTEST_SKIP() << "KOV_FULL_DISK_DIR names no small file system to fill";
        ASSERT_TRUE(QDir(disk).isEmpty()) << disk.toStdString();
        InitTables(d);
        d.AppPath = disk;
        d.MG24Folder = disk + u'/';
        d.ProjectEqName = QStringLiteral("HANDBUILT.EQ");
        d.ProjectFileName = file(QStringLiteral("OFFICE.MSK"));
        d.SaveConfirmed = -1;
        old = {{SpectrumDatabaseFileName, ShippedFile(SpectrumDatabaseFileName)},
               {FolderFileName, ShippedFile(FolderFileName)},
               {QStringLiteral("OFFICE.MSK"), GoldenFile(QStringLiteral("HANDBUILT.MSK"))},
               {d.ProjectEqName, GoldenFile(d.ProjectEqName)}};
        for (const auto& [name, bytes] : old.asKeyValueRange()) {
            ASSERT_FALSE(bytes.isEmpty()) << name.toStdString();
            QFile f(file(name));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.flush());
        }
        fill();
    }
    void TearDown() override
    {
        if (disk.isEmpty())
            return;
        QDir dir(disk);
        for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden))
            dir.remove(name);
    }

    QString file(const QString& name) const { return QDir(disk).filePath(name); }
    QByteArray contents(const QString& name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    // Down to the last byte, so that no new file gets a block.
    void fill() const
    {
        const int fd = ::open(QFile::encodeName(file(QStringLiteral("FILLER"))).constData(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        const QByteArray block(4096, 'x');
        for (qsizetype size : {block.size(), qsizetype(1)}) {
            while (::write(fd, block.constData(), size) > 0) {
            }
        }
        const int code = errno;
        ::close(fd);
        ASSERT_EQ(code, ENOSPC) << "the disk did not fill";
    }

    QString disk;
    QMap<QString, QByteArray> old;
    LumoData d;
};

TEST_F(FullDiskTest, EveryDataFileReportsTheFullDiskAndKeepsItsOldBytes)
{
    const QString full = QStringLiteral("No space left on device");
    // (what, the file's name, the save, which gives what the person is told; what that is, "%P" standing for the
    // file's path)
    const std::tuple<const char*, QString, std::function<QString(LumoData&, ScriptedPrompter&)>, QString> cases[] = {
        {"project file", QStringLiteral("OFFICE.MSK"),
         [](LumoData& d, ScriptedPrompter& p) { return Told(p, [&] { EXPECT_FALSE(SaveProject(d, p)); }); },
         QStringLiteral("The file %P could not be saved.\n") + full},
        {"EQ file", d.ProjectEqName,
         [](LumoData& d, ScriptedPrompter& p) { return Told(p, [&] { WriteEqFile(d, p, 3, 1); }); },
         QStringLiteral("Cannot save %P (") + full + QStringLiteral(") occurred on line 1 in saving EQ file")},
        {"spectrum database", SpectrumDatabaseFileName,
         [](LumoData& d, ScriptedPrompter&) {
             i16 failed = 0;
             QString reason;
             SaveSpectrumDatabase(d, failed, &reason);
             EXPECT_EQ(failed, -1);
             return reason;
         },
         full},
        {"folder file", FolderFileName,
         [](LumoData& d, ScriptedPrompter& p) { return Told(p, [&] { EXPECT_FALSE(WriteFolderFile(d, p)); }); },
         QStringLiteral("Cannot save %P (") + full +
             QStringLiteral("). The port and folder settings could not be saved; they stay in use until KOV is "
                            "closed.")},
    };
    QStringList names = old.keys();
    names.append(QStringLiteral("FILLER"));
    names.sort();
    for (const auto& [what, name, save, told] : cases) {
        SCOPED_TRACE(what);
        ScriptedPrompter person;
        EXPECT_EQ(save(d, person), QString(told).replace(QStringLiteral("%P"), file(name)));
        for (const auto& [name, bytes] : old.asKeyValueRange())
            EXPECT_TRUE(contents(name) == bytes) << name.toStdString();
        EXPECT_EQ(QDir(disk).entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
    }
}
