#pragma once

#include "ri/DataFormat.h"

namespace ri {

// The private pack format: a::1///b::2.
class PackFormat : public DataFormat {
public:
    void Add(const std::string& key, const std::string& value) override;
    bool Parse(const std::string& text, std::map<std::string, std::string>* out) override;
};

}  // namespace ri
