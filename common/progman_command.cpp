// Forming Program Manager's DDE command strings (portable).
#include "progman.h"

bool FormatCreateGroup(char* out, size_t, const char*, const char*) { out[0] = '\0'; return false; }
bool FormatShowGroup(char* out, size_t, const char*, unsigned) { out[0] = '\0'; return false; }
bool FormatAddItem(char* out, size_t, const char*, const char*, const char*, unsigned) { out[0] = '\0'; return false; }
bool FormatDeleteItem(char* out, size_t, const char*) { out[0] = '\0'; return false; }
bool FormatDeleteGroup(char* out, size_t, const char*) { out[0] = '\0'; return false; }
bool GroupDataIsEmpty(const char*, size_t) { return false; }
