#include "core/FolderSearch.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QStringList>

#ifdef Q_OS_WIN
#include <windows.h>

#include "core/WindowsError.h"
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

#include <algorithm>
#include <cerrno>
#include <set>
#include <utility>

namespace kov {

namespace {

QString WithSeparator(QString folder)
{
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

// Windows keeps its paging and hibernation files (pagefile.sys, hiberfil.sys) locked, so looking at them always fails
// and says nothing about where the program might be.
bool IsLockedSystemFile(const QString& name)
{
    return name.endsWith(QLatin1String(".sys"), Qt::CaseInsensitive);
}

QString LastName(const QString& path)
{
    return QFileInfo(path.endsWith(u'/') ? path.chopped(1) : path).fileName();
}

#ifdef Q_OS_WIN
std::wstring NativePath(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdWString();
}
#endif

// One walk of the tree. The folders it has listed are known by device and inode (on Windows by volume and file
// index), whatever link or junction led to them.
class Walk {
public:
    Walk(const QString& fileName, const std::function<bool()>& keepGoing, const FolderSearchLimits& limits)
        : m_target(fileName.toUpper()), m_keepGoing(keepGoing), m_limits(limits)
    {
    }

    FolderSearchResult run(const QString& start)
    {
        search(WithSeparator(start), 0);
        m_result.unsearched = unsearchedMessage();
        return std::move(m_result);
    }

private:
    // True when the whole search is over: found, or stopped.
    bool search(const QString& folder, int depth)
    {
        if (depth > m_limits.maxDepth) {
            unsearched(folder, QStringLiteral("more than %1 folders deep").arg(m_limits.maxDepth));
            return false;
        }
        QStringList subFolders;
        if (const std::optional<bool> over = listFolder(folder, subFolders))
            return *over;
        // In the order Windows lists a folder (by upper-cased name), so a tree holding two copies gives the copy an
        // installer who knows the software from Windows expects.
        std::sort(subFolders.begin(), subFolders.end(), [](const QString& a, const QString& b) {
            const int upper = QString::compare(a.toUpper(), b.toUpper(), Qt::CaseSensitive);
            return upper != 0 ? upper < 0 : a < b;
        });
        for (const QString& name : std::as_const(subFolders)) {
            if (search(folder + name + u'/', depth + 1))
                return true;
        }
        return false;
    }

#ifndef Q_OS_WIN
    // Lists one folder into `subFolders`: true when the whole search is over, false when this folder ends it
    // (unreadable, or listed before), nothing when its sub-folders are to be searched.
    std::optional<bool> listFolder(const QString& folder, QStringList& subFolders)
    {
        DIR* dir = opendir(QFile::encodeName(folder).constData());
        if (dir == nullptr) {
            const int error = errno;
            if (!IsLockedSystemFile(LastName(folder)))
                unsearched(folder, qt_error_string(error));
            return false;
        }
        const auto closeDir = qScopeGuard([dir] { closedir(dir); });
        struct stat self {};
        if (fstat(dirfd(dir), &self) == 0 && !m_listed.insert({quint64(self.st_dev), quint64(self.st_ino)}).second)
            return false;
        ++m_result.foldersListed;
        if (list(dir, folder, subFolders))
            return true;
        return std::nullopt;
    }

    // The entries of one open folder: true when the file is among them or the search was stopped.
    bool list(DIR* dir, const QString& folder, QStringList& subFolders)
    {
        errno = 0;
        while (const dirent* entry = readdir(dir)) {
            const QByteArray raw(entry->d_name);
            if (raw != "." && raw != "..") {
                const QString name = QFile::decodeName(raw);
                if (take(folder, name, isFolder(dir, *entry, folder, name), subFolders))
                    return true;
            }
            errno = 0;
        }
        if (const int error = errno; error != 0)
            unsearched(folder, qt_error_string(error));
        return false;
    }

    bool isFolder(DIR* dir, const dirent& entry, const QString& folder, const QString& name)
    {
        if (entry.d_type == DT_DIR)
            return true;
        if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
            return false;
        struct stat target {};
        if (fstatat(dirfd(dir), entry.d_name, &target, 0) == 0)
            return S_ISDIR(target.st_mode);
        // A link to nothing, or to itself, is only a name: nothing below it was missed.
        const int error = errno;
        if (error != ENOENT && error != ELOOP && error != ENOTDIR && !IsLockedSystemFile(name))
            unsearched(folder + name, qt_error_string(error));
        return false;
    }
#else
    std::optional<bool> listFolder(const QString& folder, QStringList& subFolders)
    {
        const std::wstring native = NativePath(folder);
        HANDLE self = CreateFileW(native.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (self == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (!IsLockedSystemFile(LastName(folder)))
                unsearched(folder, WindowsErrorText(error));
            return false;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = GetFileInformationByHandle(self, &info) &&
                           !m_listed
                                .insert({quint64(info.dwVolumeSerialNumber),
                                         (quint64(info.nFileIndexHigh) << 32) | info.nFileIndexLow})
                                .second;
        CloseHandle(self);
        if (known)
            return false;
        WIN32_FIND_DATAW entry{};
        HANDLE find = FindFirstFileW((native + L"*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) {
            const DWORD error = GetLastError();
            if (error != ERROR_FILE_NOT_FOUND)
                unsearched(folder, WindowsErrorText(error));
            return false;
        }
        const auto closeFind = qScopeGuard([find] { FindClose(find); });
        ++m_result.foldersListed;
        do {
            const QString name = QString::fromWCharArray(entry.cFileName);
            if (name == u'.' || name == QLatin1String(".."))
                continue;
            if (take(folder, name, entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, subFolders))
                return true;
        } while (FindNextFileW(find, &entry));
        if (const DWORD error = GetLastError(); error != ERROR_NO_MORE_FILES)
            unsearched(folder, WindowsErrorText(error));
        return std::nullopt;
    }
#endif

    // One entry of a folder being listed: true when it is the file, or the search was stopped.
    bool take(const QString& folder, const QString& name, bool subFolder, QStringList& subFolders)
    {
        if (subFolder)
            subFolders.append(name);
        if (name.toUpper() == m_target) {
            m_result.found = folder;
            return true;
        }
        return !tick();
    }

    bool tick()
    {
        if (++m_sinceCall < m_limits.entriesPerCall)
            return true;
        m_sinceCall = 0;
        if (!m_keepGoing || m_keepGoing())
            return true;
        m_result.stopped = true;
        return false;
    }

    void unsearched(const QString& path, const QString& reason)
    {
        if (m_unsearchedCount++ == 0)
            m_firstUnsearched = {path, reason};
    }

    // A tree with hundreds of closed folders (another user's home, a system folder) gives one box, not hundreds.
    std::optional<Message> unsearchedMessage() const
    {
        if (m_unsearchedCount == 0)
            return std::nullopt;
        QString text =
            QStringLiteral("%1 could not be searched (%2).").arg(m_firstUnsearched.first, m_firstUnsearched.second);
        if (m_unsearchedCount > 1)
            text += QStringLiteral(" %1 more could not be searched either.").arg(m_unsearchedCount - 1);
        return Message{text, QStringLiteral("Unexpected Error"), MsgIcon::Exclamation};
    }

    const QString m_target;
    const std::function<bool()>& m_keepGoing;
    const FolderSearchLimits m_limits;
    std::set<std::pair<quint64, quint64>> m_listed;
    int m_sinceCall = 0;
    int m_unsearchedCount = 0;
    std::pair<QString, QString> m_firstUnsearched;
    FolderSearchResult m_result;
};

}  // namespace

QString DefaultSearchStart()
{
#ifdef Q_OS_WIN
    // Where Windows installs programs; the ZUV-AR24 software is one of them.
    return QStringLiteral("C:/Program Files/");
#else
    // The ZUV-AR24 software is a Windows program, which on this system runs under Wine; its installer puts it under
    // the C: drive of the Wine prefix, in "Program Files" or, for a 32-bit program, "Program Files (x86)". The drive
    // holds both and little else, while the prefix above it links drive Z: to the whole file system.
    const QString prefix = qEnvironmentVariable("WINEPREFIX", QDir::home().filePath(QStringLiteral(".wine")));
    const QFileInfo drive(QDir(prefix).filePath(QStringLiteral("drive_c")));
    if (drive.isDir())
        return WithSeparator(drive.absoluteFilePath());
    // Without Wine the software was copied somewhere by hand, and that is below the installer's home.
    return WithSeparator(QDir::homePath());
#endif
}

QString SearchStartFolder(const QString& typed)
{
    QString folder = typed.trimmed();
    // An empty start is the root, as a lone separator always was.
    if (folder.isEmpty())
        return QStringLiteral("/");
    if (folder == u'~' || folder.startsWith(QLatin1String("~/")))
        folder = QDir::homePath() + folder.mid(1);
    // Stored as the EQ files' folder, a relative path would move with the program's current folder.
    return WithSeparator(QDir::cleanPath(QDir::current().absoluteFilePath(folder)));
}

FolderSearchResult SearchFolders(const QString& folder, const QString& fileName, const std::function<bool()>& keepGoing,
                                 const FolderSearchLimits& limits)
{
    return Walk(fileName, keepGoing, limits).run(folder);
}

}  // namespace kov
