#pragma once

#include <string>
#include <vector>

#include "TagList.h"

namespace vpinpad {

enum class StepKind {
    kExpectStart,        // fields: the six start-message fields ("*" matches any value)
    kExpectStartPrefix,  // fields: the first fields of the start message
    kExpect,             // bytes: the host's reply payload, exactly
    kExpectPrefix,       // bytes: the start of the host's reply payload
    kExpectFile,         // fields: a file whose bytes are the host's reply payload, exactly
    kExpectTags,         // tags: items the reply's tag list must hold, in any order
    kExpectNothing,      // millis: no frame may arrive for that long
    kExpectRelayId,      // bytes: the identifier the host sent to the relay
    kExpectClose,        // the host closes the connection
    kSend,               // bytes: payload sent as one frame
    kSendFile,           // bytes, fields: one frame of the bytes and then a file's content
    kRaw,                // bytes: sent as they are, without a frame
    kCut,                // bytes, count: a frame announcing the payload, cut after count bytes
    kBadFirstByte,       // bytes, count: a whole frame whose first byte is count, not 0x01
    kSplit,              // bytes, count, millis: a frame written in pieces of count bytes
    kPause,              // millis: nothing is sent; host frames are kept for later steps
    kClose,              // the pinpad closes the line
    kAccept,             // wait for the host to connect again
    kBankExpect,         // bytes: what the host relayed to the bank, exactly
    kBankExpectPrefix,   // bytes: the start of what the host relayed to the bank
    kBankSend,           // bytes: the bank's answer
    kBankClose,          // the bank drops its connection
};

// One line of a scenario, ready to run.
struct Step {
    StepKind kind = StepKind::kPause;
    int line = 0;
    std::string source;  // the line as written, for messages
    std::string bytes;
    std::vector<std::string> fields;
    std::vector<TagList::Item> tags;
    long count = 0;
    long millis = 0;
};

}  // namespace vpinpad
