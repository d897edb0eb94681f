#include "ri/DataFormat.h"

#include "ri/JsonFormat.h"
#include "ri/Map.h"
#include "ri/PackFormat.h"
#include "ri/UrlFormat.h"

namespace ri {

std::string DataFormat::Make() {
    return prefix_ + body_ + suffix_;
}

bool DataFormat::Parse(const std::string&, std::map<std::string, std::string>*) {
    return false;
}

std::unique_ptr<DataFormat> DataFormat::Create(int format) {
    switch (format) {
        case Map::FORMAT_JSON:
            return std::make_unique<JsonFormat>();
        case Map::FORMAT_URL:
            return std::make_unique<UrlFormat>();
        case Map::FORMAT_PACK:
            return std::make_unique<PackFormat>();
        default:
            return nullptr;
    }
}

void DataFormat::Separate(const std::string& separator) {
    if (!body_.empty()) body_ += separator;
}

void DataFormat::ReadPairs(const std::string& text, const std::string& separator,
                           const std::string& pairSeparator,
                           std::map<std::string, std::string>* out) {
    pieces_ = Map::Explode(text, separator);
    for (const std::string& piece : pieces_) {
        const std::size_t split = piece.find(pairSeparator);
        if (split == std::string::npos) continue;
        (*out)[piece.substr(0, split)] = piece.substr(split + pairSeparator.size());
    }
}

}  // namespace ri
