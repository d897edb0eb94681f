/*
 * A caller written in C that lays the authorization structures out byte by
 * byte at their documented offsets, as a foreign program does, and runs
 * legacy calls through the bank agent bridge with the test agent library
 * (found through LD_LIBRARY_PATH). It checks what went in (the agent records
 * the operation and amount it received), what came back and with what width,
 * that bytes beyond a copied value and reserved bytes keep what the caller
 * put there, and the size checks with their messages on standard output.
 */
#define _DEFAULT_SOURCE
#include <fcntl.h>
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "api/velpad.h"
#include "c_check.h"

enum {
    OPERATION = 8,
    PAN = 72,
    AMOUNT = 197,
    ORIGINAL_AMOUNT = 210,
    RRN = 236,
    AUTH_CODE = 249,
    RESPONSE_CODE = 258,
    CARD_TYPE = 262,
    TEXT_MESSAGE = 586,
    RECEIPT_NUMBER = 910,
    LOYALTY_CODE = 2981,
    BANK_ID = 2999,
    SHORT_SIZE = 976,
    FULL_SIZE = 3284
};

/* The header's structures agree with the offsets a foreign caller uses. */
_Static_assert(offsetof(UserAuthIntFull, receipt_number) == RECEIPT_NUMBER, "receipt_number");
_Static_assert(offsetof(UserAuthIntFull, loyalty_code) == LOYALTY_CODE, "loyalty_code");
_Static_assert(offsetof(UserAuthIntFull, bank_id) == BANK_ID, "bank_id");
_Static_assert(sizeof(UserAuthIntFull) == FULL_SIZE, "UserAuthIntFull");
_Static_assert(offsetof(UserAuthInt, enc_data) == 912, "enc_data");
_Static_assert(sizeof(UserAuthInt) == SHORT_SIZE, "UserAuthInt");

static void write_file(const char* name, const char* text) {
    FILE* file = fopen(name, "w");
    if (file == NULL) return;
    fputs(text, file);
    fclose(file);
}

static void read_file(const char* name, char* out, size_t size) {
    out[0] = '\0';
    FILE* file = fopen(name, "r");
    if (file == NULL) return;
    size_t n = fread(out, 1, size - 1, file);
    out[n] = '\0';
    fclose(file);
}

static void put_text(unsigned char* s, size_t offset, const char* text) {
    memcpy(s + offset, text, strlen(text));
}

static int same(const unsigned char* s, size_t offset, const char* text) {
    return memcmp(s + offset, text, strlen(text)) == 0;
}

static int all(const unsigned char* s, size_t from, size_t to, unsigned char byte) {
    for (size_t i = from; i < to; ++i)
        if (s[i] != byte) return 0;
    return 1;
}

/* The byte ranges neither read nor written, as [from, to). */
static const size_t full_reserved[][2] = {{0, 8},       {97, 197},    {356, 506},
                                          {906, 910},   {912, 1171},  {1235, 1474},
                                          {1548, 1806}, {1825, 2981}, {3018, FULL_SIZE}};
/* The short structure's settings override (117) is read but never written. */
static const size_t short_untouched[][2] = {{0, 8}, {97, 197}, {356, 506}, {906, 912}};

static void mark(unsigned char* s, const size_t (*ranges)[2], size_t count) {
    for (size_t i = 0; i < count; ++i) memset(s + ranges[i][0], 0x5A, ranges[i][1] - ranges[i][0]);
}

static int marked(const unsigned char* s, const size_t (*ranges)[2], size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!all(s, ranges[i][0], ranges[i][1], 0x5A)) return 0;
    return 1;
}

#define COUNT(ranges) (sizeof ranges / sizeof ranges[0])

static void put_operation(unsigned char* s, int32_t operation) {
    memcpy(s + OPERATION, &operation, sizeof operation);
}

