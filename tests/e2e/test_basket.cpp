// A caller of the exported interface registers its basket callback; the
// pinpad's header request calls it, the callback fills the basket into the
// session, and the pinpad reads the items and declines one of them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "Installation.h"
#include "api/velpad.h"
#include "support/TempDir.h"

namespace {

DARir* session = nullptr;
int callbackCalls = 0;

void Set(const std::string& key, const std::string& value) {
    DARirSet(session, key.c_str(), value.c_str(), -1);
}

std::string Get(const std::string& key) {
    char buffer[256] = {};
    const int length = DARirGet(session, key.c_str(), buffer, sizeof(buffer));
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

// The register's basket: a fuel item whose limits the pinpad checks, and a
// car wash.
extern "C" int FillBasket() {
    ++callbackCalls;
    Set("BASKET/ITEMS", "2");
    Set("BASKET/CURRENCY", "643");
    Set("BASKET/TOTAL", "150000");
    Set("BASKET/SALE", "1");
    const char* const fields[] = {"VERSION",          "PRODUCT_NAME", "COMMODITY_CODE",
                                  "DISPENSER_NUMBER", "MEASURE",      "EXPONENTA",
                                  "QUANTITY",         "PRICE",        "AMOUNT"};
    const char* const items[2][9] = {
        {"2", "FUEL 95", "C95", "3", "L", "3", "10000", "5000", "50000"},
        {"1", "WASH", "C01", "0", "PCS", "0", "1", "100000", "100000"}};
    for (int item = 0; item < 2; ++item)
        for (int field = 0; field < 9; ++field)
            Set("BASKET/ITEM_" + std::to_string(item) + "/" + fields[field], items[item][field]);
    return 0;
}

// "Недостаточно средств на счете" (CP1251).
const char kNoMoney[] =
    "\xcd\xe5\xe4\xee\xf1\xf2\xe0\xf2\xee\xf7\xed\xee \xf1\xf0\xe5\xe4\xf1\xf2\xe2 \xed\xe0 "
    "\xf1\xf7\xe5\xf2\xe5";

TEST(BasketE2E, BasketIsReadItemByItemThroughTheCallersCallback) {
    Installation install;
    std::string error;
    ASSERT_TRUE(install.StartPinpad("basket.vps", {}, false, &error)) << error;
    WorkingDir cwd(install.Path());
    session = CreateDARir();
    ASSERT_NE(session, nullptr);
    callbackCalls = 0;
    Set("amount", "1500");
    Set("currency", "643");
    Set("GetBasketOfGoods", std::to_string(reinterpret_cast<std::uintptr_t>(&FillBasket)));
    DARirRun(session, 1);
    EXPECT_EQ(callbackCalls, 1);
    EXPECT_EQ(Get("BASKET/ITEM_0/COMMODITY_CODE"), "C95");
    EXPECT_EQ(Get("BASKET/ITEM_0/DECLINED_STATUS"), "51");
    EXPECT_EQ(Get("BASKET/ITEM_0/LIMITER_AMOUNT_LEFT"), "0");
    EXPECT_EQ(Get("BASKET/ITEM_0/RC_DESCRIPTION"), kNoMoney);
    EXPECT_EQ(Get("BASKET/ITEM_1/RC_DESCRIPTION"), "");
    DeleteDARir(session);
    session = nullptr;

    const velrun_test::ChildResult played = install.FinishPinpad();
    EXPECT_TRUE(played.exited && played.exitStatus == 0) << played.err << "\n"
                                                         << install.Transcript();
    EXPECT_NE(install.Logs().find("ERROR: Request Basket Header: Version number unsupported: [1]"),
              std::string::npos);
}

}  // namespace
