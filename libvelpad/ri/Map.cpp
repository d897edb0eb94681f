#include "ri/Map.h"

#include "ri/Conv.h"
#include "ri/DataFormat.h"

namespace ri {

Map::Map(int format, const std::string& text) {
    Parse(format, text, false);
}

bool Map::Exist(const std::string& key) const {
    return entries_.count(key) > 0;
}

std::string Map::Get(const std::string& key, const std::string& def) const {
    const auto found = entries_.find(key);
    return found == entries_.end() ? def : found->second;
}

long Map::GetInt(const std::string& key, long def) const {
    const auto found = entries_.find(key);
    return found == entries_.end() ? def : Conv::String::ToInt(found->second);
}

std::string Map::operator[](const std::string& key) const {
    return Get(key);
}

int Map::GetFirst(std::string* key, std::string* value) const {
    if (entries_.empty()) return -1;
    if (key != nullptr) *key = entries_.begin()->first;
    if (value != nullptr) *value = entries_.begin()->second;
    return 0;
}

void Map::Set(const std::string& key, const std::string& value) {
    entries_[key] = value;
}

void Map::Delete(const std::string& key) {
    entries_.erase(key);
}

std::string Map::Print() const {
    std::string text;
    for (const auto& entry : entries_) text += "\n" + entry.first + "=" + entry.second;
    return text;
}

std::string Map::Make(int format) const {
    const std::unique_ptr<DataFormat> writer = DataFormat::Create(format < 0 ? format_ : format);
    if (!writer) return std::string();
    for (const auto& entry : entries_) writer->Add(entry.first, entry.second);
    return writer->Make();
}

bool Map::Parse(int format, const std::string& text, bool clear) {
    const std::unique_ptr<DataFormat> reader = DataFormat::Create(format);
    if (!reader) return false;
    if (clear) entries_.clear();
    format_ = format;
    return reader->Parse(text, &entries_);
}

std::string Map::Implode(const std::vector<std::string>& items, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += items[i];
        if (i + 1 < items.size() && !text.empty()) text += separator;
    }
    return text;
}

void Map::Explode(std::vector<std::string>* out, const std::string& text,
                  const std::string& separator) {
    if (out == nullptr || text.empty() || separator.empty()) return;
    out->clear();
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(separator, start)) != std::string::npos;) {
        out->push_back(text.substr(start, found - start));
        start = found + separator.size();
    }
    if (start < text.size()) out->push_back(text.substr(start));
}

std::vector<std::string> Map::Explode(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    Explode(&pieces, text, separator);
    return pieces;
}

void Merge(Map& destination, const Map& source) {
    for (const auto& entry : source.GetEntries()) destination.Set(entry.first, entry.second);
}

}  // namespace ri
