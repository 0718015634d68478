#include "text/varianttable.h"

#include "support/tempdir.h"

#include <gtest/gtest.h>

namespace {

using Groups = std::vector<CVariantTable::Group>;

TEST(VariantTableTest, ParsesLinesAndFields) {
    struct Case {
        const char* pszName;
        std::string text;
        Groups groups;
    } cases[] = {
        {"two lines", "56FD,570B,56EF\n4E2D\n", {{0x56FD, 0x570B, 0x56EF}, {0x4E2D}}},
        {"empty fields", ",,4E00,,4E8C,\n", {{0x4E00, 0x4E8C}}},
        {"empty lines", "\n\n4E00\n\n\n4E8C", {{0x4E00}, {0x4E8C}}},
        {"carriage return after digits", "4E00,4E8C\r\n", {{0x4E00, 0x4E8C}}},
        {"carriage return alone", "\r\n4E00\n", {{0}, {0x4E00}}},
        {"byte-order mark", "\xEF\xBB\xBF" "4E00\n", {{0}}},
        {"prefix, blanks, sign", " 0x4E00,+4e8c,zz\n", {{0x4E00, 0x4E8C, 0}}},
        {"commas only keep numbering", ",,\n4E00\n", {{}, {0x4E00}}},
        {"overflow saturates", "123456789AB\n", {{0xFFFFFFFFu}}},
    };
    for (const Case& c : cases) {
        CVariantTable table;
        table.Parse(c.text);
        EXPECT_EQ(table.Groups(), c.groups) << c.pszName;
    }
}

TEST(VariantTableTest, MapsToTheFirstGroupThatHoldsTheCharacter) {
    CVariantTable table;
    table.Parse("56FD,570B,56EF\n4E2D\n570B,5700\n");
    int32_t nSlot = 7;
    EXPECT_TRUE(table.MapVariantSlot(0x570B, nSlot));
    EXPECT_EQ(nSlot, 88065);
    EXPECT_TRUE(table.MapVariantSlot(0x4E2D, nSlot));
    EXPECT_EQ(nSlot, 88066);
    EXPECT_TRUE(table.MapVariantSlot(0x5700, nSlot));
    EXPECT_EQ(nSlot, 88067);
    nSlot = 7;
    EXPECT_FALSE(table.MapVariantSlot(0x4E00, nSlot));
    EXPECT_EQ(nSlot, 7);
}

TEST(VariantTableTest, GroupsBeyondTheSlotRangeHaveNoSlot) {
    std::string text;
    for (size_t g = 0; g <= CVariantTable::MaxSearchableGroups; ++g) text += std::to_string(10000 + g) + "\n";
    CVariantTable table;
    table.Parse(text);
    int32_t nSlot = -1;
    EXPECT_TRUE(table.MapVariantSlot(0x10000 + 0, nSlot));
    // The last searchable group gets slot 99,999; the one after it none.
    char last[16];
    std::snprintf(last, sizeof last, "%zu", 10000 + CVariantTable::MaxSearchableGroups - 1);
    EXPECT_TRUE(table.MapVariantSlot(static_cast<uint32_t>(std::stoul(last, nullptr, 16)), nSlot));
    EXPECT_EQ(nSlot, 99999);
    nSlot = -1;
    std::snprintf(last, sizeof last, "%zu", 10000 + CVariantTable::MaxSearchableGroups);
    EXPECT_FALSE(table.MapVariantSlot(static_cast<uint32_t>(std::stoul(last, nullptr, 16)), nSlot));
    EXPECT_EQ(nSlot, -1);
}

TEST(VariantTableTest, LoadsFromTheFolderAndFormatsBack) {
    CTempDir dir;
    CVariantTable table;
    EXPECT_FALSE(table.LoadFile(dir.File("yitizi.txt")));  // no file: empty table, no error
    EXPECT_TRUE(table.Empty());
    Groups groups = {{0x56FD, 0x570B}, {0x27944, 0x4E2D}};
    dir.Write("yitizi.txt", CVariantTable::Format(groups));
    EXPECT_EQ(dir.Read("yitizi.txt"), "56FD,570B\n27944,4E2D\n");
    EXPECT_TRUE(table.LoadFile(dir.File("yitizi.txt")));
    EXPECT_EQ(table.Groups(), groups);
}

}  // namespace
