/* Counting checks for the test programs written in C: each failed check is
   named on standard error; the program's exit status says whether all held. */
#ifndef VELPAD_TESTS_API_C_CHECK_H
#define VELPAD_TESTS_API_C_CHECK_H

#include <stdio.h>

static int passed;
static int failed;

static void check(int condition, const char* what) {
    if (condition) {
        ++passed;
    } else {
        ++failed;
        fprintf(stderr, "failed: %s\n", what);
    }
}

/* Prints the tally under the program's name; the exit status of main. */
static int report(const char* program) {
    printf("%s: %d passed, %d failed\n", program, passed, failed);
    return failed == 0 ? 0 : 1;
}

#endif
