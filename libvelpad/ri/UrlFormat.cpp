#include "ri/UrlFormat.h"

namespace ri {

void UrlFormat::Add(const std::string& key, const std::string& value) {
    Separate("&");
    body_ += key + "=" + value;
}

bool UrlFormat::Parse(const std::string& text, std::map<std::string, std::string>* out) {
    std::string query = text;
    const std::size_t question = query.find('?');
    if (question != std::string::npos) query.erase(0, question + 1);
    const std::size_t hash = query.find('#');
    if (hash != std::string::npos) query.erase(hash);
    ReadPairs(query, "&", "=", out);
    return true;
}

}  // namespace ri
