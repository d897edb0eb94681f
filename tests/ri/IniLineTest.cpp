#include <gtest/gtest.h>

#include "ri/IniLine.h"

namespace {

struct Case {
    const char* raw;
    ri::IniLine::Kind flat;       // read without sections
    ri::IniLine::Kind sectioned;  // read with sections
    const char* key;
    const char* value;
};

}  // namespace

// Every reader of settings files (the flat tables, the sectioned INI files,
// velrun --check) sees each line the same way.
TEST(IniLine, LinesOfEveryShape) {
    using K = ri::IniLine::Kind;
    const Case cases[] = {
        {"", K::kComment, K::kComment, "", ""},
        {" \t\r\n", K::kComment, K::kComment, "", ""},
        {"  # note=1", K::kComment, K::kComment, "", ""},
        {"\t; note", K::kComment, K::kComment, "", ""},
        {" Key = Value \r", K::kEntry, K::kEntry, "Key ", " Value"},
        {"a=b=c", K::kEntry, K::kEntry, "a", "b=c"},
        {"=x", K::kEntry, K::kEntry, "", "x"},
        {"k=", K::kEntry, K::kEntry, "k", ""},
        {"  NODIALOGS\r", K::kBare, K::kBare, "NODIALOGS", ""},
        {"two words", K::kBare, K::kBare, "two words", ""},
        {"x#=1", K::kEntry, K::kEntry, "x#", "1"},
    };
    for (const Case& c : cases) {
        const ri::IniLine flat = ri::IniLine::Read(c.raw, false);
        const ri::IniLine sectioned = ri::IniLine::Read(c.raw, true);
        EXPECT_EQ(flat.kind, c.flat) << c.raw;
        EXPECT_EQ(sectioned.kind, c.sectioned) << c.raw;
        EXPECT_EQ(flat.key, c.key) << c.raw;
        EXPECT_EQ(flat.value, c.value) << c.raw;
    }
}

TEST(IniLine, SectionHeadersOnlyWhereFilesHaveSections) {
    const ri::IniLine header = ri::IniLine::Read(" [Settings] trailing ", true);
    EXPECT_EQ(header.kind, ri::IniLine::kSection);
    EXPECT_EQ(header.key, "Settings");
    EXPECT_EQ(ri::IniLine::Read("[]", true).kind, ri::IniLine::kSection);
    EXPECT_EQ(ri::IniLine::Read("[]", true).key, "");
    // "[" without "]" names no section and is no entry either.
    EXPECT_EQ(ri::IniLine::Read("[open=1", true).kind, ri::IniLine::kComment);
    // A flat table takes a bracketed line as any other line.
    const ri::IniLine flat = ri::IniLine::Read("[open=1", false);
    EXPECT_EQ(flat.kind, ri::IniLine::kEntry);
    EXPECT_EQ(flat.key, "[open");
    EXPECT_EQ(ri::IniLine::Read("[Settings]", false).kind, ri::IniLine::kBare);
}
