#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "core/TextFields.h"

namespace kov {

namespace {

Message SetupFailure(const QString& text)
{
    return {text + QStringLiteral(" KOV keeps its spectrum database, folder file and projects there and cannot start "
                                  "without them."),
            QStringLiteral("Fatal Error"), MsgIcon::Critical};
}

// QDir::mkpath says only that it failed; the person needs the system's reason ("Not a directory").
std::optional<QString> MakeFolder(const QString& path)
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(QFile::encodeName(path).toStdString()), error);
    if (error)
        return QString::fromLocal8Bit(error.message());
    if (!QFileInfo(path).isDir())
        return QStringLiteral("it is not a folder");
    return std::nullopt;
}

}  // namespace

QString InstalledDataFolder(const QString& programDir)
{
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral("../share/kov")));
}

QString UserDataFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return base.isEmpty() ? QString() : QDir(base).filePath(QStringLiteral("KOV"));
}

ProgramFolderSetup PrepareProgramFolder(const QString& programDir, const QString& userDataDir)
{
    const QString shipped = InstalledDataFolder(programDir);
    const bool installed = !QFileInfo::exists(QDir(programDir).filePath(SpectrumDatabaseFileName)) &&
                           QFileInfo(QDir(shipped).filePath(SpectrumDatabaseFileName)).isFile();
    // Anything else, a folder without its database included, is the program's own folder as before, where the
    // database's own message tells what is missing.
    if (!installed)
        return {programDir, std::nullopt};

    if (userDataDir.isEmpty()) {
        return {QString(), SetupFailure(QStringLiteral("KOV is installed in %1 and needs a folder of its own for its "
                                                       "data, but this account has no home folder.")
                                            .arg(QDir::toNativeSeparators(programDir)))};
    }
    if (const std::optional<QString> reason = MakeFolder(userDataDir)) {
        return {
            QString(),
            SetupFailure(
                QStringLiteral("Cannot make the folder %1 (%2).").arg(QDir::toNativeSeparators(userDataDir), *reason))};
    }
    const QDir from(shipped);
    const QDir into(userDataDir);
    for (const QString& name : from.entryList(QDir::Files, QDir::Name)) {
        const QFileInfo target(into.filePath(name));
        // A link the person put there, even one that leads nowhere, is theirs too.
        if (target.exists() || target.isSymLink())
            continue;
        const FileReadResult source = ReadWholeFile(from.filePath(name), MaxCopiedFileBytes);
        QString reason = source.error;
        if (source.ok && SaveWholeFile(target.filePath(), source.data, nullptr, &reason))
            continue;
        return {QString(), SetupFailure(QStringLiteral("Cannot copy %1 from %2 into %3 (%4).")
                                            .arg(name, QDir::toNativeSeparators(shipped),
                                                 QDir::toNativeSeparators(userDataDir), reason))};
    }
    return {userDataDir, std::nullopt};
}

bool SetUpProgramFolder(Prompter& prompter)
{
    if (ProgramFolderOverridden())
        return true;
    const QString programDir = ProgramFolder();
    const ProgramFolderSetup setup = PrepareProgramFolder(programDir, UserDataFolder());
    if (setup.failure) {
        ShowMessage(prompter, *setup.failure);
        return false;
    }
    if (setup.folder != programDir)
        OverrideProgramFolder(setup.folder);
    return true;
}

}  // namespace kov
