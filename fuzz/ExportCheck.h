#pragma once

#include <cmath>
#include <variant>

#include "fuzz/FuzzSupport.h"
#include "meters/MeterExports.h"

namespace kov::fuzz {

// What every reader of today's exports promises: a refusal is one message that says why and that nothing was
// imported; tests are as many as expected, every band level of them one the grid takes, nothing written past them.
inline void CheckExportImport(const MeterImport& read, int expectedTests, const QByteArray& bytes)
{
    if (const Message* refused = std::get_if<Message>(&read)) {
        Check(refused->text.endsWith(QStringLiteral(" Nothing was imported.")) && refused->text.size() > 22 &&
                  refused->title == QStringLiteral("File Error"),
              "a refusal that does not say why, or not that nothing was imported", bytes, refused->text.toUtf8());
        return;
    }
    const MeterTests& tests = std::get<MeterTests>(read);
    Check(tests.count == expectedTests, "not as many tests as asked for", bytes, QByteArray::number(tests.count));
    Check(!tests.notice, "a text export with a notice about cells", bytes);
    for (int test = 1; test <= 20; ++test) {
        for (int band = 1; band <= 20; ++band) {
            const f32 level = tests.levels(test, band);
            if (test <= tests.count && band <= 18)
                Check(level > 0 && level < 100, "a level the grid does not take", bytes, QByteArray::number(level));
            else
                Check(level == 0, "a level written outside the tests", bytes);
        }
    }
}

}  // namespace kov::fuzz
