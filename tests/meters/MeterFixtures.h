#pragma once

#include <QFile>
#include <QString>

#include "meters/Workbook.h"

namespace kov::test {

// A file made by tests/fixtures/meters/make_exports.py or make_workbooks.py.
inline QString MeterFixture(const char* name)
{
    return QStringLiteral(KOV_METER_FIXTURES_DIR "/") + QLatin1String(name);
}

// Its bytes; none when it is missing.
inline QByteArray MeterFixtureBytes(const char* name)
{
    QFile file(MeterFixture(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Cells as a reader hands them over.
inline const auto Num = [](double value) { return WorkbookCell{WorkbookCell::Number, value, {}}; };
inline const auto Txt = [](const char* text) { return WorkbookCell{WorkbookCell::Text, 0, QString::fromUtf8(text)}; };
inline const auto Bool = [](bool value) { return WorkbookCell{WorkbookCell::Boolean, value ? 1.0 : 0.0, {}}; };
inline const auto Error = [](const char* text) {
    return WorkbookCell{WorkbookCell::ErrorValue, 0, QString::fromUtf8(text)};
};
inline const WorkbookCell NoResult{WorkbookCell::FormulaWithoutValue, 0, {}};

}  // namespace kov::test
