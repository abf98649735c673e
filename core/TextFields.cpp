#include "core/TextFields.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <utility>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "core/Numbers.h"

namespace kov {

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

QByteArray Trimmed(const QByteArray& raw)
{
    qsizetype from = 0;
    qsizetype to = raw.size();
    while (from < to && IsBlank(raw[from])) {
        ++from;
    }
    while (to > from && IsBlank(raw[to - 1])) {
        --to;
    }
    return raw.mid(from, to - from);
}

// A broken or foreign file can hold a "field" of megabytes; the message shows only its start.
QString Quoted(const QByteArray& raw)
{
    constexpr qsizetype shown = 40;
    QString text = QString::fromLatin1(raw.left(shown));
    if (raw.size() > shown) {
        text += QStringLiteral("...");
    }
    return u'"' + text + u'"';
}

// BASIC's number syntax: sign, digits with at most one point, optional exponent. Stricter than from_chars,
// which would accept "inf" and "nan".
bool IsNumberSyntax(const QByteArray& s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-')) {
        ++i;
    }
    int mantissaDigits = 0;
    while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) {
        ++i;
        ++mantissaDigits;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0) {
        return false;
    }
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < n && (s[i] == '+' || s[i] == '-')) {
            ++i;
        }
        int exponentDigits = 0;
        while (i < n && std::isdigit(static_cast<unsigned char>(s[i]))) {
            ++i;
            ++exponentDigits;
        }
        if (exponentDigits == 0) {
            return false;
        }
    }
    return i == n;
}

// from_chars wants no '+' and a digit before the point.
std::string ForFromChars(const QByteArray& s)
{
    std::string t = s.toStdString();
    if (!t.empty() && t[0] == '+') {
        t.erase(0, 1);
    }
    const std::size_t digitsFrom = (!t.empty() && t[0] == '-') ? 1 : 0;
    if (digitsFrom < t.size() && t[digitsFrom] == '.') {
        t.insert(digitsFrom, 1, '0');
    }
    return t;
}

// Power of ten of the first non-zero digit of a text in number syntax ("123" is 2, ".05" is -2, "1e5" is 5).
long DecimalMagnitude(const std::string& s)
{
    const std::size_t mantissaEnd = std::min(s.find_first_of("eE"), s.size());
    const std::size_t point = std::min(s.find('.'), mantissaEnd);
    long power = 0;
    for (std::size_t i = 0; i < point; ++i) {
        power += std::isdigit(static_cast<unsigned char>(s[i])) ? 1 : 0;
    }
    long magnitude = 0;
    bool found = false;
    for (std::size_t i = 0; i < mantissaEnd && !found; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(s[i]))) {
            continue;
        }
        --power;
        if (s[i] != '0') {
            magnitude = power;
            found = true;
        }
    }
    if (!found) {
        return 0;
    }
    const long exponent = mantissaEnd < s.size() ? std::strtol(s.c_str() + mantissaEnd + 1, nullptr, 10) : 0;
    return magnitude + std::clamp(exponent, -1000000000L, 1000000000L);
}

enum class Parse { ok, notNumber, overflow };

template <typename T>
Parse ParseNumber(const QByteArray& text, T& out)
{
    if (!IsNumberSyntax(text)) {
        return Parse::notNumber;
    }
    const std::string s = ForFromChars(text);
    T value = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        // Either too large (an overflow) or too small to be anything but zero, as a run time reads it.
        if (DecimalMagnitude(s) > 0) {
            return Parse::overflow;
        }
        out = s[0] == '-' ? -T(0) : T(0);
        return Parse::ok;
    }
    if (res.ec != std::errc() || res.ptr != s.data() + s.size()) {
        return Parse::notNumber;
    }
    out = value;
    return Parse::ok;
}

QString NativePath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

// Strict UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValidUtf8(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            ++i;
            continue;
        }
        int follow = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xbf;
        if (lead >= 0xc2 && lead <= 0xdf) {
            follow = 1;
        } else if (lead >= 0xe0 && lead <= 0xef) {
            follow = 2;
            low = lead == 0xe0 ? 0xa0 : 0x80;
            high = lead == 0xed ? 0x9f : 0xbf;
        } else if (lead >= 0xf0 && lead <= 0xf4) {
            follow = 3;
            low = lead == 0xf0 ? 0x90 : 0x80;
            high = lead == 0xf4 ? 0x8f : 0xbf;
        } else {
            return false;
        }
        if (i + follow >= n || p[i + 1] < low || p[i + 1] > high) {
            return false;
        }
        for (int k = 2; k <= follow; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xbf) {
                return false;
            }
        }
        i += follow + 1;
    }
    return true;
}

