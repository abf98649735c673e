#include <gtest/gtest.h>

#include <tuple>

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/FolderSearch.h"
#include "core/Message.h"

using namespace kov;

namespace {

// Builds a tree below a temporary folder: "a/b/" is a folder, "a/file" an empty file, "a/up -> .." a link.
class Tree {
public:
    explicit Tree(std::initializer_list<const char*> entries)
    {
        for (const char* e : entries)
            add(QString::fromUtf8(e));
    }
    QString root() const { return m_dir.path() + u'/'; }
    QString path(const char* relative) const { return root() + QString::fromUtf8(relative); }

    void add(const QString& entry)
    {
        const QDir root(m_dir.path());
        if (const qsizetype arrow = entry.indexOf(QLatin1String(" -> ")); arrow >= 0) {
            const QString link = entry.left(arrow);
            root.mkpath(QFileInfo(root.filePath(link)).path());
            ASSERT_TRUE(QFile::link(entry.mid(arrow + 4), root.filePath(link))) << entry.toStdString();
        } else if (entry.endsWith(u'/')) {
            ASSERT_TRUE(root.mkpath(entry)) << entry.toStdString();
        } else {
            root.mkpath(QFileInfo(root.filePath(entry)).path());
            QFile f(root.filePath(entry));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << entry.toStdString();
        }
    }

private:
    QTemporaryDir m_dir;
};

}  // namespace

