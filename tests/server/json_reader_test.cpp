// The JSON reader of kassio-station's files: exact integers, the nesting
// limit, strict syntax, and refusals that say what and where.
#include "server/json_reader.h"

#include <gtest/gtest.h>

#include "base/money.h"

namespace kassio {
namespace {

TEST(JsonReader, ReadsDocumentsExactly) {
    std::string error;
    auto v = readJson(
        R"( {"a": [1, -0.5e2, true, false, null], "big": 9007199254740993,
             "s": "caf\u00e9 \ud83d\ude00 \"q\" \\ \/ \n", "a": {"nested": {}}, "z": 0} )",
        &error);
    ASSERT_TRUE(v) << error;
    EXPECT_EQ(jsonWholeNumber(v->at("big")), 9007199254740993LL);  // 2^53 + 1
    EXPECT_EQ(v->at("s"), "caf\xC3\xA9 \xF0\x9F\x98\x80 \"q\" \\ / \n");
    EXPECT_TRUE(v->at("a").is_object());  // a repeated name: the last one counts
    EXPECT_EQ(v->begin().key(), "a");     // ... in the place of the first
    EXPECT_EQ((++v->begin()).key(), "big");

    struct Case {
        const char* number;
        std::optional<int64_t> whole;
    };
    const Case cases[] = {
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},
        {"-9223372036854775809", std::nullopt},
        {"1.0", std::nullopt},
        {"1e2", std::nullopt},
        {"-0", 0},
        {"\"7\"", std::nullopt},
    };
    for (const Case& c : cases) {
        auto n = readJson(c.number, &error);
        ASSERT_TRUE(n) << c.number << ": " << error;
        EXPECT_EQ(jsonWholeNumber(*n), c.whole) << c.number;
    }
}

TEST(JsonReader, RefusesWhatIsNotJsonSayingWhatAndWhere) {
    const std::string deepest = std::string(kMaxJsonDepth, '[') + std::string(kMaxJsonDepth, ']');
    ASSERT_TRUE(readJson(deepest));
    struct Case {
        std::string text;
        const char* what;  // part of the message
        const char* where;
    };
    const Case cases[] = {
        {"", "unexpected end of input", "at byte 0 (line 1, column 1)"},
        {"[1,]", "unexpected ']'", "at byte 3"},
        {"{\"a\": 1,}", "expected string literal", "at byte 8"},
        {"// note\n1", "invalid literal", "at byte 0"},
        {"01", "expected end of input", "at byte 1"},
        {"[1] x", "expected end of input", "at byte 4"},
        {"{\"a\" 1}", "expected ':'", "at byte 5"},
        {"\"tab\there\"", "control character", "at byte 4"},
        {"\"\\ud800\"", "surrogate", "at byte 7"},
        {"\"\\q\"", "after backslash", "at byte 2"},
        {"\"caf\xFF\"", "ill-formed UTF-8", "at byte 4"},
        {"tru", "invalid literal", "at byte 3"},
        {"NaN", "invalid literal", "at byte 0"},
        {"1.", "expected digit after '.'", "at byte 2"},
        {"{\"a\": 1", "expected '}'", "at byte 7"},
        {"[1,\n 1e999]", "number overflow parsing '1e999'", "at byte 5 (line 2, column 2)"},
        {"[" + deepest + "]", "nested more than 32 deep", "at byte 32 (line 1, column 33)"},
        {R"({"s": "[[[", "a": )" + deepest + "}", "nested more than 32 deep", "at byte 49"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(readJson(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.what), std::string::npos) << c.text << ": " << error;
        EXPECT_NE(error.find(c.where), std::string::npos) << c.text << ": " << error;
        EXPECT_EQ(error.find("json.exception"), std::string::npos) << error;
    }
}

TEST(JsonReader, MoneyIsFiniteAndWithinTheBound) {
    struct Case {
        const char* number;
        std::optional<double> money;
    };
    const Case cases[] = {
        {"2.5", 2.5},
        {"-3", -3},
        {"1e9", kMoneyLimit},
        {"-1000000000", -kMoneyLimit},
        {"1000000000.01", std::nullopt},
        {"-1e300", std::nullopt},
        {"18446744073709551615", std::nullopt},
        {"\"2.50\"", std::nullopt},
        {"null", std::nullopt},
    };
    for (const Case& c : cases) {
        auto n = readJson(c.number);
        ASSERT_TRUE(n) << c.number;
        EXPECT_EQ(jsonMoney(*n), c.money) << c.number;
    }
}

}  // namespace
}  // namespace kassio