// Valid UTF-8 with a byte above 0x7f holds a multi-byte sequence. The accents of an older file's Latin-1 almost
// never line up into one (a letter is followed by a letter, not by one of the symbols A0..BF), so such bytes are
// taken for UTF-8 and all others for Latin-1, as before.
bool ReadsAsUtf8(const QByteArray& bytes)
{
    const bool beyondAscii =
        std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
    return beyondAscii && IsValidUtf8(bytes);
}

QString TextFromBytes(const QByteArray& bytes)
{
    if (!ReadsAsUtf8(bytes)) {
        return QString::fromLatin1(bytes);
    }
    // QString::fromUtf8 would drop a leading U+FEFF, and the text must come back as it was written.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return utf8.decode(bytes);
}

// Latin-1 where it holds the text, byte for byte as older copies of the program wrote every file; UTF-8 where it
// does not. A Latin-1 text whose bytes happen to be valid UTF-8 (A-tilde and the copyright sign are C3 A9, the
// UTF-8 of e-acute) goes as UTF-8 too: the reader cannot tell those bytes from UTF-8, and whatever is written
// must read back exactly. Only an older copy of the program sees such a text garbled, and it is a rarity, while
// the accents of real names stay single Latin-1 bytes.
QByteArray TextBytes(const QString& text)
{
    const bool latin1 = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xff; });
    if (latin1) {
        QByteArray bytes = text.toLatin1();
        if (!ReadsAsUtf8(bytes)) {
            return bytes;
        }
    }
    return text.toUtf8();
}

// What the system said about the failed step of `device`. Qt answers "Unknown error" where it kept no words of
// its own, as after a write the disk took only part of, yet errno (`code`, taken right after the step) knows.
QString FailureReason(const QIODevice& device, int code)
{
    const QString said = device.errorString();
    if (!said.isEmpty() && said != QIODevice::tr("Unknown error")) {
        return said;
    }
    if (code != 0) {
        return QString::fromLocal8Bit(std::strerror(code));
    }
    return QStringLiteral("The system gave no reason");
}

}  // namespace

// ---------------------------------------------------------------------------------------------------------------
// Writer

void TextFieldWriter::separate()
{
    if (m_lineStarted) {
        m_bytes.append(',');
    }
    m_lineStarted = true;
}

void TextFieldWriter::text(const QString& value)
{
    separate();
    QString text = value;
    // No escape exists in this file style; a quote would end the field early.
    text.replace(u'"', u'\'');
    // A line break inside a field would split the record for readers that stop at line ends, and the reader
    // takes a Ctrl-Z for the end of the file.
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    text.replace(QChar(0x1a), u' ');
    // Only a pasted screenful is this long; cut where the reader still takes it, and never inside a letter made of
    // two UTF-16 halves.
    if (text.size() > MaxTextFieldLength)
        text.truncate(text.at(MaxTextFieldLength).isLowSurrogate() ? MaxTextFieldLength - 1 : MaxTextFieldLength);
    m_bytes.append('"');
    m_bytes.append(TextBytes(text));
    m_bytes.append('"');
}

void TextFieldWriter::number(f32 value)
{
    separate();
    m_bytes.append(FieldNumber(value).toLatin1());
}

void TextFieldWriter::integer(int value)
{
    separate();
    m_bytes.append(QByteArray::number(value));
}

void TextFieldWriter::endLine()
{
    m_bytes.append("\r\n");
    m_lineStarted = false;
}

// ---------------------------------------------------------------------------------------------------------------
// Reader
//
// As BASIC's Input #: blanks and line ends before a field are skipped, so "a,<CRLF>b" is two fields, not an empty
// one between them; an empty field exists only between two commas (or before a leading comma). A line end right
// after a field is its separator. A quoted text runs to its closing quote, even across lines; anything between
// the closing quote and the next separator is dropped.

