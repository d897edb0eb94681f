/*
 * A bank agent library for tests: exports the four entry points the bridge
 * looks up and answers from a script. The script is the file "agent.script"
 * in the working directory, one "key=value" a line:
 *   result, response_code, message, card_type, auth_code, pan, private (the
 *   agent's own 24 bytes), receipt, rrn, cheque (the escapes \r and \n stand
 *   for CR and LF).
 * Every call is appended to "agent.calls" as one line naming the function
 * and the record's input fields, so a test sees what the bridge passed.
 * Built with TEST_AGENT_WITHOUT_CLOSE_DAY it lacks "_close_day".
 */
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define EXPORTED __attribute__((visibility("default")))

#pragma pack(push, 1)
struct answer {
    int32_t operation;
    int64_t amount;
    char response_code[3];
    char message[16];
    int32_t card_type;
    const char* cheque;
    char auth_code[7];
    char pan[25];
    char agent_private[24];
    int32_t receipt_number;
    char rrn[13];
};
#pragma pack(pop)

typedef char answer_is_116_bytes[sizeof(struct answer) == 116 ? 1 : -1];

static char cheque_text[4096];

/* Copies at most width bytes, like a fixed field of the record. */
static void put(char* field, size_t width, const char* value) {
    size_t length = strlen(value);
    memcpy(field, value, length < width ? length : width);
}

static void unescape(const char* value, char* out, size_t size) {
    size_t n = 0;
    for (; *value != '\0' && n + 1 < size; ++value) {
        if (value[0] == '\\' && (value[1] == 'r' || value[1] == 'n')) {
            out[n++] = value[1] == 'r' ? '\r' : '\n';
            ++value;
        } else {
            out[n++] = *value;
        }
    }
    out[n] = '\0';
}

/* Every byte after the two input fields is zero when the call comes. */
static int outputs_clear(const struct answer* record) {
    const unsigned char* bytes = (const unsigned char*)record;
    for (size_t i = offsetof(struct answer, response_code); i < sizeof *record; ++i)
        if (bytes[i] != 0) return 0;
    return 1;
}

static void log_call(const char* name, const void* first, const struct answer* record) {
    FILE* calls = fopen("agent.calls", "a");
    if (calls == NULL) return;
    fprintf(calls, "%s first=%s operation=%d amount=%lld answer=%s\n", name,
            first == NULL ? "null" : "set", (int)record->operation, (long long)record->amount,
            outputs_clear(record) ? "clear" : "dirty");
    fclose(calls);
}

/* Fills the record from the script; the result of the call. */
static int answer_from_script(struct answer* record) {
    int result = 0;
    FILE* script = fopen("agent.script", "r");
    if (script == NULL) return result;
    char line[4096];
    while (fgets(line, sizeof line, script) != NULL) {
        line[strcspn(line, "\r\n")] = '\0';
        char* value = strchr(line, '=');
        if (value == NULL) continue;
        *value++ = '\0';
        if (strcmp(line, "result") == 0) result = atoi(value);
        if (strcmp(line, "response_code") == 0) put(record->response_code, 3, value);
        if (strcmp(line, "message") == 0) put(record->message, 16, value);
        if (strcmp(line, "card_type") == 0) record->card_type = atoi(value);
        if (strcmp(line, "auth_code") == 0) put(record->auth_code, 7, value);
        if (strcmp(line, "pan") == 0) put(record->pan, 25, value);
        if (strcmp(line, "private") == 0) put(record->agent_private, 24, value);
        if (strcmp(line, "receipt") == 0) record->receipt_number = atoi(value);
        if (strcmp(line, "rrn") == 0) put(record->rrn, 13, value);
        if (strcmp(line, "cheque") == 0) {
            unescape(value, cheque_text, sizeof cheque_text);
            record->cheque = cheque_text;
        }
    }
    fclose(script);
    return result;
}

EXPORTED int _card_authorize(void* first, struct answer* record) {
    log_call("card_authorize", first, record);
    return answer_from_script(record);
}

EXPORTED int _card_authorize6(void* first, struct answer* record) {
    log_call("card_authorize6", first, record);
    return answer_from_script(record);
}

#ifndef TEST_AGENT_WITHOUT_CLOSE_DAY
EXPORTED int _close_day(struct answer* record) {
    log_call("close_day", NULL, record);
    return answer_from_script(record);
}
#endif

EXPORTED int _GetVer(void) {
    return 0x010203;
}
