#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "core/TextValue.h"

using namespace kov;

namespace {

TEST(BasicValTest, ReadsTheLeadingNumber)
{
    // (text, value)
    const std::pair<const char*, double> cases[] = {
        {"45", 45}, {"45abc", 45}, {"abc", 0}, {"", 0},     {" 4 5 ", 45}, {"45.2.1", 45.2}, {".5", 0.5},
        {"5.", 5},  {"-3", -3},    {"+7", 7},  {"- 3", -3}, {"1e2", 100},  {"1D1", 10},      {"2.5E-1", 0.25},
        {"5e", 5},  {".", 0},      {"-", 0},   {"&H10", 0}, {"4\t5", 45}};
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(BasicVal(QString::fromLatin1(text)), value) << text;
    EXPECT_TRUE(std::isinf(BasicVal(QStringLiteral("1e999"))));
    EXPECT_EQ(BasicVal(QStringLiteral("1e-999")), 0.0);
}

}  // namespace
