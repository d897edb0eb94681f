#include "api/CurrentSession.h"

#include <mutex>

#include "api/DARir.h"

namespace {

DARir* global_darir = nullptr;
std::mutex slot_lock;

}  // namespace

namespace current_session {

void Register(DARir* pos) {
    std::lock_guard<std::mutex> guard(slot_lock);
    global_darir = pos;
}

void Stop() {
    std::lock_guard<std::mutex> guard(slot_lock);
    if (global_darir) global_darir->Stop();
}

}  // namespace current_session
