#include "ri/PackFormat.h"

namespace ri {

void PackFormat::Add(const std::string& key, const std::string& value) {
    Separate("///");
    body_ += key + "::" + value;
}

bool PackFormat::Parse(const std::string& text, std::map<std::string, std::string>* out) {
    ReadPairs(text, "///", "::", out);
    return true;
}

}  // namespace ri
