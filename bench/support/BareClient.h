// The bare host: what a transaction needs on the link and nothing else. It
// sends the start message and answers every pinpad request with the frame
// the library would answer, relaying the bank channel over its own socket.
// No settings, logs, files or dialogs: the time it takes is the limit of the
// line, the pinpad and the bank.
#ifndef VELPAD_BENCH_BARECLIENT_H
#define VELPAD_BENCH_BARECLIENT_H

#include <string>

#include "support/Frames.h"

namespace bench {

// The start message of a payment of 15.00 in currency 643 (operation 1).
std::string PaymentStart();

// Plays one transaction on link up to and including the reply to "ENDTR".
void BareTransaction(FrameLink& link, const std::string& startMessage);

}  // namespace bench

#endif
