#ifndef VELPAD_API_LEGACYFIELDS_H
#define VELPAD_API_LEGACYFIELDS_H

#include <cstddef>
#include <string>
#include <vector>

#include "api/LegacyRecord.h"

class DARir;

// Where the values of an operation sit in the two authorization structures,
// and their copies between a structure and a session.
namespace legacy_fields {

// Text travels as it is; Digits are decimal digits kept packed in the
// session (in) and unpacked to two digits per stored byte (out).
enum class Form { Text, Digits };

// In: the whole width is read. Out: at most width bytes are written.
struct Field {
    const char* tag;
    std::size_t offset;
    std::size_t width;
    Form form;
};

extern const std::vector<Field> kShortInputs;
extern const std::vector<Field> kShortOutputs;
extern const std::vector<Field> kFullInputs;
extern const std::vector<Field> kFullOutputs;

// Offset of the operation code in both structures.
constexpr std::size_t kOperationOffset = 8;

// Sets every non-empty field of the given form on the session; raises
// ri::Exception when the session refuses one.
void CopyIn(DARir& session, const LegacyRecord& record, const std::vector<Field>& fields,
            Form form);
// Copies every field's value from the session into the structure.
void CopyOut(DARir& session, LegacyRecord& record, const std::vector<Field>& fields);
// The receipt number and loyalty code of the full structure, as numbers.
void CopyNumbersIn(DARir& session, const LegacyRecord& record);
void CopyNumbersOut(DARir& session, LegacyRecord& record);
// The session's value of tag read with type, as far as a 1024-byte buffer
// holds it; empty when there is none.
std::string Value(DARir& session, const std::string& tag, int type);

}  // namespace legacy_fields

#endif
