#include "core/ProgramFolder.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>
#include <iterator>
#include <map>
#include <system_error>

#include "core/FolderFile.h"
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

// What the person's folder holds of the shipped files: for each copy, the hash of the bytes it was copied with, and
// a fingerprint of the shipped folder (names, sizes and times) when that was last compared.
struct ShippedCopies {
    QString fingerprint;
    std::map<QString, QString> hashes;
};

QString Sha256(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

// A package upgrade rewrites the shipped files and their times, so a fingerprint of names, sizes and times tells
// whether they may have changed, without reading the documents (megabytes) at every start.
QString ShippedFingerprint(const QDir& shipped)
{
    QByteArray listing;
    for (const QFileInfo& f : shipped.entryInfoList(QDir::Files, QDir::Name)) {
        listing += f.fileName().toUtf8() + '\n' + QByteArray::number(f.size()) + '\n' +
                   QByteArray::number(f.lastModified().toMSecsSinceEpoch()) + '\n';
    }
    return Sha256(listing);
}

// A list that cannot be read is an empty one: the copies are compared again and the list written anew.
ShippedCopies ReadShippedCopies(const QString& path)
{
    const FileReadResult file = ReadWholeFile(path);
    if (!file.ok)
        return {};
    TextFieldReader r(file.data);
    ShippedCopies copies;
    i16 count = 0;
    if (!r.readText(copies.fingerprint) || !r.readInteger(count))
        return {};
    for (int i = 0; i < count; ++i) {
        QString name;
        QString hash;
        if (!r.readText(name) || !r.readText(hash))
            return {};
        copies.hashes[name] = hash;
    }
    return copies;
}

QByteArray ShippedCopiesBytes(const ShippedCopies& copies)
{
    TextFieldWriter w;
    w.text(copies.fingerprint);
    w.integer(static_cast<int>(copies.hashes.size()));
    w.endLine();
    for (const auto& [name, hash] : copies.hashes) {
        w.text(name);
        w.text(hash);
        w.endLine();
    }
    return w.bytes();
}

// After an upgrade, a copy still exactly as it was shipped takes the new shipped file; a copy the person changed
// (the database they edited, a folder file with their port) is theirs and stays. A replacement that fails leaves
// the old copy, which still works, and is tried again at the next start: false then.
bool RefreshCopy(const QString& name, const QDir& from, const QDir& into, const ShippedCopies& before,
                 ShippedCopies& after)
{
    const FileReadResult source = ReadWholeFile(from.filePath(name), MaxCopiedFileBytes);
    const FileReadResult copy = ReadWholeFile(into.filePath(name), MaxCopiedFileBytes);
    if (!source.ok || !copy.ok)
        return false;
    const QString shippedHash = Sha256(source.data);
    const QString copyHash = Sha256(copy.data);
    const auto recorded = before.hashes.find(name);
    if (copyHash == shippedHash) {
        after.hashes[name] = shippedHash;
    } else if (recorded != before.hashes.end() && recorded->second == copyHash) {
        if (!SaveWholeFile(into.filePath(name), source.data))
            return false;
        after.hashes[name] = shippedHash;
    } else {
        after.hashes.erase(name);
    }
    return true;
}

// What the program saves into its folder: the database, the folder file, projects, EQ files and PDFs, and in the
// person's folder of an installed program the shipped files it copies in and their list.
bool SavedInProgramFolder(const QString& name, const QStringList& copiedIn)
{
    static const QString suffixes[] = {QStringLiteral(".MSK"), QStringLiteral(".EQ"), QStringLiteral(".pdf")};
    return name == SpectrumDatabaseFileName || name == FolderFileName || copiedIn.contains(name) ||
           std::any_of(std::begin(suffixes), std::end(suffixes),
                       [&](const QString& suffix) { return name.endsWith(suffix, Qt::CaseInsensitive); });
}

// Copies that saves killed half way left beside these files, which nothing else would ever remove.
void RemoveLeftoverCopies(const QString& folder, const QStringList& copiedIn = {})
{
    RemoveLeftoverSaveCopies(folder, [&](const QString& name) { return SavedInProgramFolder(name, copiedIn); });
}

}  // namespace

QString InstalledDataFolder(const QString& programDir)
{
    return QDir::cleanPath(QDir(programDir).filePath(QStringLiteral("../share/kov")));
}

QString UserDataFolder()
{
#ifdef Q_OS_WIN
    // The roaming application data, where Windows programs keep what follows the person from one computer to the
    // next.
    const QString appData = qEnvironmentVariable("APPDATA");
    if (!appData.isEmpty())
        return QDir(QDir::fromNativeSeparators(appData)).filePath(QStringLiteral("KOV"));
#endif
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
    if (!installed) {
        RemoveLeftoverCopies(programDir);
        return {programDir, std::nullopt};
    }

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
    RemoveLeftoverCopies(userDataDir, from.entryList(QDir::Files) << ShippedCopiesFileName);
    const QString listPath = into.filePath(ShippedCopiesFileName);
    const ShippedCopies before = ReadShippedCopies(listPath);
    ShippedCopies after = before;
    after.fingerprint = ShippedFingerprint(from);
    const bool shippedChanged = after.fingerprint != before.fingerprint;
    bool compared = true;
    for (const QString& name : from.entryList(QDir::Files, QDir::Name)) {
        const QFileInfo target(into.filePath(name));
        // A link the person put there, even one that leads nowhere, is theirs too.
        if (target.isSymLink())
            continue;
        if (target.exists()) {
            if (shippedChanged && !RefreshCopy(name, from, into, before, after))
                compared = false;
            continue;
        }
        const FileReadResult source = ReadWholeFile(from.filePath(name), MaxCopiedFileBytes);
        QString reason = source.error;
        if (source.ok && SaveWholeFile(target.filePath(), source.data, nullptr, &reason)) {
            after.hashes[name] = Sha256(source.data);
            continue;
        }
        return {QString(), SetupFailure(QStringLiteral("Cannot copy %1 from %2 into %3 (%4).")
                                            .arg(name, QDir::toNativeSeparators(shipped),
                                                 QDir::toNativeSeparators(userDataDir), reason))};
    }
    // Only later refreshes depend on the list; one that could not be written is compared and written again next
    // time, and the data itself is in place.
    if (!compared)
        after.fingerprint = before.fingerprint;
    if (after.fingerprint != before.fingerprint || after.hashes != before.hashes)
        SaveWholeFile(listPath, ShippedCopiesBytes(after));
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
