#include "meters/ExportText.h"

#include <QStringDecoder>

#include <cmath>

namespace kov {

namespace {

// Windows-1252 where it differs from Latin-1, bytes 0x80..0x9f. The five bytes the code page leaves undefined
// keep the control character of their own number, as Windows itself converts them.
constexpr char16_t Cp1252High[32] = {
    0x20ac, 0x0081, 0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008d, 0x017d, 0x008f, 0x0090, 0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0x009d, 0x017e, 0x0178,
};

QString FromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = byte >= 0x80 && byte <= 0x9f ? QChar(Cp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

// Exact centre of band b.
double BandCentre(int band)
{
    return 1000.0 * std::pow(10.0, (band - 30) / 10.0);
}

// How far from a band number a centre may lie: the nominal frequencies come to 0.041 at most (160 Hz, 1600 Hz).
constexpr double BandTolerance = 0.05;

// The grid labels its bands by these nominal frequencies (the band table of the program).
constexpr int GridNominalHz[GridBands] = {160,  200,  250,  315,  400,  500,  630,  800,  1000,
                                          1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000};

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

}  // namespace

ExportText DecodeExportText(const QByteArray& bytes)
{
    const bool bom = bytes.startsWith("\xef\xbb\xbf");
    const QByteArray body = bom ? bytes.mid(3) : bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(body);
    if (!utf8.hasError())
        return {text, bom ? TextEncoding::Utf8WithBom : TextEncoding::Utf8};
    return {FromWindows1252(body), TextEncoding::Windows1252};
}

QStringList ExportLines(const QString& text)
{
    QStringList lines;
    qsizetype from = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines.append(text.mid(from, i - from));
        if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
            ++i;
        from = i + 1;
    }
    if (from < n)
        lines.append(text.mid(from));
    return lines;
}

std::optional<double> ExportNumber(QStringView text, QChar decimal)
{
    text = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = text.size();
    QString plain;
    if (i < n && (text[i] == u'-' || text[i] == u'+'))
        plain += text[i++];
    int digits = 0;
    while (i < n && IsDigit(text[i])) {
        plain += text[i++];
        ++digits;
    }
    if (i < n && text[i] == decimal) {
        plain += u'.';
        ++i;
        while (i < n && IsDigit(text[i])) {
            plain += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (text[i] == u'e' || text[i] == u'E')) {
        plain += u'e';
        ++i;
        if (i < n && (text[i] == u'-' || text[i] == u'+'))
            plain += text[i++];
        int exponentDigits = 0;
        while (i < n && IsDigit(text[i])) {
            plain += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> ExportNumberEitherDecimal(QStringView text)
{
    return ExportNumber(text, text.contains(u',') ? QChar(u',') : QChar(u'.'));
}

std::optional<double> BandLabelHz(QStringView text)
{
    text = text.trimmed();
    double scale = 1;
    if (text.endsWith(u"hz", Qt::CaseInsensitive))
        text.chop(2);
    text = text.trimmed();
    if (text.endsWith(u'k', Qt::CaseInsensitive)) {
        scale = 1000;
        text.chop(1);
    }
    const std::optional<double> value = ExportNumberEitherDecimal(text);
    if (!value || !(*value > 0))
        return std::nullopt;
    return *value * scale;
}

std::optional<int> ThirdOctaveBand(double hz)
{
    if (!(hz > 0) || !std::isfinite(hz))
        return std::nullopt;
    const double x = 10.0 * std::log10(hz);
    const double band = std::round(x);
    if (std::fabs(x - band) > BandTolerance)
        return std::nullopt;
    return static_cast<int>(band);
}

QString GridBandName(int band)
{
    if (band >= GridFirstBand && band <= GridLastBand)
        return QString::number(GridNominalHz[band - GridFirstBand]) + QStringLiteral(" Hz");
    return ShownNumber(BandCentre(band), 1) + QStringLiteral(" Hz");
}

QString GridBandList(const QList<int>& bands)
{
    QStringList names;
    for (const int band : bands)
        names << GridBandName(band);
    if (names.size() <= 1)
        return names.join(QString());
    const QString last = names.takeLast();
    return names.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
}

double BandLowerEdge(int band)
{
    return BandCentre(band) * std::pow(10.0, -1.0 / 20.0);
}

double BandUpperEdge(int band)
{
    return BandCentre(band) * std::pow(10.0, 1.0 / 20.0);
}

std::optional<f32> GridLevel(double level)
{
    if (!(level > 0 && level < 100))
        return std::nullopt;
    // Checked again as the single the grid holds: 99.999999999 is 100 there.
    const auto single = static_cast<f32>(level);
    if (!(single > 0 && single < 100))
        return std::nullopt;
    return single;
}

QString ShownNumber(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(u'.')) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
    }
    return text == QStringLiteral("-0") ? QStringLiteral("0") : text;
}

Message ExportRefusal(const QString& reason)
{
    return {reason + QStringLiteral(" Nothing was imported."), QStringLiteral("File Error"), MsgIcon::Critical};
}

}  // namespace kov
