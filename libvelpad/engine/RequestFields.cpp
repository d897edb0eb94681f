#include "engine/RequestFields.h"

#include "ri/ByteReader.h"

std::vector<std::string> SplitFields(const std::string& text, char separator) {
    const std::string mark(1, separator);
    std::vector<std::string> fields;
    ri::ByteReader reader(text);
    std::string field;
    while (reader.TryUntil(mark, &field)) fields.push_back(field);
    if (!reader.AtEnd()) fields.push_back(reader.Rest());
    return fields;
}

bool SplitFirst(const std::string& text, char separator, std::string* head, std::string* rest) {
    ri::ByteReader reader(text);
    std::string before;
    if (!reader.TryUntil(std::string(1, separator), &before)) return false;
    *head = before;
    *rest = reader.Rest();
    return true;
}
