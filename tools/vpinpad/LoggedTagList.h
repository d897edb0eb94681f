#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vpinpad {

// A tag list as the host's engine log shows it: "name=value" items separated by blanks
// ("terminal_id=00012345 pan=427612******1234 track2_data=<track2_data: 37 bytes>"), an
// item cut short at the end shown as "<cut: N bytes>". Read back into the bytes of a list:
// a card number is packed again (the log shows it unpacked and masked, a masked digit as
// "*", which packs as the nibble D), a value shown by its length becomes filler bytes of that
// length, and the cut item becomes bytes that end the list inside an item.
class LoggedTagList {
public:
    struct Item {
        std::uint64_t tag = 0;
        std::string name;
        std::string value;      // the bytes of the rebuilt list
        bool cardData = false;  // the log masked the value or showed only its length
    };

    // Throws std::invalid_argument for text that is no such rendering.
    static LoggedTagList Parse(const std::string& shown);

    // The list's bytes.
    std::string Bytes() const;
    // Whether the scenario step "send-tags" can build the same bytes: every tag of at most
    // three bytes, every value of 1 to 127 bytes, nothing cut, 1 to 63 items.
    bool FitsSendTags() const;

    std::vector<Item> items;
    std::size_t cutBytes = 0;
};

}  // namespace vpinpad
