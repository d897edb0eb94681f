// An engine made over a settings directory: its settings are found from that
// directory as they are found from the working directory without one (the
// directory itself, its ini/, the ini/ beside it), and a whole run keeps its
// files beside the settings found there, none in the working directory.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <memory>
#include <string>

#include "FakeTransport.h"
#include "config/Tags.h"
#include "engine/PPAD.h"
#include "ri/File.h"
#include "support/TempDir.h"

namespace {

struct Layout {
    const char* name;
    const char* folder;  // where cashreg.ini is, from the settings directory
};

// Every file of the run, as it is named in the settings folder.
const char* const kRunFiles[] = {"lastop.stb", "lastop.stb.lock", "rc.out", "cheq.out",
                                 "ledger.db"};

// A pinpad that pays and prints a slip, its frames queued up front.
ITransport* PayingPinpad() {
    auto* link = new FakeTransport;
    for (const char* frame : {"BEGINTR:", "STORERC:0", "PRINT:SLIP LINE", "ENDTR"})
        link->IncomingFrame(frame);
    return link;
}

TEST(SettingsDirectory, RunFindsItsSettingsThereAndKeepsItsFilesThere) {
    const Layout layouts[] = {
        {"in the directory", ""},
        {"in its ini folder", "ini/"},
        {"in the ini folder beside it", "../ini/"},
    };
    const std::string cwd = ri::File::GetDir();
    for (const Layout& layout : layouts) {
        SCOPED_TRACE(layout.name);
        TempDir root;
        const std::string dir = root / "work";
        const std::string folder = dir + "/" + layout.folder;
        ASSERT_NE(dir, cwd);
        mkdir(dir.c_str(), 0700);
        mkdir(folder.c_str(), 0700);
        ri::File::WriteFile(folder + "cashreg.ini",
                            "USEAPPLOG=1\nUSEJL=1\nTIMEOUT=100\nPPAD_IDLE_TO=2000\n"
                            "OPERATION_INI_FILE=ops.ini\nRESULT_FILE=rc.out\nCHEQ_FILE=cheq.out\n");
        ri::File::WriteFile(folder + "ops.ini", "1=1,4,PURCHASE\n");
        ri::File::WriteFile(folder + "rc_res.ini", "0=APPROVED\n");
        // The journal is a fixed name of the directory itself.
        ri::File::WriteFile(dir + "/jl.txt", "7\n");
        Tags tags;
        tags.Add("amount", "1500");
        {
            PPAD engine(&tags, {}, dir);
            EXPECT_EQ(engine.Session().config().registry.GetIniPath(), folder);
            // A name with a folder is taken from the directory, not the settings folder.
            EXPECT_EQ(engine.GetPathFile("sub/name", ""), dir + "/sub/name");
            auto held = std::make_shared<std::unique_ptr<ITransport>>(PayingPinpad());
            engine.Session().UseTransports([held]() { return held->release(); });
            EXPECT_EQ(engine.Run(1, nullptr), 0);
        }
        EXPECT_EQ(tags.Get("terminal_idx"), "\x07");
        EXPECT_EQ(ri::File::ReadFile(folder + "lastop.stb"), std::string(1, '\0'));
        EXPECT_EQ(ri::File::ReadFile(folder + "rc.out"), "000\n");
        EXPECT_EQ(ri::File::ReadFile(folder + "cheq.out"), "SLIP LINE\n");
        EXPECT_EQ(ri::File::GetFilesList(folder + "Logs/").size(), 1u);
        for (const char* name : kRunFiles) {
            EXPECT_TRUE(ri::File::Exists(folder + name)) << name;
            EXPECT_FALSE(ri::File::Exists(cwd + "/" + name)) << name;
        }
        EXPECT_FALSE(ri::File::IsFolderExist(cwd + "/Logs"));
    }
}

}  // namespace
