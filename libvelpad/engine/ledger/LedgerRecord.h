#pragma once

#include <string>

// One operation as the ledger keeps it. Texts are UTF-8; the card number is
// masked to its first six and last four digits before it gets here, and no
// other card data has a field.
struct LedgerRecord {
    long long id = 0;           // the run identifier, given by the ledger
    std::string started;        // UTC, "2026-12-09T14:03:05.120Z"
    std::string ended;          // empty while pending
    int operation = 0;          // the caller's operation code
    std::string operationName;  // the name of the operation table's line
    std::string amount;         // minor units, as the caller gave them
    std::string currency;
    std::string terminalId;
    std::string cardNumber;  // masked
    std::string cardType;
    bool hasResult = false;  // whether resultCode holds a code
    int resultCode = 0;
    std::string resultText;
    std::string rrn;
    std::string authCode;
    std::string receiptNumber;
    std::string outcome;  // "pending" until the run completes it
    long long durationMs = -1;
    std::string recovery;  // what a later run did about an interrupted one
};

// The outcomes a record ends with.
namespace outcome {
inline constexpr char kPending[] = "pending";
inline constexpr char kApproved[] = "approved";
inline constexpr char kDeclined[] = "declined";
inline constexpr char kFailed[] = "failed";
inline constexpr char kInterrupted[] = "interrupted";
inline constexpr char kCancelledOnRecovery[] = "cancelled on recovery";
}  // namespace outcome
