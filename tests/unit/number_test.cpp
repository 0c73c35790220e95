#include "script/parser.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ReadNumber, ReadsAsAtoiAndSaturates) {
    struct Case {
        const char* text;
        std::int32_t value;
    } cases[] = {
        {"", 0},
        {"abc", 0},
        {"0", 0},
        {"42", 42},
        {"-42", -42},
        {"+42", 42},
        {" \t\n\v\f\r7", 7},
        {"12abc", 12},
        {"1 2", 1},
        {"- 5", 0},
        {"+-5", 0},
        {"--5", 0},
        {"\x85"
         "5",
         0}, // only the six ASCII white-space bytes are skipped
        {"\xa1\xa1"
         "5",
         0},
        {"00000000000000000000012", 12},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MAX},
        {"4294967297", INT32_MAX},
        {"99999999999999999999999999", INT32_MAX},
        {"-2147483647", -INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"-2147483649", INT32_MIN},
        {"-99999999999999999999999999", INT32_MIN},
        {"-0", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readNumber(c.text), c.value) << '"' << c.text << '"';
    }
}

} // namespace
