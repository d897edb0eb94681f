#pragma once

#include <map>
#include <string>
#include <vector>

namespace ri {

// A text-keyed map of byte strings that can be written to and read from
// three flat formats. Nothing is escaped: keys or values holding a format's
// separators produce text that does not read back the same.
class Map {
public:
    enum Format { FORMAT_JSON = 0, FORMAT_URL = 3, FORMAT_PACK = 4 };
    using Entries = std::map<std::string, std::string>;

    Map() = default;
    // Empty map, then Parse(format, text, false); the result is not reported.
    Map(int format, const std::string& text);
    virtual ~Map() = default;

    bool Exist(const std::string& key) const;
    std::string Get(const std::string& key, const std::string& def = "") const;
    long GetInt(const std::string& key, long def = 0) const;
    // The value or an empty text; never inserts.
    std::string operator[](const std::string& key) const;
    // -1 for an empty map; else copies the first entry into the non-null outputs.
    int GetFirst(std::string* key, std::string* value) const;
    void Set(const std::string& key, const std::string& value);
    void Delete(const std::string& key);
    void Clear() { entries_.clear(); }
    // Replaces all entries by other's (the format code stays).
    void Copy(const Map& other) { entries_ = other.entries_; }
    // "\nkey=value" per entry, in key order.
    std::string Print() const;
    // The entries in format; a negative format means the map's own format
    // code; an unsupported code gives an empty text.
    std::string Make(int format = -1) const;
    // Reads text in format into the map; false for an unsupported code
    // (nothing changes) or text the format rejects.
    bool Parse(int format, const std::string& text, bool clear = false);

    int GetFormat() const { return format_; }
    const Entries& GetEntries() const { return entries_; }
    std::size_t Size() const { return entries_.size(); }

    static std::string Implode(const std::vector<std::string>& items, const std::string& separator);
    static void Explode(std::vector<std::string>* out, const std::string& text,
                        const std::string& separator);
    static std::vector<std::string> Explode(const std::string& text, const std::string& separator);

private:
    Entries entries_;
    int format_ = FORMAT_PACK;
};

// Sets every entry of source into destination, replacing equal keys.
void Merge(Map& destination, const Map& source);

}  // namespace ri
