#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

// The tag store of one session: named operation values kept by numeric tag id.
//
// Names map to ids through one process-wide dictionary (57 names, filled when
// the library is loaded). Ids below kLocalBase are BER-TLV tag numbers that
// travel to the pinpad as a tag list (Make/Parse); ids from kLocalBase up are
// local tags (cmd, amount, response_code, ...) that never leave the register.
// Names outside the dictionary are kept, unconverted, in a separate parameter
// map that the engine reads as setting overrides.
//
// Tag list layout: per tag, 1 to 3 tag bytes (most significant first), one
// length byte, the value. The pinpad reads the length as a signed byte, so a
// value must hold 1 to 127 bytes to arrive.
//
// The dictionary is shared by every session of the process and guarded by a
// lock of its own; SetDictionary changes it while an engine is constructed.
// A store itself belongs to one session and is not locked.
class Tags {
public:
    // Conversion applied when a value goes into or comes out of the store.
    enum TagType {
        TAG_TEXT = 0,   // bytes unchanged (first size bytes on Add)
        TAG_HEX = 1,    // upper-case hex text of the bytes
        TAG_INT32 = 2,  // decimal text <-> 4 bytes little-endian
        TAG_INT16 = 3,  // decimal text <-> 2 bytes little-endian
        TAG_CHAR = 4,   // one character
        TAG_BCD = 5,    // decimal digits <-> packed BCD
    };

    using Params = std::map<std::string, std::string>;

    // One item of a tag list: its tag and length bytes, and its value (empty
    // when the length byte gives no value).
    struct Item {
        std::uint64_t id = 0;
        std::string head;
        std::string value;
    };

    // Ids from here up are local tags, never written into a tag list.
    static constexpr std::uint64_t kLocalBase = 0xF00000;
    // Longest value a tag list can carry (its length byte is read signed).
    static constexpr std::size_t kMaxValueLength = 127;

    // Converts value by type and stores it under id. -1 (nothing stored) for
    // a type above TAG_BCD.
    int Add(std::uint64_t id, const std::string& value, int size = 0, TagType type = TAG_TEXT);
    int Add(std::uint64_t id, char c);
    // Dictionary names go to the store; other names to the parameter map,
    // unconverted.
    int Add(const std::string& name, const std::string& value, int size = 0,
            TagType type = TAG_TEXT);
    int Add(const std::string& name, char c);

    // The stored value of a dictionary name converted by type; when that is
    // empty, the parameter map's value of name; else empty.
    std::string Get(const std::string& name, TagType type = TAG_TEXT) const;

    void Delete(const std::string& name);
    // Empties the store and the parameter map; the dictionary stays.
    void Clear();

    bool IsExistParams(const std::string& name) const;
    const Params& GetParams() const { return params_; }

    // The store as a tag list (local tags and over-long values left out).
    std::string Make() const;
    // Adds the whole items of a tag list to the store; stops quietly at the
    // first item that is cut short.
    void Parse(const std::string& data);
    // One line per stored tag that has a dictionary name: name, text, hex
    // (card data as the log shows it).
    std::string PrintTags() const;
    // The whole items of a tag list, in order; *used receives the bytes they
    // take, so whatever lies behind is an item cut short.
    static std::vector<Item> Items(const std::string& list, std::size_t* used);
    // The raw value of the last whole item of a dictionary name in a tag
    // list; empty when the list carries none.
    static std::string ValueIn(const std::string& list, const std::string& name);
    // Whether a tag list is made of whole items only: false when its last
    // item is cut short (a frame cut off or bytes that are no tag list).
    static bool IsWhole(const std::string& list);

    // Re-numbers a dictionary name (process-wide) and moves this store's
    // value from the old id to the new one. Unknown names change nothing.
    void SetDictionary(const std::string& name, std::uint64_t id);

    // Looks a name up in the dictionary.
    static bool FindId(const std::string& name, std::uint64_t* id);
    // The first name (in name order) that carries id; empty when none does.
    static std::string NameOf(std::uint64_t id);

private:
    using Dictionary = std::map<std::string, std::uint64_t>;

    // The process-wide name-to-id table, filled on first use.
    static Dictionary& Names();
    static std::string Encode(const std::string& value, int size, TagType type);
    static std::string Decode(const std::string& stored, TagType type);
    static void ReportOverlong(std::uint64_t id, std::size_t length);

    std::unordered_map<std::uint64_t, std::string> store_;
    Params params_;
};
