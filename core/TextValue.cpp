#include "core/TextValue.h"

#include <charconv>
#include <limits>
#include <string>

namespace kov {

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

double BasicVal(const QString& text)
{
    std::string s;
    s.reserve(static_cast<std::size_t>(text.size()));
    for (const QChar c : text) {
        if (c == u' ' || c == u'\t' || c == u'\r' || c == u'\n')
            continue;
        // Anything outside ASCII ends the number: it cannot be a digit, sign, point or exponent letter.
        s.push_back(c.unicode() < 128 ? static_cast<char>(c.unicode()) : '\x01');
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    std::string intDigits;
    std::string fracDigits;
    while (i < s.size() && IsDigit(s[i]))
        intDigits.push_back(s[i++]);
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i]))
            fracDigits.push_back(s[i++]);
    }
    if (intDigits.empty() && fracDigits.empty())
        return 0.0;

    std::string expDigits;
    bool expNegative = false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        std::size_t j = i + 1;
        bool expSignNegative = false;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            expSignNegative = s[j] == '-';
            ++j;
        }
        while (j < s.size() && IsDigit(s[j]))
            expDigits.push_back(s[j++]);
        expNegative = expSignNegative;
    }

    // from_chars reads a normalised text whatever the C locale's decimal point is.
    std::string normal =
        (intDigits.empty() ? std::string("0") : intDigits) + '.' + (fracDigits.empty() ? std::string("0") : fracDigits);
    if (!expDigits.empty())
        normal += std::string("e") + (expNegative ? "-" : "") + expDigits;
    double value = 0;
    const auto res = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (res.ec == std::errc::result_out_of_range) {
        const bool tiny = expNegative && !expDigits.empty();
        value = tiny ? 0.0 : std::numeric_limits<double>::infinity();
    }
    return negative ? -value : value;
}

}  // namespace kov
