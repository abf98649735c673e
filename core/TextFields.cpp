#include "core/TextFields.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

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
    m_bytes.append('"');
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'"') {
            // No escape exists in this file style; a quote would end the field early.
            m_bytes.append('\'');
        } else if (c == u'\r' || c == u'\n') {
            // A line break inside a field would split the record for readers that stop at line ends.
            m_bytes.append(' ');
        } else if (c.unicode() <= 0xff) {
            m_bytes.append(static_cast<char>(c.unicode()));
        } else {
            m_bytes.append('?');
            if (c.isHighSurrogate() && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
                ++i;
            }
        }
    }
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

TextFieldReader::TextFieldReader(QByteArray data) : m_data(std::move(data)) {}

QString TextFieldReader::errorIn(const QString& path) const
{
    return m_what + QStringLiteral(" in ") + QDir::toNativeSeparators(path);
}

bool TextFieldReader::fail(const QString& what, int line)
{
    if (!m_failed) {
        m_failed = true;
        m_what = what;
        m_errorLine = line;
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
        raw = m_data.mid(from, m_pos - from);
        if (m_pos < n) {
            ++m_pos;
        }
        while (m_pos < n && m_data[m_pos] != ',' && !IsLineEnd(m_data[m_pos])) {
            ++m_pos;
        }
    } else {
        const qsizetype from = m_pos;
        while (m_pos < n && m_data[m_pos] != ',' && !IsLineEnd(m_data[m_pos])) {
            ++m_pos;
        }
        raw = Trimmed(m_data.mid(from, m_pos - from));
    }
    if (m_pos < n) {
        if (m_data[m_pos] == ',') {
            ++m_pos;
        } else {
            skipLineEnd();
        }
    }
    return true;
}

bool TextFieldReader::readText(QString& out)
{
    QByteArray raw;
    bool quoted = false;
    if (!nextRaw(raw, quoted)) {
        return false;
    }
    out = QString::fromLatin1(raw);
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
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("Cannot open %1 (%2)").arg(shown, file.errorString());
        return result;
    }
    if (file.size() > maxBytes) {
        result.error = QStringLiteral("%1 is too large to be a KOV data file").arg(shown);
        return result;
    }
    // Bounded even where size() says nothing (devices, pipes).
    result.data = file.read(maxBytes + 1);
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

bool SaveWholeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    const QString shown = NativePath(path);
    const auto failWith = [&](const QString& why) {
        if (error) {
            *error = QStringLiteral("Cannot save %1 (%2)").arg(shown, why);
        }
        return false;
    };
    if (QFileInfo(path).isDir()) {
        return failWith(QStringLiteral("it is a folder"));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return failWith(file.errorString());
    }
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        return failWith(why);
    }
    if (!file.commit()) {
        return failWith(file.errorString());
    }
    if (error) {
        error->clear();
    }
    return true;
}

bool ParseFieldFile(const QString& path, const std::function<void(TextFieldReader&)>& parse, QString& error)
{
    const FileReadResult file = ReadWholeFile(path);
    if (!file.ok) {
        error = file.error;
        return false;
    }
    TextFieldReader r(file.data);
    parse(r);
    if (r.failed()) {
        error = r.errorText() + QStringLiteral(" of ") + QDir::toNativeSeparators(path);
        return false;
    }
    return true;
}

}  // namespace kov