TextFieldReader::TextFieldReader(QByteArray data, FieldEnd end) : m_data(std::move(data)), m_end(end)
{
    // DOS editors and copy commands ended text files with Ctrl-Z, sometimes padded after it; nothing there is data.
    const qsizetype dosEnd = m_data.indexOf('\x1a');
    if (dosEnd >= 0) {
        m_data.truncate(dosEnd);
    }
}

bool TextFieldReader::fail(const QString& what, int line)
{
    if (!m_failed) {
        m_failed = true;
        m_error = {line, what};
    }
    return false;
}

bool TextFieldReader::nextRaw(QByteArray& raw, bool& quoted)
{
    if (m_failed) {
        return false;
    }
    const qsizetype n = m_data.size();
    // Consumes one line end (CRLF, CR or LF) at m_pos.
    const auto skipLineEnd = [&] {
        if (m_data[m_pos] == '\r' && m_pos + 1 < n && m_data[m_pos + 1] == '\n') {
            ++m_pos;
        }
        ++m_pos;
        ++m_line;
    };
    while (m_pos < n && (IsBlank(m_data[m_pos]) || IsLineEnd(m_data[m_pos]))) {
        if (IsLineEnd(m_data[m_pos])) {
            skipLineEnd();
        } else {
            ++m_pos;
        }
    }
    if (m_pos >= n) {
        return fail(QStringLiteral("Input past end of file"), m_line);
    }
    m_fieldLine = m_line;

    quoted = m_data[m_pos] == '"';
    QByteArray field;
    if (quoted) {
        const qsizetype from = ++m_pos;
        while (m_pos < n && m_data[m_pos] != '"') {
            if (IsLineEnd(m_data[m_pos])) {
                // Counted but kept: the text is returned as it stands.
                if (!(m_data[m_pos] == '\r' && m_pos + 1 < n && m_data[m_pos + 1] == '\n')) {
                    ++m_line;
                }
            }
            ++m_pos;
        }
        if (m_pos >= n) {
            // A file cut inside a text, which would otherwise pass for a shorter text.
            return fail(QStringLiteral("Input past end of file"), m_line);
        }
        field = m_data.mid(from, m_pos - from);
        ++m_pos;
        while (m_pos < n && m_data[m_pos] != ',' && !IsLineEnd(m_data[m_pos])) {
            ++m_pos;
        }
    } else {
        const qsizetype from = m_pos;
        while (m_pos < n && m_data[m_pos] != ',' && !IsLineEnd(m_data[m_pos])) {
            ++m_pos;
        }
        field = Trimmed(m_data.mid(from, m_pos - from));
    }
    if (m_pos >= n) {
        // Every record of our files ends in a line end, so a field the data ends in may have lost its last digits
        // or letters; a foreign export that simply stops after its last field is whole.
        if (m_end == FieldEnd::DataMayEnd) {
            raw = std::move(field);
            return true;
        }
        return fail(QStringLiteral("Input past end of file"), m_line);
    }
    if (m_data[m_pos] == ',') {
        ++m_pos;
    } else {
        skipLineEnd();
    }
    raw = std::move(field);
    return true;
}

bool TextFieldReader::readText(QString& out)
{
    QByteArray raw;
    bool quoted = false;
    if (!nextRaw(raw, quoted)) {
        return false;
    }
    const auto tooLong = [this] {
        return fail(QStringLiteral("Text too long (more than %1 characters)").arg(MaxTextFieldLength), m_fieldLine);
    };
    // A UTF-8 byte sequence makes at most one UTF-16 unit per byte and at least one per three, so bytes beyond
    // three times the limit are too long before any decoding.
    if (raw.size() > 3 * MaxTextFieldLength) {
        return tooLong();
    }
    QString text = TextFromBytes(raw);
    if (text.size() > MaxTextFieldLength) {
        return tooLong();
    }
    out = std::move(text);
    return true;
}

bool TextFieldReader::nextNumberText(QByteArray& text, bool& empty)
{
    QByteArray raw;
    bool quoted = false;
    if (!nextRaw(raw, quoted)) {
        return false;
    }
    // An empty field reads as 0, as BASIC did; an empty quoted "" is still text where a number belongs.
    empty = !quoted && raw.isEmpty();
    text = Trimmed(raw);
    return true;
}

