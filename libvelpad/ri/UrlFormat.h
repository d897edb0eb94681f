#pragma once

#include "ri/DataFormat.h"

namespace ri {

// A URL query string: a=1&b=2 (anything up to "?" and from "#" is dropped).
class UrlFormat : public DataFormat {
public:
    void Add(const std::string& key, const std::string& value) override;
    bool Parse(const std::string& text, std::map<std::string, std::string>* out) override;
};

}  // namespace ri
