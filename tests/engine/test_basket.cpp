// The basket of goods: the header through the caller's callback, item
// requests and item updates with their decline descriptions.
#include <cstdint>

#include "EngineFixture.h"
#include "ri/File.h"

namespace {

// The caller's basket callback: counts its calls, fills the basket into the
// tags it was given, and answers the preset result.
struct Callback {
    static inline Tags* fill = nullptr;
    static inline int result = 0;
    static inline int calls = 0;
    static int Call() {
        ++calls;
        if (fill) {
            fill->Add("BASKET/ITEMS", "1");
            fill->Add("BASKET/CURRENCY", "643");
            fill->Add("BASKET/TOTAL", "20000");
            fill->Add("BASKET/SALE", "1");
        }
        return result;
    }
    static std::string Address() { return std::to_string(reinterpret_cast<std::uintptr_t>(&Call)); }
};

class BasketTest : public EngineFixture {
protected:
    void SetUp() override {
        Ini("USEAPPLOG=1\nLOG_FOLDER_NAME=Logs\n");
        Callback::fill = nullptr;
        Callback::result = 0;
        Callback::calls = 0;
    }
    std::string AppLog() {
        const auto logs = ri::File::GetFilesList(Path("Logs/"));
        return logs.empty() ? "" : Read("Logs/" + logs.front());
    }
    bool Logged(const std::string& text) { return AppLog().find(text) != std::string::npos; }
    std::string Reply(const std::string& command) {
        Engine().ProcessCommand(command);
        return Sent().back();
    }
    void Item(int version) {
        tags.Add("BASKET/ITEMS", "1");
        const std::pair<const char*, const char*> fields[] = {{"VERSION", version == 1 ? "1" : "2"},
                                                              {"PRODUCT_NAME", "A"},
                                                              {"COMMODITY_CODE", "C"},
                                                              {"DISPENSER_NUMBER", "2"},
                                                              {"MEASURE", "L"},
                                                              {"EXPONENTA", "3"},
                                                              {"QUANTITY", "4"},
                                                              {"PRICE", "5000"},
                                                              {"AMOUNT", "20000"}};
        for (const auto& [name, value] : fields)
            tags.Add(std::string("BASKET/ITEM_0/") + name, value);
    }
};

const char kNoMoney[] =
    "\xcd\xe5\xe4\xee\xf1\xf2\xe0\xf2\xee\xf7\xed\xee \xf1\xf0\xe5\xe4\xf1\xf2\xe2 \xed\xe0 "
    "\xf1\xf7\xe5\xf2\xe5";

TEST_F(BasketTest, HeaderCallsTheCallerAndIsRefusedWithTheReason) {
    EXPECT_EQ(Reply("BHEADERGET:1"), "ER");
    EXPECT_TRUE(Logged("ERROR: Request Basket Header: No callback function initialized"));
    tags.Add("GetBasketOfGoods", "0");
    EXPECT_EQ(Reply("BHEADERGET:1"), "ER");
    EXPECT_TRUE(Logged("ERROR: Request Basket Header: No basket of goods"));
    tags.Add("GetBasketOfGoods", Callback::Address());
    Callback::result = 7;
    EXPECT_EQ(Reply("BHEADERGET:1"), "ER");
    EXPECT_TRUE(Logged("GetBasketOfGoods fail: [7]"));
    Callback::result = 0;
    EXPECT_EQ(Reply("BHEADERGET:1"), "ER");
    EXPECT_TRUE(Logged("ERROR: Request Basket Header: no BASKET/ITEMS"));
    Callback::fill = &tags;
    EXPECT_EQ(Reply("BHEADERGET:1"), "ER");
    EXPECT_TRUE(Logged("ERROR: Request Basket Header: Version number unsupported: [1]"));
    EXPECT_EQ(Reply("BHEADERGET:3"), "ER");
    EXPECT_TRUE(Logged("Version number unsupported: [3]"));
    EXPECT_EQ(Callback::calls, 4);
    EXPECT_EQ(tags.Get("BASKET/TOTAL"), "20000");
}

TEST_F(BasketTest, ItemRequestSendsTheItemWithATrailingColon) {
    Item(1);
    EXPECT_EQ(Reply("BITEMGET:1:0"), "OK:1:A:C:2:L:3:4:5000:20000:");
    EXPECT_TRUE(Logged("Basket of goods item request command"));
    tags.Add("BASKET/ITEM_0/PRICE", "9000000000");
    tags.Add("BASKET/ITEM_0/QUANTITY", "4294967297");
    EXPECT_EQ(Reply("BITEMGET:2:0:extra"), "OK:1:A:C:2:L:3:1:9000000000:20000:");
}

// A reply longer than one frame carries cannot be sent: the request is
// answered ER rather than left without a reply.
TEST_F(BasketTest, ItemTooLongForAFrameIsAnsweredError) {
    Item(1);
    tags.Add("BASKET/ITEM_0/PRODUCT_NAME", std::string(0xFFFF, 'P'));
    EXPECT_EQ(Reply("BITEMGET:1:0"), "ER");
    EXPECT_EQ(Sent().size(), 1u);
    EXPECT_TRUE(
        Logged("ERROR: Request Basket Item: Item reply of 65562 bytes does not fit a frame"));
}

TEST_F(BasketTest, ItemRequestChecksVersionIndexAndFields) {
    EXPECT_EQ(Reply("BITEMGET:1:0"), "ER");
    EXPECT_TRUE(Logged("ERROR: Request Basket Item: Bad item number: [0] [0]"));
    Item(1);
    EXPECT_EQ(Reply("BITEMGET:1:1"), "ER");
    EXPECT_TRUE(Logged("Bad item number: [1] [1]"));
    EXPECT_EQ(Reply("BITEMGET:1"), "ER");
    EXPECT_TRUE(Logged("Invalid command: [1]"));
    EXPECT_EQ(Reply("BITEMGET:3:0"), "ER");
    EXPECT_TRUE(Logged("Basket of goods item version error: [3]"));
    EXPECT_EQ(Reply("BITEMGET:1:-1"), "ER");
    EXPECT_TRUE(Logged("Item number is not a number: [-1]"));
    tags.Delete("BASKET/ITEM_0/AMOUNT");
    EXPECT_EQ(Reply("BITEMGET:1:0"), "ER");
    EXPECT_TRUE(Logged("no BASKET/ITEM_0/AMOUNT"));
}

TEST_F(BasketTest, UpdateStoresFieldsAndDescribesTheDecline) {
    Item(2);
    EXPECT_EQ(Reply("BITEMSET:1V0\\C9\\51\\100"), "OK");
    EXPECT_EQ(tags.Get("BASKET/ITEM_0/COMMODITY_CODE"), "C9");
    EXPECT_EQ(tags.Get("BASKET/ITEM_0/DECLINED_STATUS"), "51");
    EXPECT_EQ(tags.Get("BASKET/ITEM_0/LIMITER_AMOUNT_LEFT"), "100");
    EXPECT_EQ(tags.Get("BASKET/ITEM_0/RC_DESCRIPTION"), kNoMoney);
    // Only the first field: the description follows the status already stored.
    tags.Add("BASKET/ITEM_0/RC_DESCRIPTION", "stale");
    EXPECT_EQ(Reply("BITEMSET:1V0"), "OK");
    EXPECT_EQ(tags.Get("BASKET/ITEM_0/RC_DESCRIPTION"), kNoMoney);
    EXPECT_EQ(Reply("BITEMSET:1V0\\C9\\99"), "OK");
    EXPECT_EQ(tags.Get("BASKET/ITEM_0/RC_DESCRIPTION"), "");
    EXPECT_EQ(tags.Get("BASKET/ITEM_0/LIMITER_AMOUNT_LEFT"), "100");
}

TEST_F(BasketTest, UpdateRefusesBadCommandsAndChangesNothing) {
    EXPECT_EQ(Reply("BITEMSET:"), "ER");
    EXPECT_TRUE(Logged("ERROR: Update Basket Item: Basket item parsing error: []"));
    EXPECT_EQ(Reply("BITEMSET:1V0\\C\\51"), "ER");
    EXPECT_TRUE(Logged("no BASKET/ITEMS"));
    Item(1);
    EXPECT_EQ(Reply("BITEMSET:10\\C"), "ER");
    // Versions and item numbers are read whole: none misreads as item 0 or 1.
    for (const char* request : {"BITEMSET:1Vx\\C", "BITEMSET:1V 0\\C", "BITEMSET:1V1\\C",
                                "BITEMGET:1:0x", "BITEMGET:1:-1", "BITEMGET:x1:0"})
        EXPECT_EQ(Reply(request), "ER") << request;
    EXPECT_TRUE(Logged("Command parsing error: [10\\C]"));
    EXPECT_EQ(Reply("BITEMSET:2V0\\C"), "ER");
    EXPECT_TRUE(Logged("Bad command version: [2]"));
    EXPECT_EQ(Reply("BITEMSET:1V2\\C"), "ER");
    EXPECT_TRUE(Logged("Bad item number: [2]"));
    EXPECT_EQ(Reply("BITEMSET:1V1\\C"), "ER");  // items are numbered from 0
    EXPECT_TRUE(Logged("Bad item number: [1]"));
    EXPECT_EQ(Reply("BITEMSET:1V0\\X\\51"), "ER");
    EXPECT_TRUE(Logged("Update basket item version error: [1]"));
    EXPECT_EQ(tags.Get("BASKET/ITEM_0/COMMODITY_CODE"), "C");
    EXPECT_FALSE(tags.IsExistParams("BASKET/ITEM_0/DECLINED_STATUS"));
}

}  // namespace
