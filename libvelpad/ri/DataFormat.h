#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ri {

// Base of the flat text formats of ri::Map: Add builds the body entry by
// entry, Make wraps it in the prefix and suffix, Parse reads entries back.
class DataFormat {
public:
    virtual ~DataFormat() = default;
    virtual void Add(const std::string& key, const std::string& value) = 0;
    virtual std::string Make();
    virtual bool Parse(const std::string& text, std::map<std::string, std::string>* out);

    // The format object of a ri::Map format code; null for an unsupported code.
    static std::unique_ptr<DataFormat> Create(int format);

protected:
    // Appends separator to the body unless it is still empty.
    void Separate(const std::string& separator);
    // Splits text at separator into pieces_ and stores each piece holding
    // pairSeparator as key (before its first occurrence) and value.
    void ReadPairs(const std::string& text, const std::string& separator,
                   const std::string& pairSeparator, std::map<std::string, std::string>* out);

    std::string body_;
    std::string prefix_;
    std::string suffix_;
    std::vector<std::string> pieces_;
};

}  // namespace ri
