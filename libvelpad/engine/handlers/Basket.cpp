// The basket of goods the pinpad asks for during a transaction: the header
// (filled on demand by the caller's "GetBasketOfGoods" callback), one item,
// and the update of one item with the pinpad's decision on it. The basket
// lives in the session's parameters ("BASKET/ITEMS", "BASKET/ITEM_0/PRICE",
// ...), read afresh on every request because the callback may change them.
#include <limits>
#include <map>

#include "engine/FrameCodec.h"
#include "engine/RequestFields.h"
#include "engine/handlers/CommandRow.h"
#include "ri/Conv.h"
#include "ri/Exception.h"
#include "ri/Format.h"
#include "ri/Test.h"

namespace handlers {

namespace {

// The caller's basket callback: fills the basket, 0 on success.
using BasketCallback = int (*)();

constexpr long kHeaderVersion = 1;
constexpr long kItemVersionMax = 2;
constexpr long kUpdateVersion = 1;
constexpr long kUpdatableItemVersion = 2;

// What the pinpad's declined status of an item means, shown to the cashier
// (CP1251).
const std::map<long, std::string>& DeclineDescriptions() {
    static const std::map<long, std::string> table = {
        // "Нет ограничений по товару, но операция отклонена"
        {5,
         "\xcd\xe5\xf2 \xee\xe3\xf0\xe0\xed\xe8\xf7\xe5\xed\xe8\xe9 \xef\xee \xf2\xee\xe2\xe0\xf0"
         "\xf3, \xed\xee \xee\xef\xe5\xf0\xe0\xf6\xe8\xff \xee\xf2\xea\xeb\xee\xed\xe5\xed\xe0"},
        // "Товар отсутствует в справочнике"
        {12,
         "\xd2\xee\xe2\xe0\xf0 \xee\xf2\xf1\xf3\xf2\xf1\xf2\xe2\xf3\xe5\xf2 \xe2 \xf1\xef\xf0\xe0"
         "\xe2\xee\xf7\xed\xe8\xea\xe5"},
        // "Недостаточно средств на счете"
        {51,
         "\xcd\xe5\xe4\xee\xf1\xf2\xe0\xf2\xee\xf7\xed\xee \xf1\xf0\xe5\xe4\xf1\xf2\xe2 \xed\xe0 "
         "\xf1\xf7\xe5\xf2\xe5"},
        // "Товар запрещен для данной карты"
        {57,
         "\xd2\xee\xe2\xe0\xf0 \xe7\xe0\xef\xf0\xe5\xf9\xe5\xed \xe4\xeb\xff \xe4\xe0\xed\xed\xee"
         "\xe9 \xea\xe0\xf0\xf2\xfb"},
        // "Товар запрещен для данного терминала"
        {58,
         "\xd2\xee\xe2\xe0\xf0 \xe7\xe0\xef\xf0\xe5\xf9\xe5\xed \xe4\xeb\xff \xe4\xe0\xed\xed\xee"
         "\xe3\xee \xf2\xe5\xf0\xec\xe8\xed\xe0\xeb\xe0"},
        // "Превышен лимит покупки товара"
        {61,
         "\xcf\xf0\xe5\xe2\xfb\xf8\xe5\xed \xeb\xe8\xec\xe8\xf2 \xef\xee\xea\xf3\xef\xea\xe8 \xf2"
         "\xee\xe2\xe0\xf0\xe0"},
    };
    return table;
}

// The fields of an item, in the order the item reply carries them.
const char* const kItemFields[] = {"VERSION",          "PRODUCT_NAME", "COMMODITY_CODE",
                                   "DISPENSER_NUMBER", "MEASURE",      "EXPONENTA",
                                   "QUANTITY",         "PRICE",        "AMOUNT"};

// The fields an update may carry after the version and index, in order.
const char* const kUpdateFields[] = {"COMMODITY_CODE", "DECLINED_STATUS", "LIMITER_AMOUNT_LEFT"};

std::string ItemPrefix(long index) {
    return ri::Format("BASKET/ITEM_%ld/", index);
}

long ToNumber(const std::string& text) {
    return ri::Conv::String::ToInt(text);
}

// A version or item index the pinpad sends, read whole: a misread one must
// not pick another item (raises the reason when it is no such number).
long RequestNumber(const std::string& text, const char* what) {
    long value = 0;
    if (!ri::Conv::String::ToDecimal(text, 0, std::numeric_limits<int>::max(), &value))
        throw ri::Exception("%s is not a number: [%s]", what, CardData::Message(text).c_str());
    return value;
}

// The low 32 bits of a number, as the item reply's integer fields carry it.
int Low32(const std::string& text) {
    return static_cast<int>(ToNumber(text));
}

// A basket parameter, which must exist (else "no " + name is raised).
std::string BasketValue(const Tags& tags, const std::string& name) {
    ri::Test::Assert(!tags.IsExistParams(name), "no " + name);
    return tags.Get(name);
}

}  // namespace

Served RequestBasketHeader(Request& r, const std::string& argument) {
    r.log.Write("Basket of goods header request command");
    try {
        ri::Test::Assert(!r.tags.IsExistParams("GetBasketOfGoods"),
                         "No callback function initialized");
        const long address = ToNumber(r.tags.Get("GetBasketOfGoods"));
        ri::Test::Assert(address == 0, "No basket of goods");
        // The caller hands its callback over as the decimal text of its address.
        const int result =
            reinterpret_cast<BasketCallback>(address)();  // NOLINT(performance-no-int-to-ptr)
        if (result != 0) throw ri::Exception("GetBasketOfGoods fail: [%d]", result);
        const long version = ToNumber(argument);
        if (version == kHeaderVersion) {
            for (const char* name :
                 {"BASKET/ITEMS", "BASKET/CURRENCY", "BASKET/TOTAL", "BASKET/SALE"})
                BasketValue(r.tags, name);
        }
        // No header reply is agreed with the pinpad yet: a header request
        // that passes the checks is refused as well.
        throw ri::Exception("Version number unsupported: [%d]", static_cast<int>(version));
    } catch (const ri::Exception& e) {
        r.log.Write("ERROR: Request Basket Header: %s", CardData::Message(e.What()).c_str());
        return r.reply.Error();
    }
}

Served RequestBasketItem(Request& r, const std::string& argument) {
    r.log.Write("Basket of goods item request command");
    try {
        const std::vector<std::string> fields = SplitFields(argument, ':');
        if (fields.size() < 2) throw ri::Exception("Invalid command: [%s]", argument.c_str());
        if (RequestNumber(fields[0], "Item version") > kItemVersionMax)
            throw ri::Exception("Basket of goods item version error: [%s]", fields[0].c_str());
        const long index = RequestNumber(fields[1], "Item number");
        const long count =
            r.tags.IsExistParams("BASKET/ITEMS") ? ToNumber(r.tags.Get("BASKET/ITEMS")) : 0;
        if (count <= index) throw ri::Exception("Bad item number: [%ld] [%ld]", index, count);
        const std::string prefix = ItemPrefix(index);
        std::vector<std::string> item;
        for (const char* field : kItemFields) item.push_back(BasketValue(r.tags, prefix + field));
        const std::string reply = ri::Format(
            "%s:%d:%s:%s:%d:%s:%d:%d:%lld:%lld:", "OK", Low32(item[0]), item[1].c_str(),
            item[2].c_str(), Low32(item[3]), item[4].c_str(), Low32(item[5]), Low32(item[6]),
            static_cast<long long>(ToNumber(item[7])), static_cast<long long>(ToNumber(item[8])));
        // The link cannot send a longer reply; the request would go unanswered.
        if (reply.size() > FrameCodec::kMaxPayload)
            throw ri::Exception("Item reply of %zu bytes does not fit a frame", reply.size());
        return r.reply.Answer(reply);
    } catch (const ri::Exception& e) {
        r.log.Write("ERROR: Request Basket Item: %s", CardData::Message(e.What()).c_str());
        return r.reply.Error();
    }
}

Served UpdateBasketItem(Request& r, const std::string& argument) {
    r.log.Write("Basket of goods item update command");
    try {
        const std::vector<std::string> fields = SplitFields(argument, '\\');
        if (fields.empty())
            throw ri::Exception("Basket item parsing error: [%s]", argument.c_str());
        const std::vector<std::string> head = SplitFields(fields[0], 'V');
        if (head.size() != 2) throw ri::Exception("Command parsing error: [%s]", argument.c_str());
        const long version = RequestNumber(head[0], "Command version");
        if (version != kUpdateVersion)
            throw ri::Exception("Bad command version: [%d]", static_cast<int>(version));
        const long index = RequestNumber(head[1], "Item number");
        if (index >= ToNumber(BasketValue(r.tags, "BASKET/ITEMS")))
            throw ri::Exception("Bad item number: [%d]", static_cast<int>(index));
        const std::string prefix = ItemPrefix(index);
        const long itemVersion = ToNumber(BasketValue(r.tags, prefix + "VERSION"));
        if (itemVersion != kUpdatableItemVersion)
            throw ri::Exception("Update basket item version error: [%d]",
                                static_cast<int>(itemVersion));
        for (std::size_t i = 1; i < fields.size() && i <= std::size(kUpdateFields); ++i)
            r.tags.Add(prefix + kUpdateFields[i - 1], fields[i]);
        const auto description =
            DeclineDescriptions().find(ToNumber(r.tags.Get(prefix + "DECLINED_STATUS")));
        r.tags.Add(prefix + "RC_DESCRIPTION",
                   description == DeclineDescriptions().end() ? "" : description->second);
        return r.reply.Ok();
    } catch (const ri::Exception& e) {
        r.log.Write("ERROR: Update Basket Item: %s", CardData::Message(e.What()).c_str());
        return r.reply.Error();
    }
}

const CommandRows& BasketCommands() {
    static const CommandRows rows = {
        {"BHEADERGET:", RequestBasketHeader, 1},
        {"BITEMGET:", RequestBasketItem, 1},
        {"BITEMSET:", UpdateBasketItem, 1},
    };
    return rows;
}

}  // namespace handlers
