#pragma once

#include "ri/DataFormat.h"

namespace ri {

// A flat object of string values written without blanks: {"a":"1","b":"2"}.
class JsonFormat : public DataFormat {
public:
    JsonFormat();
    void Add(const std::string& key, const std::string& value) override;
    bool Parse(const std::string& text, std::map<std::string, std::string>* out) override;
};

}  // namespace ri
