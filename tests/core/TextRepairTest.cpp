#include <gtest/gtest.h>

#include <random>
#include <string>

#include "core/TextRepair_u.h"

using namespace brindle;

TEST(TextRepair, InvalidBytesReadAsWindows1252) {
    struct Case {
        std::string in;
        std::string utf8;
    };
    const Case cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {"caf\xE9", "caf\xC3\xA9"},
        {"\x80\x9F\xFF", "\xE2\x82\xAC\xC5\xB8\xC3\xBF"},
        {"\x81\x8D", "\xC2\x81\xC2\x8D"},  // unassigned: the C1 control
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},  // overlong
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // surrogate
        {"\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},  // above U+10FFFF
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},  // cut short at the end
        {"\xE2\x82x", "\xC3\xA2\xE2\x80\x9Ax"},  // cut short in the middle
        {std::string("a\0b\x01", 4), std::string("a\0b\x01", 4)},  // controls are UTF-8
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RepairUtf8(c.in), c.utf8) << c.in;
        EXPECT_EQ(IsValidUtf8(c.in), c.in == c.utf8) << c.in;
    }
}

TEST(TextRepair, XmlTextHasNoForbiddenCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    EXPECT_EQ(RepairXmlText("a\tb\nc\rd\x7F"), "a\tb\nc\rd\x7F");
    EXPECT_EQ(RepairXmlText(std::string("\0\x01\x0B\x1F", 4)), fffd + fffd + fffd + fffd);
    EXPECT_EQ(RepairXmlText("\xEF\xBF\xBE|\xEF\xBF\xBF"), fffd + "|" + fffd);
    EXPECT_EQ(RepairXmlText("\xE9\x01"), "\xC3\xA9" + fffd);
    std::string out = "kept:";
    AppendRepairedXmlText(out, "\x02");
    EXPECT_EQ(out, "kept:" + fffd);
}

TEST(TextRepair, OutputTextHasNoControlCharacters) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct {
        std::string in, out;
    } cases[] = {
        {"a\tb\nc\rd", "a\tb\nc\rd"},
        {std::string("\0\x01\x0B\x1B\x1F", 5), fffd + fffd + fffd + fffd + fffd},
        {"del\x7F", "del" + fffd},
        {"\xEF\xBF\xBE|\xEF\xBF\xBF", fffd + "|" + fffd},
        {"\xE9\x1B[31m", "\xC3\xA9" + fffd + "[31m"},
        {"\xC2\x85", "\xC2\x85"},  // C1 controls print as nothing and break no format
        {"~ \x20", "~  "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RepairOutputText(c.in), c.out) << c.in;
        EXPECT_EQ(IsCleanOutputText(c.in), c.in == c.out) << c.in;
    }
    // Stored settings keep a DEL.
    EXPECT_EQ(RepairXmlText("del\x7F"), "del\x7F");
}

TEST(TextRepair, RandomInput) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::string bytes(random() % 16, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 256);
        const std::string repaired = RepairUtf8(bytes);
        ASSERT_TRUE(IsValidUtf8(repaired));
        ASSERT_EQ(RepairUtf8(repaired), repaired);
        const std::string xml = RepairXmlText(bytes);
        ASSERT_EQ(RepairXmlText(xml), xml);
        const std::string output = RepairOutputText(bytes);
        ASSERT_EQ(RepairOutputText(output), output);
        ASSERT_TRUE(IsCleanOutputText(output));
        ASSERT_EQ(IsCleanOutputText(bytes), output == bytes);
        ASSERT_EQ(RepairOutputText(xml), output);

        std::string valid;
        for (int i = random() % 8; i > 0; --i) {
            char32_t cp = random() % 0x110000;
            if (cp >= 0xD800 && cp < 0xE000) cp = 0x41;
            AppendUtf8(valid, cp);
        }
        ASSERT_TRUE(IsValidUtf8(valid));
        ASSERT_EQ(RepairUtf8(valid), valid);
    }
}