bool TextFieldReader::typeMismatch(const QByteArray& text)
{
    return fail(QStringLiteral("Type mismatch (%1 is not a number)").arg(Quoted(text)), m_fieldLine);
}

bool TextFieldReader::readNumber(f32& out)
{
    QByteArray text;
    bool empty = false;
    if (!nextNumberText(text, empty)) {
        return false;
    }
    if (empty) {
        out = 0;
        return true;
    }
    f32 value = 0;
    switch (ParseNumber(text, value)) {
        case Parse::ok:
            out = value;
            return true;
        case Parse::overflow:
            return fail(QStringLiteral("Overflow (%1)").arg(Quoted(text)), m_fieldLine);
        case Parse::notNumber:
            break;
    }
    return typeMismatch(text);
}

bool TextFieldReader::readInteger(i16& out)
{
    QByteArray text;
    bool empty = false;
    if (!nextNumberText(text, empty)) {
        return false;
    }
    if (empty) {
        out = 0;
        return true;
    }
    double value = 0;
    const Parse parsed = ParseNumber(text, value);
    if (parsed == Parse::notNumber) {
        return typeMismatch(text);
    }
    const double rounded = parsed == Parse::ok ? RoundHalfEven(value, 0) : HUGE_VAL;
    if (rounded < std::numeric_limits<i16>::min() || rounded > std::numeric_limits<i16>::max()) {
        return fail(QStringLiteral("Overflow (%1)").arg(Quoted(text)), m_fieldLine);
    }
    out = static_cast<i16>(rounded);
    return true;
}

bool TextFieldReader::skipField()
{
    QByteArray raw;
    bool quoted = false;
    return nextRaw(raw, quoted);
}

