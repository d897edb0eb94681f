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
 *    session.
 */
#ifndef VELPAD_API_VELPAD_H
#define VELPAD_API_VELPAD_H

#if defined(__GNUC__)
#define VELPAD_EXPORT __attribute__((visibility("default")))
#else
#define VELPAD_EXPORT
#endif

#ifdef __cplusplus
class DARir;
extern "C" {
#else
typedef struct DARir DARir;
#endif

VELPAD_EXPORT DARir* CreateDARir(void);
VELPAD_EXPORT DARir* GetDARir(void);
VELPAD_EXPORT void DeleteDARir(DARir* pos);
VELPAD_EXPORT int DARirSet(DARir* pos, const char* key, const char* value, int size);
VELPAD_EXPORT int DARirGet(DARir* pos, const char* key, char* buffer, int size);
VELPAD_EXPORT int DARirRun(DARir* pos, int operation);
VELPAD_EXPORT int DARirRunCmd(DARir* pos, const char* command, const char* argument, int size);
VELPAD_EXPORT void DARirClear(DARir* pos);
VELPAD_EXPORT void Stop(DARir* pos);

#ifdef __cplusplus
}
#endif

#endif
