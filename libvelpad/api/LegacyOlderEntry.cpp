// The older C++ entry points. They take the short authorization structure as
// an untyped pointer, set only the amount and the currency, and read back a
// few values, each only when it fits its field. No session is registered for
// Stop(NULL).
#include <cstdint>
#include <memory>
#include <string>

#include "api/DARir.h"
#include "api/LegacyFields.h"
#include "api/LegacyRecord.h"
#include "api/velpad.h"

namespace {

struct ReadBack {
    const char* tag;
    std::size_t offset;
    std::size_t width;
};

#define LEGACY_BACK(member) \
    { #member, offsetof(UserAuthInt, member), sizeof(UserAuthInt::member) }
const ReadBack kReadBack[] = {
    LEGACY_BACK(pan),           LEGACY_BACK(expiry),
    LEGACY_BACK(terminal_id),   LEGACY_BACK(rrn),
    LEGACY_BACK(card_type),     LEGACY_BACK(date),
    LEGACY_BACK(time),          LEGACY_BACK(received_text_message),
    LEGACY_BACK(response_code),
};
#undef LEGACY_BACK

// The field's text, never read past the field even without a terminating zero.
bool SetField(DARir& session, const LegacyRecord& record, const char* tag, std::size_t offset,
              std::size_t width) {
    const std::string text = record.Text(offset, width);
    return session.Set(tag, text.data(), static_cast<int>(text.size()), -1) == 0;
}

// A value that does not fit its field (or is missing) leaves the field as it was.
void GetField(DARir& session, LegacyRecord& record, const ReadBack& field) {
    std::string buffer(field.width, '\0');
    const int copied = session.Get(field.tag, &buffer[0], static_cast<int>(field.width), 0);
    if (copied > 0) record.Put(field.offset, field.width, buffer.substr(0, copied));
}

}  // namespace

int ProcessOw(void* auth) {
    if (!auth) return -1;
    try {
        std::unique_ptr<DARir, void (*)(DARir*)> session(GetDARir(), DeleteDARir);
        if (!session) return -1;
        LegacyRecord record(auth, sizeof(UserAuthInt));
        if (!SetField(*session, record, "amount", offsetof(UserAuthInt, amount),
                      sizeof(UserAuthInt::amount)) ||
            !SetField(*session, record, "currency", offsetof(UserAuthInt, currency),
                      sizeof(UserAuthInt::currency)))
            return -1;
        std::int32_t operation = 0;
        record.Read(legacy_fields::kOperationOffset, &operation);
        const int result = session->Run(operation);
        try {
            for (const ReadBack& field : kReadBack) GetField(*session, record, field);
        } catch (...) {
            // The run's result stands even when reading back fails.
        }
        return result;
    } catch (...) {
        return -1;
    }
}

int ProcessOwEx(void* auth, void*) {
    return ProcessOw(auth);
}