bool TextFieldReader::atEnd() const
{
    for (qsizetype i = m_pos; i < m_data.size(); ++i) {
        if (!IsBlank(m_data[i]) && !IsLineEnd(m_data[i])) {
            return false;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------------------
// Whole files

FileReadResult ReadWholeFile(const QString& path, qint64 maxBytes)
{
    FileReadResult result;
    const QString shown = NativePath(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        result.notFound = true;
        result.error = QStringLiteral("File not found: ") + shown;
        return result;
    }
    // Opening a pipe waits for a writer, and a device can read forever: neither is a data file.
    if (info.isDir()) {
        result.error = QStringLiteral("Cannot open %1 (it is a folder)").arg(shown);
        return result;
    }
    if (!info.isFile()) {
        result.error = QStringLiteral("Cannot open %1 (it is not a file)").arg(shown);
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Cannot open %1 (%2)").arg(shown, file.errorString());
        return result;
    }
    if (file.size() > maxBytes) {
        result.error = QStringLiteral("%1 is too large to be a KOV data file").arg(shown);
        return result;
    }
    // As much as the file holds (a read reserves what it is asked for), and bounded even if it grows meanwhile.
    result.data = file.read(file.size() + 1);
    while (!file.atEnd() && file.error() == QFileDevice::NoError && result.data.size() <= maxBytes)
        result.data += file.read(64 * 1024);
    if (file.error() != QFileDevice::NoError) {
        result.data.clear();
        result.error = QStringLiteral("Cannot read %1 (%2)").arg(shown, file.errorString());
        return result;
    }
    if (result.data.size() > maxBytes) {
        result.data.clear();
        result.error = QStringLiteral("%1 is too large to be a KOV data file").arg(shown);
        return result;
    }
    result.ok = true;
    return result;
}

QString FileReadError::inFile() const
{
    return file.isEmpty() ? text : text + QStringLiteral(" in ") + NativePath(file);
}

QString FileReadError::onLineOfFile() const
{
    return file.isEmpty() ? text
                          : text + QStringLiteral(" on line %1 of %2").arg(QString::number(line), NativePath(file));
}

namespace {

// The letters the toolkit draws a temporary name from: A-Z and a-z, no digits.
constexpr qsizetype LeftoverSuffixLength = 6;

bool IsSuffixLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Removes a leftover copy unless a save holds it. A save in progress keeps its copy locked, and a killed one's lock
// went with it, so a copy that can be locked is one nobody writes; it is unlinked under that lock, and only when
// the name still leads to the same file.
bool RemoveUnlessInUse(const QString& path)
{
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat opened {};
    struct stat named {};
    const bool removed = ::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
                         ::lstat(native.constData(), &named) == 0 && named.st_dev == opened.st_dev &&
                         named.st_ino == opened.st_ino && ::unlink(native.constData()) == 0;
    ::close(fd);
    return removed;
#else
    // Elsewhere a file a save still has open cannot be removed.
    return QFile::remove(path);
#endif
}

// The rename lives in the folder's own data; until that is on the disk a power cut can bring back the old name.
// A folder that cannot be opened or synced at all (EINVAL, EROFS) is left to the system, as for the file itself.
bool SyncFolderOf(const QString& path, QString& reason)
{
#ifdef Q_OS_UNIX
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return true;
    const bool synced = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    if (!synced)
        reason = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return synced;
#else
    Q_UNUSED(path);
    Q_UNUSED(reason);
    return true;
#endif
}

}  // namespace

QString SavedNameOfLeftover(const QString& name)
{
    const qsizetype dot = name.size() - LeftoverSuffixLength - 1;
    if (dot < 1 || name.at(dot) != u'.')
        return {};
    for (qsizetype i = dot + 1; i < name.size(); ++i) {
        if (!IsSuffixLetter(name.at(i)))
            return {};
    }
    return name.left(dot);
}

QStringList RemoveLeftoverSaveCopies(const QString& folder, const std::function<bool(const QString&)>& saved)
{
    QStringList removed;
    QDirIterator entries(folder, QDir::Files | QDir::Hidden | QDir::System);
    while (entries.hasNext()) {
        entries.next();
        const QString name = entries.fileName();
        const QString savedName = SavedNameOfLeftover(name);
        if (!savedName.isEmpty() && saved(savedName) && RemoveUnlessInUse(entries.filePath()))
            removed.append(name);
    }
    return removed;
}

bool WriteSaveFile(QSaveFile& file, const QByteArray& bytes, QString& reason)
{
    const QFileInfo target(file.fileName());
    const QString targetName = target.fileName();
    RemoveLeftoverSaveCopies(target.absolutePath(), [&](const QString& name) { return name == targetName; });
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = FailureReason(file, errno);
        return false;
    }
#ifdef Q_OS_UNIX
    // Held until the copy is renamed over the file, so that another KOV cleaning up the folder leaves it alone.
    if (file.handle() >= 0)
        ::flock(file.handle(), LOCK_EX | LOCK_NB);
#endif
    const auto abandon = [&](int code) {
        reason = FailureReason(file, code);
        // Removes the temporary file now rather than when `file` goes, and leaves the old file untouched.
        file.cancelWriting();
        file.commit();
        return false;
    };
    // The system may take part of a write when the disk fills; only the next write then says why.
    for (qsizetype done = 0; done < bytes.size();) {
        errno = 0;
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            return abandon(errno);
        }
        done += written;
    }
    // A small file is still in Qt's buffer here; the disk turns it down only now.
    errno = 0;
    if (!file.flush()) {
        return abandon(errno);
    }
#ifdef Q_OS_UNIX
    // File systems that allocate late (network shares, ext4, XFS) report a full disk at the sync at the latest.
    // commit() syncs too but ignores what it hears; EINVAL and EROFS only mean this file cannot be synced.
    if (file.handle() >= 0 && ::fsync(file.handle()) != 0 && errno != EINVAL && errno != EROFS) {
        return abandon(errno);
    }
#endif
    errno = 0;
    if (!file.commit()) {
        reason = FailureReason(file, errno);
        return false;
    }
    return SyncFolderOf(file.fileName(), reason);
}

bool SaveWholeFile(const QString& path, const QByteArray& bytes, QString* error, QString* reason)
{
    QSaveFile file(path);
    QString why;
    const bool saved = WriteSaveFile(file, bytes, why);
    if (error) {
        *error = saved ? QString() : QStringLiteral("Cannot save %1 (%2)").arg(NativePath(path), why);
    }
    if (reason) {
        *reason = saved ? QString() : why;
    }
    return saved;
}

}  // namespace kov
