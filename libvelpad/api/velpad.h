/*
 * velpad.h - the exported plain functions of libvelpad.
 *
 * 1. Sessions. GetDARir/CreateDARir make a new, independent session; the
 *    caller owns it and releases it with DeleteDARir (NULL is accepted).
 *    Every function below accepts a NULL session and answers as listed.
 * 2. Values. Keys and values are byte strings. DARirSet takes a value of
 *    `size` bytes, or a NUL-terminated one when `size` is negative. The key
 *    decides the stored form: "tvr", "tsi", "aid", "date", "time", "expiry",
 *    "result_amount", "original_date_time" and "loyalty_card_number" travel
 *    as hexadecimal text; "receipt_number", "cardholder_id_type" and
 *    "entry_mode" as 16-bit integers; "original_amount" as BCD.
 * 3. Buffers. DARirGet with a NULL buffer returns the size the value needs,
 *    one byte more than its length. With a buffer it copies the value
 *    WITHOUT a terminating zero and returns the number of bytes copied; the
 *    buffer must be larger than the value. The library never keeps a
 *    caller's buffer and the caller never frees anything the library made.
 * 4. Result codes. 0 success; -1 general failure (bad key, too small buffer,
 *    run that could not start); -2 NULL session (DARirSet, DARirGet,
 *    DARirRun); -3 NULL key (DARirGet). DARirRun otherwise returns the
 *    operation's result code as reported by the terminal ("response_code"),
 *    999 when the terminal never reported one.
 * 5. Threads. The library starts no threads. DARirRun blocks the calling
 *    thread for the whole operation; Stop may be called from another thread
 *    while it runs. Set, Get and Clear must not overlap a run of the same
 *    session. Stop(NULL) stops the session of the legacy call in progress
 *    (6. below), and does nothing when there is none.
 * 6. Legacy calls. ProcessOw, ProcessOwId, ProcessOwFull and ProcessOwIdFull
 *    run one whole operation on a caller-owned structure: the operation code
 *    and the non-empty input fields go in (a text field counts when its first
 *    byte is not zero and ends at its first zero byte or at the end of the
 *    field), results come back into the same structure. Output fields get at
 *    most their documented number of bytes, with NO terminating zero; the
 *    bytes after a copied value keep what the caller put there, so clear the
 *    structure before the call. Reserved ranges are never touched. Each call
 *    makes and deletes its own session; one legacy call at a time per
 *    process, since Stop(NULL) reaches only the one registered last.
 *    Results: the operation's result code; -1 from the *Full calls when the
 *    size given is above sizeof(UserAuthIntFull) or too small to hold the
 *    operation code; -3 after a failure whose reason is printed to standard
 *    output ("ERROR: ProcessOw: ..." / "ERROR: ProcessOwFull: ..."); -4 after
 *    any other failure. The *Full calls read and write nothing at or beyond
 *    the size given; an input field that the size cuts is not read. An
 *    identifier, when not NULL, is the pinpad identifier sent to a TCP relay
 *    ("ORVEX_ID") and the suffix of the result files.
 * 7. Service commands. DARirRunCmd(pos, command, argument, size) runs one
 *    named command with one text argument: `size` bytes of `argument`, or a
 *    NUL-terminated argument when `size` is negative (one of 500 bytes or
 *    more must then come with its size). With "UTF8" above 0 in the main
 *    section of darir.ini the argument is converted from UTF-8 to CP1251.
 *    Commands: "TEST_PING" tests the link to the terminal (argument "1"
 *    switches the engine's logs off); "SETTINGS" sends the terminal one
 *    setting, argument "KEY:VALUE" (the value may hold more colons);
 *    "DLG_DIRECT" drives the terminal's screen and keyboard and
 *    "PROXY_MODE" uses the terminal as a network proxy: "START" opens the
 *    mode, every other argument is one request of it, "END" closes it.
 *    Direct dialog requests: CLEAR, WRITE[|text | |row|text |
 *    |row|col|text], READ[|length | |row|mask | |row|col|mask|timeout|length],
 *    READKEY[|timeout], MENU[|caption|item...], RESTART; input is left in
 *    "DATA_INPUT", "KEY_INPUT" and "MENU_SELECT". Proxy requests:
 *    GETAPLIST ("AP_LIST"), CONNECT[|access point], SEND[|data],
 *    RECV[|size] ("PROXY_RECV"), DISCONNECT. In both modes NAME=VALUE stores
 *    a value ("ROW", "COL", "LINE", "MASK", "TIMEOUT", "LENGTH", "CAPTION",
 *    "MENU", "AP_NAME", "PROXY_SEND", "RECV_SIZE") that a request without
 *    its parameter uses; read results with DARirGet. The session holds the
 *    terminal while a mode is open (a run or a link test on the same
 *    terminal then waits for it as for any other run, up to PPAD_LOCK_TO,
 *    and fails with -1); DeleteDARir closes open modes. The commands
 *    leave the last operation's slip, result files and result values
 *    alone.
 *    Results: 0 done; -1 NULL session, unknown or empty command, bad
 *    argument ("SETTINGS" without ":"), TCP link failed, no answer in time,
 *    wrong answer, "START" on an open mode, a request on a closed one (a
 *    failed request closes the mode; so do a refused "START" and a lost
 *    link); -2 serial link failed or no answer to the link test or
 *    settings, and in a mode the terminal ended the session or sent no
 *    input (also a refused "CONNECT", "SEND" or "DISCONNECT"); -3 the port
 *    name is neither "ETH" nor a serial device.
 */
#ifndef VELPAD_API_VELPAD_H
#define VELPAD_API_VELPAD_H

