#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ri/File.h"
#include "ri/INI.h"
#include "support/TempDir.h"

namespace {

std::string WriteIni(const TempDir& dir, const std::string& text) {
    const std::string path = dir / "test.ini";
    ri::File::WriteFile(path, text);
    return path;
}

}  // namespace

TEST(Ini, FirstOfDuplicateKeysWins) {
    TempDir dir;
    ri::INI ini(WriteIni(dir, "[Settings]\nPORT=COM2\nPORT=COM3\n"));
    EXPECT_EQ("COM2", ini.GetMainStr("PORT"));
    std::vector<ri::INI::Data> entries;
    ini.GetSection("Settings", &entries);
    EXPECT_EQ(2u, entries.size());
}

TEST(Ini, KeysAndValuesAreNotTrimmed) {
    TempDir dir;
    ri::INI ini(WriteIni(dir, "  [Settings]\r\nTimeout = 30\r\n\tName=x y \r\n"));
    EXPECT_EQ(-1, ini.GetMainInt("Timeout", -1));
    EXPECT_EQ(30, ini.GetMainInt("Timeout ", -1));
    EXPECT_EQ(" 30", ini.GetMainStr("Timeout "));
    EXPECT_EQ("x y", ini.GetMainStr("Name"));  // line ends are trimmed
}

TEST(Ini, CommentsAndLinesWithoutEquals) {
    TempDir dir;
    ri::INI ini(WriteIni(dir, "[Settings]\n;PORT=1\n#PORT=2\nPORT=1 ;note\nbare word\n\n"));
    EXPECT_EQ("1 ;note", ini.GetMainStr("PORT"));
    std::vector<ri::INI::Data> entries;
    ini.GetSection("Settings", &entries);
    ASSERT_EQ(1u, entries.size());
    EXPECT_EQ("PORT", entries[0].key);
}

TEST(Ini, SectionHeaders) {
    TempDir dir;
    ri::INI ini(
        WriteIni(dir, "early=1\n[A]x\na=1\n[B\nb=2\n[]\nc=3\n[C]\nd=4\n[A]\ne=5\n[ S ]\nf=6\n"));
    EXPECT_EQ("", ini.GetStr("A", "early"));
    EXPECT_EQ("1", ini.GetStr("A", "a"));
    EXPECT_EQ("2", ini.GetStr("A", "b"));  // "[B" is ignored, A continues
    EXPECT_EQ("5", ini.GetStr("A", "e"));  // equal sections merge
    EXPECT_EQ("dflt", ini.GetStr("A", "c", "dflt"));
    EXPECT_EQ("4", ini.GetStr("C", "d"));
    EXPECT_EQ("6", ini.GetStr(" S ", "f"));
    EXPECT_EQ("dflt", ini.GetStr("", "a", "dflt"));
    EXPECT_EQ("dflt", ini.GetStr("A", "", "dflt"));
    std::vector<std::string> names;
    ini.GetSections(&names);
    EXPECT_EQ((std::vector<std::string>{" S ", "A", "C"}), names);
}

TEST(Ini, MissingFileGivesDefaults) {
    TempDir dir;
    ri::INI ini(dir / "absent.ini");
    EXPECT_EQ("d", ini.GetMainStr("PORT", "d"));
    EXPECT_EQ(7, ini.GetMainInt("PORT", 7));
    // The file appears later: the next lookup loads it.
    ri::File::WriteFile(dir / "absent.ini", "[Settings]\nPORT=COM1\n");
    EXPECT_EQ("COM1", ini.GetMainStr("PORT", "d"));
}

TEST(Ini, AdditionsStayInMemory) {
    TempDir dir;
    const std::string path = WriteIni(dir, "[Settings]\nA=1\n");
    ri::INI ini(path);
    ini.SetMainStr("A", "2");
    ini.SetMainInt("B", -5);
    ini.SetStr("", "C", "x");
    EXPECT_EQ("1", ini.GetMainStr("A"));
    EXPECT_EQ(-5, ini.GetMainInt("B"));
    EXPECT_EQ("[Settings]\nA=1\n", ri::File::ReadFile(path));
    ini.ReadIniFile();  // reading again appends
    std::vector<ri::INI::Data> entries;
    ini.GetSection("Settings", &entries);
    EXPECT_EQ(4u, entries.size());
}

TEST(Ini, GetSectionOfMissingSectionAddsIt) {
    TempDir dir;
    ri::INI ini(WriteIni(dir, "[A]\na=1\n"));
    EXPECT_EQ("1", ini.GetStr("A", "a"));
    std::vector<ri::INI::Data> entries{{"k", "v"}};
    ini.GetSection("Z", &entries);
    EXPECT_TRUE(entries.empty());
    std::vector<std::string> names;
    ini.GetSections(&names);
    EXPECT_EQ((std::vector<std::string>{"A", "Z"}), names);
    ini.GetSections(nullptr);
    ini.GetSection("", &entries);
}

TEST(IniPath, FindsTheSettingsDirectory) {
    TempDir dir;
    mkdir((dir / "ini").c_str(), 0700);
    mkdir((dir / "work").c_str(), 0700);
    ri::File::WriteFile(dir / "ini/itsettings.ini", "[Settings]\n");
    ri::File::WriteFile(dir / "here.ini", "");
    std::string directory;
    {
        WorkingDir cwd(dir.Path());
        EXPECT_EQ("./ini/itsettings.ini", ri::INI::IniPath("itsettings.ini", &directory));
        EXPECT_EQ("./ini/", directory);
        EXPECT_EQ("here.ini", ri::INI::IniPath("here.ini", &directory));
        EXPECT_EQ("./", directory);
        ri::INI byName("itsettings.ini");
        EXPECT_EQ("./ini/itsettings.ini", byName.GetFileName());
    }
    {
        WorkingDir cwd(dir / "work");
        EXPECT_EQ("../ini/itsettings.ini", ri::INI::IniPath("itsettings.ini", &directory));
        EXPECT_EQ("../ini/", directory);
    }
    const std::string absolute = dir / "here.ini";
    EXPECT_EQ(absolute, ri::INI::IniPath(absolute, nullptr));
}
