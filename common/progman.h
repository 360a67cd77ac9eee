// The Program Manager client: one DDE conversation per command (Win32, shared).
#ifndef ZELK_COMMON_PROGMAN_H
#define ZELK_COMMON_PROGMAN_H

#include <stddef.h>

// Forming the command strings (portable, in progman_command.cpp). Each writes into out and
// returns false when the command would not fit (out empty): such a command is never sent.
bool FormatCreateGroup(char* out, size_t size, const char* name, const char* groupFile);
bool FormatShowGroup(char* out, size_t size, const char* name, unsigned showCommand);
bool FormatAddItem(char* out, size_t size, const char* commandLine, const char* name,
                   const char* iconPath, unsigned iconIndex);
bool FormatDeleteItem(char* out, size_t size, const char* name);
bool FormatDeleteGroup(char* out, size_t size, const char* name);
// Program Manager's group description "name,file,count...": true when count is "0".
bool GroupDataIsEmpty(const char* data, size_t length);
// True when a line of the group description after the first names item ("item",...).
bool GroupDataHoldsItem(const char* data, size_t length, const char* item);

constexpr size_t kProgmanCommandSize = 256;

// 1 when a conversation came about and the command was sent, else 0.
int ProgmanExecute(const char* command);
int ProgmanCreateGroup(const char* name, const char* groupFile);
int ProgmanShowGroup(const char* name, unsigned showCommand);
int ProgmanAddItem(const char* commandLine, const char* name, const char* iconPath, unsigned iconIndex);
int ProgmanDeleteItem(const char* name);
int ProgmanDeleteGroup(const char* name);
// Program Manager's answer to the question about a group's contents. A Program Manager that
// keeps its groups as Start-menu folders may answer nothing at all.
enum class GroupAnswer { Empty, HasItems, NoAnswer };
GroupAnswer ProgmanAskGroup(const char* name);
// Whether Program Manager lists an item of that name in the group. A description too long
// to look through counts as holding it.
enum class ItemAnswer { Held, NotHeld, NoAnswer };
ItemAnswer ProgmanAskItem(const char* group, const char* item);
// 1 when Program Manager reports the group with no items; 0 otherwise (also on no answer).
int ProgmanGroupIsEmpty(const char* name);

#endif