TEST(SearchFolders, FindsTheFirstFolderOfADepthFirstWalkInWindowsListingOrder)
{
    const struct {
        const char* what;
        std::initializer_list<const char*> tree;
        const char* found;  // below the root; nullptr: not found
    } cases[] = {
        {"stored in lower case in a sub-folder",
         {"Program Files/Common Files/", "Program Files/Corvex/ZUV-AR24/zuv-ar24.exe", "Program Files/Corvex/readme"},
         "Program Files/Corvex/ZUV-AR24/"},
        {"the first sub-folder's deep child before a later sibling",
         {"a/b/c/ZUV-AR24.EXE", "a/d/", "z/ZUV-AR24.EXE"},
         "a/b/c/"},
        {"a folder's own entries before any of its sub-folders, wherever the listing puts them",
         {"m/a/ZUV-AR24.EXE", "m/b/ZUV-AR24.EXE", "m/c/ZUV-AR24.EXE", "m/d/ZUV-AR24.EXE", "m/e/ZUV-AR24.EXE",
          "m/f/ZUV-AR24.EXE", "m/g/ZUV-AR24.EXE", "m/h/ZUV-AR24.EXE", "m/Zuv-Ar24.Exe"},
         "m/"},
        {"upper-cased names decide the order, not the bytes", {"B/ZUV-AR24.EXE", "a/x/ZUV-AR24.EXE"}, "a/x/"},
        {"an underscore sorts after the letters, as Windows lists it", {"_old/ZUV-AR24.EXE", "b/ZUV-AR24.EXE"}, "b/"},
        {"a folder reached through a link", {"apps -> store", "store/corvex/ZUV-AR24.EXE"}, "apps/corvex/"},
        {"a link to nothing is only a name", {"broken -> nowhere", "x/ZUV-AR24.EXE"}, "x/"},
        {"a name that only begins like the target", {"a/ZUV-AR24.EXE.BAK", "a/ZUV-AR24"}, nullptr},
        {"nothing below the start", {"a/b/", "c/readme"}, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Tree tree(c.tree);
        const FolderSearchResult result = SearchFolders(tree.root(), MG24ProgramFile);
        EXPECT_EQ(result.found, c.found != nullptr ? tree.path(c.found) : QString());
        EXPECT_FALSE(result.stopped);
        EXPECT_FALSE(result.unsearched.has_value());
    }
}

TEST(SearchFolders, LinkCyclesAndEndlessDepthEnd)
{
    // Two links back to the top in one folder would double the walk at every level if a folder were listed twice.
    const Tree cycles({"a/up1 -> ..", "a/up2 -> ..", "a/self -> .", "b/c/again -> ../../a", "b/c/top -> ../.."});
    const FolderSearchResult walked = SearchFolders(cycles.root(), MG24ProgramFile);
    EXPECT_TRUE(walked.found.isEmpty());
    EXPECT_FALSE(walked.unsearched.has_value());
    EXPECT_EQ(walked.foldersListed, 4);

    // Deeper than the limit: the folders below it are not searched, and the search says so.
    const Tree deep({"1/2/3/4/5/ZUV-AR24.EXE"});
    const FolderSearchResult capped = SearchFolders(deep.root(), MG24ProgramFile, {}, {3, 256});
    EXPECT_TRUE(capped.found.isEmpty());
    EXPECT_EQ(capped.unsearched, (Message{deep.path("1/2/3/4/") + " could not be searched (more than 3 folders deep).",
                                          "Unexpected Error", MsgIcon::Exclamation}));
    EXPECT_EQ(capped.foldersListed, 4);
}

TEST(SearchFolders, StopsWhenTheWindowSaysSo)
{
    Tree tree({"zz/ZUV-AR24.EXE"});
    for (int i = 0; i < 40; ++i)
        tree.add(QStringLiteral("f%1").arg(i));
    int calls = 0;
    const FolderSearchResult result =
        SearchFolders(tree.root(), MG24ProgramFile, [&calls] { return ++calls < 3; }, {100, 10});
    EXPECT_TRUE(result.stopped);
    EXPECT_TRUE(result.found.isEmpty());
    EXPECT_EQ(calls, 3);
}

// Folders are shut with POSIX modes and searched as another user; Windows shuts them with ACLs.
#ifdef Q_OS_UNIX
TEST(SearchFolders, UnreadableFoldersAreSkippedAndNamedInOneMessage)
{
    Tree tree({"open/x/", "shut1/ZUV-AR24.EXE", "shut2/", "shut3/", "pagefile.sys/", "zz/ZUV-AR24.EXE"});
    ASSERT_EQ(chmod(QFile::encodeName(tree.root()).constData(), 0755), 0);
    for (const char* shut : {"shut1", "shut2", "shut3", "pagefile.sys"})
        ASSERT_EQ(chmod(QFile::encodeName(tree.path(shut)).constData(), 0), 0);
    const auto reopen = qScopeGuard([&tree] {
        for (const char* shut : {"shut1", "shut2", "shut3", "pagefile.sys"})
            chmod(QFile::encodeName(tree.path(shut)).constData(), 0755);
    });
    // Permissions do not stop root: search as the unprivileged user, as an installer's session would.
    const uid_t was = geteuid();
    if (was == 0 && seteuid(65534) != 0)
        GTEST_SKIP() << "running as root without the right to act as another user";
    const auto back = qScopeGuard([was] { EXPECT_EQ(seteuid(was), 0); });

    const FolderSearchResult result = SearchFolders(tree.root(), MG24ProgramFile);
    EXPECT_EQ(result.found, tree.path("zz/"));
    EXPECT_EQ(result.unsearched, (Message{tree.path("shut1/") + " could not be searched (Permission denied). 2 more "
                                                                "could not be searched either.",
                                          "Unexpected Error", MsgIcon::Exclamation}));
}
#endif

TEST(SearchStartFolder, TypedStartsBecomeAbsoluteFoldersWithASeparator)
{
    const QString home = QDir::homePath();
    const QString current = QDir::currentPath();
    // (typed, folder)
    const std::tuple<QString, QString> cases[] = {
        {"/opt", "/opt/"},
        {"  /opt/corvex/  ", "/opt/corvex/"},
        {"/opt/../srv//x", "/srv/x/"},
        {"~", home + "/"},
        {"~/.wine/drive_c/Program Files (x86)", home + "/.wine/drive_c/Program Files (x86)/"},
        {"~corvex", current + "/~corvex/"},
        {"tools", current + "/tools/"},
        {"", "/"},
    };
    for (const auto& [typed, folder] : cases)
        EXPECT_EQ(SearchStartFolder(typed), folder) << typed.toStdString();
}

TEST(DefaultSearchStart, TheWineDriveCWhenThereIsOneElseTheHomeFolder)
{
    const auto restore = qScopeGuard([home = qgetenv("HOME")] {
        qputenv("HOME", home);
        qunsetenv("WINEPREFIX");
    });
    const Tree home({"plain/", "wine/.wine/drive_c/Program Files/", "prefixed/games/drive_c/", "prefixed/.wine/"});
    // (home, WINEPREFIX or nullptr for unset, start)
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"plain", nullptr, "plain/"},
        {"wine", nullptr, "wine/.wine/drive_c/"},
        {"prefixed", "prefixed/games", "prefixed/games/drive_c/"},
        {"wine", "prefixed/none", "wine/"},
    };
    for (const auto& [user, prefix, start] : cases) {
        SCOPED_TRACE(start);
        qputenv("HOME", QFile::encodeName(home.path(user)));
        if (prefix != nullptr)
            qputenv("WINEPREFIX", QFile::encodeName(home.path(prefix)));
        else
            qunsetenv("WINEPREFIX");
        EXPECT_EQ(DefaultSearchStart(), home.path(start));
    }
}
