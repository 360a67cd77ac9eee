// The Program Manager DDE client.
#include <windows.h>
#include "progman.h"

int ProgmanExecute(const char*) { return 0; }
int ProgmanCreateGroup(const char*, const char*) { return 0; }
int ProgmanShowGroup(const char*, unsigned) { return 0; }
int ProgmanAddItem(const char*, const char*, const char*, unsigned) { return 0; }
int ProgmanDeleteItem(const char*) { return 0; }
int ProgmanDeleteGroup(const char*) { return 0; }
int ProgmanGroupIsEmpty(const char*) { return 0; }
