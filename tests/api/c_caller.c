/*
 * A caller written in C: includes velpad.h, links the shared library and
 * walks the calling order a foreign host follows (create, set, size query,
 * get, clear, delete), checking each answer.
 */
#define _DEFAULT_SOURCE
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "api/velpad.h"
#include "c_check.h"

/* Reads `key` into a buffer of the reported size; the value is the first
   returned-count bytes, with a zero added by the caller. */
static char* read_value(DARir* pos, const char* key) {
    int size = DARirGet(pos, key, NULL, -1);
    if (size <= 0) return NULL;
    char* buffer = calloc((size_t)size, 1);
    if (buffer == NULL) return NULL;
    int copied = DARirGet(pos, key, buffer, size);
    if (copied < 0 || copied >= size) {
        free(buffer);
        return NULL;
    }
    buffer[copied] = '\0';
    return buffer;
}

static void walk_session(void) {
    DARir* pos = CreateDARir();
    check(pos != NULL, "CreateDARir gives a session");
    if (pos == NULL) return;
    check(DARirSet(pos, "amount", "10000", -1) == 0, "set amount");
    check(DARirSet(pos, "currency", "643", 3) == 0, "set currency with a length");
    check(DARirGet(pos, "amount", NULL, -1) == 6, "size of amount");
    char* amount = read_value(pos, "amount");
    check(amount != NULL && strcmp(amount, "10000") == 0, "amount reads back");
    free(amount);
    char tiny[2];
    check(DARirGet(pos, "amount", tiny, sizeof tiny) == -1, "too small buffer refused");
    check(DARirGet(pos, NULL, tiny, sizeof tiny) == -3, "null key");
    DARirClear(pos);
    check(DARirGet(pos, "amount", NULL, -1) == 1, "cleared");
    Stop(pos);
    DeleteDARir(pos);
}

static void null_session(void) {
    check(DARirRun(NULL, 1) == -2, "run without session");
    check(DARirRunCmd(NULL, "TEST", "", 0) == -1, "command without session");
    check(DARirSet(NULL, "amount", "1", -1) == -2, "set without session");
    check(DARirGet(NULL, "amount", NULL, -1) == -2, "get without session");
    DARirClear(NULL);
    Stop(NULL);
    DeleteDARir(NULL);
    DARir* other = GetDARir();
    check(other != NULL, "GetDARir gives a session");
    DeleteDARir(other);
}

int main(void) {
    /* A fresh working directory: no settings are found and logs stay there. */
    char root[] = "/tmp/velpad-c-XXXXXX";
    if (mkdtemp(root) == NULL || chdir(root) != 0) return 2;
    walk_session();
    null_session();
    char command[64];
    snprintf(command, sizeof command, "rm -rf '%s'", root);
    if (chdir("/") != 0 || system(command) != 0) fprintf(stderr, "cannot remove %s\n", root);
    return report("c_caller");
}
