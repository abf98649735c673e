#include <gtest/gtest.h>

#include <cmath>

#include "core/TextValue.h"

using namespace kov;

namespace {

TEST(BasicValTest, ReadsTheLeadingNumber)
{
    struct Case {
        const char* text;
        double value;
    };
    for (const Case c : {Case{"45", 45}, Case{"45abc", 45}, Case{"abc", 0}, Case{"", 0}, Case{" 4 5 ", 45},
                         Case{"45.2.1", 45.2}, Case{".5", 0.5}, Case{"5.", 5}, Case{"-3", -3}, Case{"+7", 7},
                         Case{"- 3", -3}, Case{"1e2", 100}, Case{"1D1", 10}, Case{"2.5E-1", 0.25}, Case{"5e", 5},
                         Case{".", 0}, Case{"-", 0}, Case{"&H10", 0}, Case{"4\t5", 45}})
        EXPECT_DOUBLE_EQ(BasicVal(QString::fromLatin1(c.text)), c.value) << c.text;
    EXPECT_TRUE(std::isinf(BasicVal(QStringLiteral("1e999"))));
    EXPECT_EQ(BasicVal(QStringLiteral("1e-999")), 0.0);
}

}  // namespace
