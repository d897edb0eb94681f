// The exported plain functions: each forwards to the session object and turns
// anything that escapes into the function's failure result and a trace line,
// so no exception ever crosses into the caller.
#include <set>
#include <string>

#include "api/CurrentSession.h"
#include "api/DARirImpl.h"
#include "api/velpad.h"
#include "ri/Test.h"
#include "ri/Trace.h"

namespace {

// Keys whose values travel in a converted form when set or read through the
// plain functions.
const std::set<std::string> hex_str = {"tvr",
                                       "tsi",
                                       "aid",
                                       "date",
                                       "time",
                                       "expiry",
                                       "result_amount",
                                       "original_date_time",
                                       "loyalty_card_number"};
const std::set<std::string> num_str = {"receipt_number", "cardholder_id_type", "entry_mode"};
const std::set<std::string> bcd_str = {"original_amount"};

// The key as text, read no further than the longest key the session takes
// (a caller's key may lack its terminating zero); empty when it is null,
// empty or too long, which the session then refuses.
std::string KeyText(const char* key) {
    return std::string(key ? key : "", ri::Test::TestString(key));
}

int SetType(const char* key) {
    const std::string name = KeyText(key);
    if (hex_str.count(name)) return 1;
    if (num_str.count(name)) return 3;
    if (bcd_str.count(name)) return 5;
    return -1;
}

int GetType(const char* key) {
    const std::string name = KeyText(key);
    if (hex_str.count(name)) return 1;
    if (num_str.count(name)) return 3;
    if (name == "DialogsCBs") return 6;
    return -1;
}

template <typename Body>
auto Guarded(const char* name, decltype(std::declval<Body>()()) failure, Body body) {
    try {
        return body();
    } catch (const std::exception& e) {
        ri::Trace::Get()->Error("%s: %s", name, e.what());
    } catch (...) {
        ri::Trace::Get()->Error("%s: unknown exception", name);
    }
    return failure;
}

}  // namespace

extern "C" {

DARir* GetDARir(void) {
    return Guarded("GetDARir", static_cast<DARir*>(nullptr),
                   [] { return static_cast<DARir*>(new DARirImpl()); });
}

DARir* CreateDARir(void) {
    return GetDARir();
}

void DeleteDARir(DARir* pos) {
    Guarded("DeleteDARir", 0, [&] {
        delete pos;
        return 0;
    });
}

int DARirSet(DARir* pos, const char* key, const char* value, int size) {
    if (!pos) return -2;
    return Guarded("DARirSet", -1, [&] { return pos->Set(key, value, size, SetType(key)); });
}

int DARirGet(DARir* pos, const char* key, char* buffer, int size) {
    if (!pos) return -2;
    if (!key) return -3;
    return Guarded("DARirGet", -1, [&] { return pos->Get(key, buffer, size, GetType(key)); });
}

int DARirRun(DARir* pos, int operation) {
    if (!pos) return -2;
    return Guarded("DARirRun", -1, [&] { return pos->Run(operation); });
}

int DARirRunCmd(DARir* pos, const char* command, const char* argument, int size) {
    if (!pos) return -1;
    return Guarded("DARirRunCmd", -1, [&] { return pos->Run(command, argument, size); });
}

void DARirClear(DARir* pos) {
    if (!pos) return;
    Guarded("DARirClear", 0, [&] { return pos->Clear(); });
}

void Stop(DARir* pos) {
    Guarded("Stop", 0, [&] {
        if (pos)
            pos->Stop();
        else
            current_session::Stop();
        return 0;
    });
}
}
