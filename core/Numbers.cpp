#include "core/Numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace kov {

namespace {

// |x| correctly rounded to `digits` significant digits, read as d0.d1d2... * 10^exponent. to_chars is used because,
// unlike printf, it ignores the C locale and its decimal comma.
struct DecimalDigits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

DecimalDigits SignificantDigits(double x, int digits)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific, digits - 1);
    const std::string text(buf, res.ptr);
    DecimalDigits d;
    d.negative = std::signbit(x);
    const auto e = text.find('e');
    for (std::size_t i = 0; i < e; ++i) {
        if (text[i] != '.') {
            d.digits.push_back(text[i]);
        }
    }
    d.exponent = std::atoi(text.c_str() + e + 1);
    return d;
}

// Lays significant digits out as plain decimal text: no exponent, no trailing zeros, no leading zero before the
// point, and no sign on a value that is zero at this precision.
QString PlainDecimal(DecimalDigits d)
{
    while (d.digits.size() > 1 && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    if (d.digits == "0") {
        return QStringLiteral("0");
    }
    std::string out = d.negative ? "-" : "";
    const int count = static_cast<int>(d.digits.size());
    if (d.exponent >= 0) {
        const int intCount = d.exponent + 1;
        if (count <= intCount) {
            out += d.digits;
            out.append(static_cast<std::size_t>(intCount - count), '0');
        } else {
            out += d.digits.substr(0, static_cast<std::size_t>(intCount));
            out += '.';
            out += d.digits.substr(static_cast<std::size_t>(intCount));
        }
    } else {
        out += '.';
        out.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        out += d.digits;
    }
    return QString::fromLatin1(out.c_str());
}

bool ReadsBackAs(const QString& text, f32 x)
{
    std::string s = text.toStdString();
    // from_chars wants a digit before the point.
    const std::size_t point = s.find('.');
    if (point == 0 || (point == 1 && s[0] == '-')) {
        s.insert(point, 1, '0');
    }
    f32 back = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), back);
    return res.ec == std::errc() && res.ptr == s.data() + s.size() && back == x;
}

}  // namespace

double RoundHalfEven(double x, int decimals)
{
    if (!std::isfinite(x)) {
        return x;
    }
    const double scale = std::pow(10.0, decimals);
    const DecimalDigits d = SignificantDigits(x, 7);
    // Index of the last digit that survives the rounding.
    const int last = d.exponent + decimals;
    if (last >= 6) {
        // The 7-digit text ends at or before the rounding place, so it cannot show a tie: round the binary value.
        const double r = std::nearbyint(x * scale) / scale;
        return r == 0 ? 0.0 : r;
    }
    double kept = 0;
    for (int i = 0; i <= last; ++i) {
        kept = kept * 10 + (d.digits[static_cast<std::size_t>(i)] - '0');
    }
    bool up = false;
    if (last >= -1) {
        const char first = d.digits[static_cast<std::size_t>(last + 1)];
        bool restZero = true;
        for (std::size_t i = static_cast<std::size_t>(last + 2); i < d.digits.size(); ++i) {
            restZero = restZero && d.digits[i] == '0';
        }
        up = first > '5' || (first == '5' && (!restZero || std::fmod(kept, 2.0) != 0));
    }
    if (up) {
        kept += 1;
    }
    if (kept == 0) {
        return 0.0;
    }
    const double magnitude = decimals >= 0 ? kept / scale : kept * std::pow(10.0, -decimals);
    return d.negative ? -magnitude : magnitude;
}

f32 RoundSingle(f32 x, int decimals)
{
    return static_cast<f32>(RoundHalfEven(x, decimals));
}

i16 SingleToI16(f32 x)
{
    if (std::isnan(x)) {
        return 0;
    }
    const double r = RoundHalfEven(x, 0);
    if (r <= std::numeric_limits<i16>::min()) {
        return std::numeric_limits<i16>::min();
    }
    if (r >= std::numeric_limits<i16>::max()) {
        return std::numeric_limits<i16>::max();
    }
    return static_cast<i16>(r);
}

QString PlainNumber(f32 x)
{
    // A file field cannot hold infinities or NaN; they never come from input, and "0" keeps the file readable.
    if (!std::isfinite(x)) {
        return QStringLiteral("0");
    }
    return PlainDecimal(SignificantDigits(x, 7));
}

QString NumberText(f32 x)
{
    const QString plain = PlainNumber(x);
    return plain.startsWith(u'-') ? plain : u' ' + plain;
}

QString FieldNumber(f32 x)
{
    if (!std::isfinite(x)) {
        return QStringLiteral("0");
    }
    // Nine significant digits hold every single, so the loop always returns.
    for (int digits = 7; digits < 9; ++digits) {
        const QString text = PlainDecimal(SignificantDigits(x, digits));
        if (ReadsBackAs(text, x)) {
            return text;
        }
    }
    return PlainDecimal(SignificantDigits(x, 9));
}

QString FormatNumber(double x, const QString& pattern)
{
    const auto isPlace = [](QChar c) { return c == u'#' || c == u'0'; };
    const qsizetype n = pattern.size();
    qsizetype start = 0;
    while (start < n && !isPlace(pattern[start]) &&
           !(pattern[start] == u'.' && start + 1 < n && isPlace(pattern[start + 1]))) {
        ++start;
    }
    int minIntDigits = 0;
    int decimals = 0;
    bool inFraction = false;
    bool zeroSeen = false;
    qsizetype end = start;
    for (; end < n; ++end) {
        const QChar c = pattern[end];
        if (isPlace(c)) {
            if (inFraction) {
                ++decimals;
            } else {
                zeroSeen = zeroSeen || c == u'0';
                if (zeroSeen) {
                    ++minIntDigits;
                }
            }
        } else if (c == u'.' && !inFraction && end + 1 < n && isPlace(pattern[end + 1])) {
            inFraction = true;
        } else {
            break;
        }
    }
    const QString prefix = pattern.left(start);
    const QString suffix = pattern.mid(end);

    const double r = RoundHalfEven(x, decimals);
    if (!std::isfinite(r)) {
        return prefix + QString::number(r) + suffix;
    }
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(r), std::chars_format::fixed, decimals);
    const std::string text(buf, res.ptr);
    const std::size_t point = text.find('.');
    std::string intPart = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    const std::size_t firstNonZero = intPart.find_first_not_of('0');
    intPart = firstNonZero == std::string::npos ? std::string() : intPart.substr(firstNonZero);
    if (static_cast<int>(intPart.size()) < minIntDigits) {
        intPart.insert(0, static_cast<std::size_t>(minIntDigits) - intPart.size(), '0');
    }
    QString out;
    // The minus goes with the value, not with its rounding: a small negative correction reads "- 0.0", so the
    // installer sees on which side of the goal it lies. Negative zero is no negative value.
    if (x < 0) {
        out += u'-';
    }
    out += prefix;
    out += QString::fromLatin1(intPart.c_str());
    if (decimals > 0) {
        out += u'.';
        out += QString::fromLatin1(fraction.c_str());
    }
    out += suffix;
    return out;
}

QString FormatSignedTenth(double x)
{
    return FormatNumber(x, x > 0 ? QStringLiteral("+#0.0") : QStringLiteral(" #0.0"));
}

}  // namespace kov