#if defined(__GNUC__)
#define VELPAD_EXPORT __attribute__((visibility("default")))
#else
#define VELPAD_EXPORT
#endif

#include <stdint.h>

#ifdef __cplusplus
class DARir;
extern "C" {
#else
typedef struct DARir DARir;
#endif

#pragma pack(push, 1)

/* The short authorization structure (976 bytes; integers in machine order).
   Field names are the names of the values they carry. */
typedef struct UserAuthInt {
    char reserved_0[8];
    int32_t operation; /* 8: operation code */
    char rfu[60];      /* 12: in text, out up to 60 bytes */
    char pan[20];      /* 72: in text, out up to 20 */
    char expiry[5];    /* 92: in digits, out digits up to 5 */
    char reserved_97[20];
    char settings[80];        /* 117: "PORT=..." overrides the port */
    char amount[13];          /* 197: in amount, out result_amount (12) */
    char original_amount[13]; /* 210: in digits, out digits up to 13 */
    char currency[4];         /* 223: in text */
    char terminal_id[9];      /* 227: in/out text, 9 */
    char rrn[13];             /* 236: in/out text, 13 */
    char auth_code[9];        /* 249: in/out text, 9 */
    char response_code[4];    /* 258: in text, out up to 3 */
    char card_type[80];       /* 262: out text, 80 */
    char date[7];             /* 342: in text */
    char time[7];             /* 349: in text */
    char reserved_356[150];
    char received_text_message[80]; /* 506: in/out text, 80 */
    char text_message[80];          /* 586: out text, 80 */
    char aid[80];                   /* 666: out digits, 79 */
    char application_label[80];     /* 746: out text, 80 */
    char tvr[80];                   /* 826: out digits, 79 */
    char reserved_906[6];
    char enc_data[64]; /* 912: in enc_data, out result_enc_data */
} UserAuthInt;

/* The full authorization structure (3284 bytes). */
typedef struct UserAuthIntFull {
    char reserved_0[8];
    int32_t operation; /* 8: operation code */
    char rfu[60];      /* 12: in text, out up to 59 bytes */
    char pan[20];      /* 72: in text, out up to 19 */
    char expiry[5];    /* 92: in digits, out digits up to 4 */
    char reserved_97[100];
    char amount[13];          /* 197: in amount, out result_amount (12) */
    char original_amount[13]; /* 210: in/out digits, out up to 12 */
    char currency[4];         /* 223: in/out text, out up to 3 */
    char terminal_id[9];      /* 227: in/out text, out up to 8 */
    char rrn[13];             /* 236: in/out text, out up to 12 */
    char auth_code[9];        /* 249: in/out text, out up to 8 */
    char response_code[4];    /* 258: in/out text, out up to 4 */
    char card_type[80];       /* 262: out text, 79 */
    char date[7];             /* 342: in text, out digits up to 6 */
    char time[7];             /* 349: in text, out digits up to 6 */
    char reserved_356[150];
    char received_text_message[80]; /* 506: in/out text, out up to 79 */
    char text_message[80];          /* 586: out text, 79 */
    char aid[80];                   /* 666: out digits, 79 */
    char application_label[80];     /* 746: out text, 79 */
    char tvr[80];                   /* 826: out digits, 79 */
    char reserved_906[4];
    uint16_t receipt_number; /* 910: in when not 0, out when known */
    char reserved_912[259];
    char enc_data[64]; /* 1171: in enc_data, out result_enc_data */
    char reserved_1235[239];
    char trace_id[61];           /* 1474: in/out text, out up to 60 */
    char original_date_time[13]; /* 1535: in/out digits, out up to 12 */
    char reserved_1548[258];
    char transaction_id[19]; /* 1806: in/out text, 19 */
    char reserved_1825[1156];
    uint32_t loyalty_code; /* 2981: in when not 0, out when known */
    char cash_amount[14];  /* 2985: in/out text, out up to 13 */
    char bank_id[19];      /* 2999: out text, 19 */
    char reserved_3018[266];
} UserAuthIntFull;

#pragma pack(pop)

VELPAD_EXPORT DARir* CreateDARir(void);
VELPAD_EXPORT DARir* GetDARir(void);
VELPAD_EXPORT void DeleteDARir(DARir* pos);
VELPAD_EXPORT int DARirSet(DARir* pos, const char* key, const char* value, int size);
VELPAD_EXPORT int DARirGet(DARir* pos, const char* key, char* buffer, int size);
VELPAD_EXPORT int DARirRun(DARir* pos, int operation);
VELPAD_EXPORT int DARirRunCmd(DARir* pos, const char* command, const char* argument, int size);
VELPAD_EXPORT void DARirClear(DARir* pos);
VELPAD_EXPORT void Stop(DARir* pos);

VELPAD_EXPORT int ProcessOw(UserAuthInt* auth);
VELPAD_EXPORT int ProcessOwId(const char* id, UserAuthInt* auth);
VELPAD_EXPORT int ProcessOwFull(UserAuthIntFull* auth, int size);
VELPAD_EXPORT int ProcessOwIdFull(const char* id, UserAuthIntFull* auth, int size);

#ifdef __cplusplus
}

/* The older C++ entry points, kept for programs built against them: the
   structure is a UserAuthInt; only amount and currency go in, and only pan,
   expiry, terminal_id, rrn, card_type, date, time, received_text_message and
   response_code come back (each when it fits its field). No session is
   registered for Stop(NULL). ProcessOwEx ignores its second argument. */
VELPAD_EXPORT int ProcessOw(void* auth);
VELPAD_EXPORT int ProcessOwEx(void* auth, void* unused);
#endif

#endif