/* Standard output of one call, captured into "stdout.txt". */
static int saved_stdout = -1;
static void capture_begin(void) {
    fflush(stdout);
    saved_stdout = dup(1);
    int file = open("stdout.txt", O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(file, 1);
    close(file);
}
static void capture_end(char* out, size_t size) {
    fflush(stdout);
    dup2(saved_stdout, 1);
    close(saved_stdout);
    read_file("stdout.txt", out, size);
}

static void full_payment(void) {
    static unsigned char s[FULL_SIZE];
    memset(s, 0, sizeof s);
    mark(s, full_reserved, COUNT(full_reserved));
    put_operation(s, 1);
    put_text(s, AMOUNT, "1500");
    memset(s + CARD_TYPE, 'Z', 80);
    memset(s + TEXT_MESSAGE, 'Y', 80);
    memset(s + BANK_ID, 'X', 19);
    uint16_t receipt = 12;
    memcpy(s + RECEIPT_NUMBER, &receipt, 2);
    uint32_t loyalty = 123;
    memcpy(s + LOYALTY_CODE, &loyalty, 4);
    write_file("agent.script",
               "response_code=00\nmessage=APPROVED\ncard_type=5\nauth_code=A1B2C3\n"
               "pan=4276123456781234567890123\nrrn=1234567890123\nreceipt=0\n");
    unlink("agent.calls");
    check(ProcessOwFull((UserAuthIntFull*)s, FULL_SIZE) == 0, "full: result");
    char calls[256];
    read_file("agent.calls", calls, sizeof calls);
    check(strcmp(calls, "card_authorize6 first=null operation=1 amount=1500 answer=clear\n") == 0,
          "full: the agent got operation and amount");
    check(same(s, RESPONSE_CODE, "00") && s[RESPONSE_CODE + 2] == 0, "full: response_code");
    check(same(s, TEXT_MESSAGE, "APPROVED") && all(s, TEXT_MESSAGE + 8, TEXT_MESSAGE + 80, 'Y'),
          "full: text_message, the rest of the field as the caller left it");
    check(same(s, CARD_TYPE, "DinersCLub") && all(s, CARD_TYPE + 10, CARD_TYPE + 80, 'Z'),
          "full: card_type");
    check(same(s, PAN, "4276123456781234567") && s[PAN + 19] == 0, "full: pan, 19 bytes");
    check(same(s, RRN, "123456789012") && s[RRN + 12] == 0, "full: rrn, 12 bytes");
    check(same(s, AUTH_CODE, "A1B2C3") && s[AUTH_CODE + 6] == 0, "full: auth_code");
    memcpy(&receipt, s + RECEIPT_NUMBER, 2);
    check(receipt == 12, "full: receipt_number given comes back");
    memcpy(&loyalty, s + LOYALTY_CODE, 4);
    check(loyalty == 123, "full: loyalty_code given comes back");
    check(all(s, BANK_ID, BANK_ID + 19, 'X'), "full: bank_id without a value untouched");
    check(marked(s, full_reserved, COUNT(full_reserved)), "full: reserved untouched");
}

static void full_receipt_from_agent(void) {
    static unsigned char s[FULL_SIZE];
    memset(s, 0, sizeof s);
    put_operation(s, 1);
    write_file("agent.script", "receipt=42\n");
    check(ProcessOwFull((UserAuthIntFull*)s, FULL_SIZE) == 0, "receipt: result");
    uint16_t receipt = 0;
    memcpy(&receipt, s + RECEIPT_NUMBER, 2);
    check(receipt == 42, "receipt: the agent's receipt number");
}

static void short_payment(void) {
    static unsigned char s[SHORT_SIZE];
    memset(s, 0, sizeof s);
    mark(s, short_untouched, COUNT(short_untouched));
    put_operation(s, 1);
    put_text(s, AMOUNT, "1234567890123"); /* the whole field, no zero */
    put_text(s, ORIGINAL_AMOUNT, "99");
    memset(s + RESPONSE_CODE, 'R', 4);
    memset(s + TEXT_MESSAGE, 'Y', 80);
    write_file("agent.script",
               "result=7\nresponse_code=51\nmessage=DECLINED\npan=4276123456781234567890123\n"
               "rrn=1234567890123\ncard_type=12\n");
    unlink("agent.calls");
    check(ProcessOw((UserAuthInt*)s) == 7, "short: result");
    char calls[256];
    read_file("agent.calls", calls, sizeof calls);
    check(strstr(calls, " amount=1234567890123 ") != NULL, "short: 13-byte amount taken whole");
    check(same(s, RESPONSE_CODE, "51R") && s[RESPONSE_CODE + 3] == 'R', "short: response_code");
    check(same(s, PAN, "42761234567812345678"), "short: pan, 20 bytes");
    check(same(s, RRN, "1234567890123"), "short: rrn, 13 bytes");
    check(same(s, CARD_TYPE, "unknown") && s[CARD_TYPE + 7] == 0, "short: card_type");
    check(same(s, TEXT_MESSAGE, "DECLINED") && s[TEXT_MESSAGE + 8] == 'Y', "short: text_message");
    check(marked(s, short_untouched, COUNT(short_untouched)), "short: reserved untouched");
}

static void empty_first_byte(void) {
    static unsigned char s[SHORT_SIZE];
    memset(s, 0, sizeof s);
    put_operation(s, 1);
    put_text(s, AMOUNT + 1, "500");
    write_file("agent.script", "response_code=00\n");
    unlink("agent.calls");
    check(ProcessOwId("T7", (UserAuthInt*)s) == 0, "empty: result");
    char calls[256];
    read_file("agent.calls", calls, sizeof calls);
    check(strstr(calls, " amount=0 ") != NULL,
          "empty: a field whose first byte is zero sets nothing");
}

static void size_checks(void) {
    static unsigned char s[FULL_SIZE + 64];
    char out[512];
    memset(s, 0, sizeof s);
    put_operation(s, 1);
    unlink("agent.calls");
    capture_begin();
    int result = ProcessOwFull((UserAuthIntFull*)s, FULL_SIZE + 1);
    capture_end(out, sizeof out);
    check(result == -1, "size: 3285 refused");
    check(strcmp(out, "ERROR: ProcessOwFull: struct size fail: [3285] > [3284]\n") == 0,
          "size: message");
    check(access("agent.calls", F_OK) != 0, "size: nothing run");
    capture_begin();
    result = ProcessOwIdFull("T7", (UserAuthIntFull*)s, 11);
    capture_end(out, sizeof out);
    check(result == -1, "size: no room for the operation code");
    check(strcmp(out, "ERROR: ProcessOwFull: struct size fail: [11] < [12]\n") == 0,
          "size: short message");

    /* A caller's older, shorter structure: nothing at or past its end is
       read or written. */
    memset(s, 0xC3, sizeof s);
    memset(s, 0, 600);
    put_operation(s, 1);
    put_text(s, AMOUNT, "1500");
    write_file("agent.script", "response_code=00\nmessage=APPROVED\nreceipt=42\n");
    check(ProcessOwFull((UserAuthIntFull*)s, 600) == 0, "size: 600 runs");
    check(same(s, RESPONSE_CODE, "00") && same(s, TEXT_MESSAGE, "APPROVED"), "size: fields inside");
    check(all(s, 600, sizeof s, 0xC3), "size: bytes past the size untouched");

    /* A size that ends inside the amount: the part before the size is no
       amount of the caller's and is not taken (1500 cut to 150). */
    memset(s, 0, sizeof s);
    put_operation(s, 1);
    put_text(s, AMOUNT, "1500");
    write_file("agent.script", "response_code=00\n");
    unlink("agent.calls");
    check(ProcessOwFull((UserAuthIntFull*)s, AMOUNT + 3) == 0, "size: cut amount runs");
    char calls[256];
    read_file("agent.calls", calls, sizeof calls);
    check(strstr(calls, " amount=0 ") != NULL, "size: an amount cut by the size is not taken");
}

static void failures(void) {
    char out[512];
    capture_begin();
    int result = ProcessOwFull(NULL, FULL_SIZE);
    capture_end(out, sizeof out);
    check(result == -3, "null structure: -3");
    check(strcmp(out, "ERROR: ProcessOwFull: parse struct fail\n") == 0, "null structure: message");
    capture_begin();
    result = ProcessOw(NULL);
    capture_end(out, sizeof out);
    check(result == -3 && strcmp(out, "ERROR: ProcessOw: parse struct fail\n") == 0,
          "null short structure");
}

int main(void) {
    char root[] = "/tmp/velpad-legacy-XXXXXX";
    if (mkdtemp(root) == NULL || chdir(root) != 0) return 2;
    write_file("darir.ini", "[Settings]\nINTERFACE=BANKAGENT\nLogType=2\nConsole=0\n");
    write_file("cashreg.ini", "CHEQ_FILE=cheq.out\nOPERATION_INI_FILE=ops.ini\n");
    write_file("ops.ini", "1=1,1,PAYMENT\n");
    full_payment();
    full_receipt_from_agent();
    short_payment();
    empty_first_byte();
    size_checks();
    failures();
    Stop(NULL);
    char command[64];
    snprintf(command, sizeof command, "rm -rf '%s'", root);
    if (chdir("/") != 0 || system(command) != 0) fprintf(stderr, "cannot remove %s\n", root);
    return report("legacy_caller");
}
