#ifndef VELPAD_BANK_AGENTANSWER_H
#define VELPAD_BANK_AGENTANSWER_H

#include <cstddef>
#include <cstdint>

// The answer record handed to the bank agent library: 116 bytes, packed,
// little-endian, the cheque address in the platform's 64-bit layout. The
// bridge fills the operation code and the amount; the agent fills the rest.
#pragma pack(push, 1)
struct AgentAnswer {
    std::int32_t operation;
    std::int64_t amount;
    char response_code[3];
    char message[16];
    std::int32_t card_type;
    // Address of the cheque text, zero-terminated and owned by the agent
    // library; null when there is none.
    const char* cheque;
    char auth_code[7];
    char pan[25];
    // The agent's own bytes; the bridge neither reads nor writes them.
    char agent_private[24];
    std::int32_t receipt_number;
    char rrn[13];
};
#pragma pack(pop)

static_assert(sizeof(void*) == 8, "the agent record carries a 64-bit address");
static_assert(offsetof(AgentAnswer, amount) == 4, "agent record layout");
static_assert(offsetof(AgentAnswer, response_code) == 12, "agent record layout");
static_assert(offsetof(AgentAnswer, message) == 15, "agent record layout");
static_assert(offsetof(AgentAnswer, card_type) == 31, "agent record layout");
static_assert(offsetof(AgentAnswer, cheque) == 35, "agent record layout");
static_assert(offsetof(AgentAnswer, auth_code) == 43, "agent record layout");
static_assert(offsetof(AgentAnswer, pan) == 50, "agent record layout");
static_assert(offsetof(AgentAnswer, agent_private) == 75, "agent record layout");
static_assert(offsetof(AgentAnswer, receipt_number) == 99, "agent record layout");
static_assert(offsetof(AgentAnswer, rrn) == 103, "agent record layout");
static_assert(sizeof(AgentAnswer) == 116, "agent record layout");

#endif
