/* A program built against an installed libvelpad: it includes <velpad.h>,
   keeps a value in a session and reads it back through the exported calls. */
#include <stdio.h>
#include <string.h>
#include <velpad.h>

int main(void) {
    DARir* pos = CreateDARir();
    char value[16] = {0};
    int size;
    if (pos == NULL) return 1;
    if (DARirSet(pos, "amount", "1500", -1) != 0) return 2;
    size = DARirGet(pos, "amount", NULL, -1);
    if (size != 5 || DARirGet(pos, "amount", value, size) != 4) return 3;
    DeleteDARir(pos);
    if (strcmp(value, "1500") != 0) return 4;
    puts("velpad: amount=1500");
    return 0;
}
