/*
 * Preloaded in front of libvelpad when velrun runs under test. It records
 * every call velrun makes into the file named by VELRUN_SHIM_LOG and, on
 * request, changes what a call answers:
 *   VELRUN_SHIM_NULL_SESSION  CreateDARir returns NULL;
 *   VELRUN_SHIM_FAIL_SET=key  DARirSet refuses that key;
 *   VELRUN_SHIM_EMPTY_GET=key DARirGet answers 0 for that key;
 *   VELRUN_SHIM_RUN=mode      DARirRun does, instead of running:
 *     "result:RC"  stores the tags of VELRUN_SHIM_TAGS ("k=v;k=v") in the
 *                  real session and returns RC;
 *     "wait"       writes "shim: waiting" to standard error, waits for one
 *                  handled signal, returns 5;
 *     "segv", "fpe", "abort"  faults in the way named.
 * Everything else is passed on to the real library.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "api/velpad.h"

static int* volatile null_target;
static volatile int zero_divisor;
static volatile int dividend = 1;

static void* real(const char* name) {
    return dlsym(RTLD_NEXT, name);
}

static void record(const char* format, ...) {
    const char* path = getenv("VELRUN_SHIM_LOG");
    FILE* file = path ? fopen(path, "a") : NULL;
    if (!file) return;
    va_list args;
    va_start(args, format);
    vfprintf(file, format, args);
    va_end(args);
    fputc('\n', file);
    fclose(file);
}

static int is_env(const char* name, const char* value) {
    const char* set = getenv(name);
    return set != NULL && value != NULL && strcmp(set, value) == 0;
}

DARir* CreateDARir(void) {
    record("create");
    if (getenv("VELRUN_SHIM_NULL_SESSION")) return NULL;
    return ((DARir * (*)(void)) real("CreateDARir"))();
}

void DeleteDARir(DARir* pos) {
    record(pos ? "delete" : "delete null");
    ((void (*)(DARir*))real("DeleteDARir"))(pos);
}

static int real_set(DARir* pos, const char* key, const char* value, int size) {
    return ((int (*)(DARir*, const char*, const char*, int))real("DARirSet"))(pos, key, value,
                                                                              size);
}

int DARirSet(DARir* pos, const char* key, const char* value, int size) {
    record("set %s=%s %d", key, value, size);
    if (is_env("VELRUN_SHIM_FAIL_SET", key)) return -1;
    return real_set(pos, key, value, size);
}

int DARirGet(DARir* pos, const char* key, char* buffer, int size) {
    record(buffer ? "get %s %d" : "size %s %d", key, size);
    if (is_env("VELRUN_SHIM_EMPTY_GET", key)) return 0;
    return ((int (*)(DARir*, const char*, char*, int))real("DARirGet"))(pos, key, buffer, size);
}

/* Stores "k=v;k=v" as tags of the real session. */
static void store_tags(DARir* pos, const char* list) {
    char copy[1024];
    snprintf(copy, sizeof copy, "%s", list ? list : "");
    char* rest = copy;
    for (char* item = strsep(&rest, ";"); item != NULL; item = strsep(&rest, ";")) {
        char* value = strchr(item, '=');
        if (value == NULL) continue;
        *value++ = '\0';
        real_set(pos, item, value, -1);
    }
}

/* Announces the wait only once every signal is blocked, then unblocks and
   waits in one step, so no signal can slip in between. */
static int wait_for_signal(void) {
    sigset_t all, before;
    sigfillset(&all);
    sigprocmask(SIG_BLOCK, &all, &before);
    static const char marker[] = "shim: waiting\n";
    /* A failed write (standard error closed) raises a broken pipe signal,
       which is then the signal waited for. */
    const ssize_t written = write(STDERR_FILENO, marker, sizeof marker - 1);
    (void)written;
    sigsuspend(&before);
    sigprocmask(SIG_SETMASK, &before, NULL);
    return 5;
}

int DARirRun(DARir* pos, int operation) {
    record("run %d", operation);
    const char* mode = getenv("VELRUN_SHIM_RUN");
    if (mode == NULL) return ((int (*)(DARir*, int))real("DARirRun"))(pos, operation);
    if (strncmp(mode, "result:", 7) == 0) {
        store_tags(pos, getenv("VELRUN_SHIM_TAGS"));
        return atoi(mode + 7);
    }
    if (strcmp(mode, "wait") == 0) return wait_for_signal();
    if (strcmp(mode, "segv") == 0) *null_target = 1;
    if (strcmp(mode, "fpe") == 0) return dividend / zero_divisor;
    if (strcmp(mode, "abort") == 0) abort();
    return -100;
}
