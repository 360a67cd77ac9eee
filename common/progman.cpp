// The Program Manager DDE client. Each operation opens its own DDE instance and
// conversation and closes both again, so no state survives between calls.
#include <windows.h>
#include <ddeml.h>

#include "progman.h"
#include "wintext.h"

namespace {

constexpr DWORD kTimeout = 1000;       // ms, for every transaction
constexpr DWORD kMaxGroupData = 1024;  // the group description that is looked at

HDDEDATA CALLBACK DdeCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// A client-only DDE instance with one conversation with "PROGMAN" on topic "PROGMAN".
class ProgmanConversation {
public:
    ProgmanConversation() {
        if (win::DdeInitialize(&instance_, DdeCallback, CBF_FAIL_ALLSVRXACTIONS) != DMLERR_NO_ERROR) {
            instance_ = 0;
            return;
        }
        HSZ name = win::DdeCreateStringHandle(instance_, "PROGMAN");
        if (name != nullptr) {
            conversation_ = DdeConnect(instance_, name, name, nullptr);
            DdeFreeStringHandle(instance_, name);
        }
    }
    ~ProgmanConversation() {
        if (conversation_ != nullptr) DdeDisconnect(conversation_);
        if (instance_ != 0) DdeUninitialize(instance_);
    }
    ProgmanConversation(const ProgmanConversation&) = delete;
    ProgmanConversation& operator=(const ProgmanConversation&) = delete;

    bool Connected() const { return conversation_ != nullptr; }
    DWORD instance() const { return instance_; }
    HCONV conversation() const { return conversation_; }

private:
    DWORD instance_ = 0;
    HCONV conversation_ = nullptr;
};

bool HasText(const char* s) { return s != nullptr && s[0] != '\0'; }

}  // namespace

int ProgmanExecute(const char* command) {
    ProgmanConversation dde;
    if (!dde.Connected()) return 0;
    // The command text with its terminating zero, no item, no clipboard format. The
    // transaction takes the data handle over; Program Manager's answer is not examined.
    HDDEDATA data = win::DdeCreateCommandHandle(dde.instance(), command);
    if (data != nullptr) {
        DdeClientTransaction(reinterpret_cast<BYTE*>(data), static_cast<DWORD>(-1),
                             dde.conversation(), nullptr, 0, XTYP_EXECUTE, kTimeout, nullptr);
    }
    return 1;
}

// A command that does not fit its buffer is never sent, and counts as not sent.
int ProgmanCreateGroup(const char* name, const char* groupFile) {
    char command[kProgmanCommandSize];
    if (!FormatCreateGroup(command, sizeof command, name ? name : "", groupFile)) return 0;
    return ProgmanExecute(command);
}

int ProgmanShowGroup(const char* name, unsigned showCommand) {
    char command[kProgmanCommandSize];
    if (!HasText(name) || !FormatShowGroup(command, sizeof command, name, showCommand)) return 0;
    return ProgmanExecute(command);
}

int ProgmanAddItem(const char* commandLine, const char* name, const char* iconPath, unsigned iconIndex) {
    char command[kProgmanCommandSize];
    if (!FormatAddItem(command, sizeof command, commandLine ? commandLine : "", name ? name : "",
                       iconPath, iconIndex)) {
        return 0;
    }
    return ProgmanExecute(command);
}

int ProgmanDeleteItem(const char* name) {
    char command[kProgmanCommandSize];
    if (!HasText(name) || !FormatDeleteItem(command, sizeof command, name)) return 0;
    return ProgmanExecute(command);
}

int ProgmanDeleteGroup(const char* name) {
    char command[kProgmanCommandSize];
    if (!HasText(name) || !FormatDeleteGroup(command, sizeof command, name)) return 0;
    return ProgmanExecute(command);
}

// Program Manager's description of the group into text (size bytes, terminated). Its
// length; 0 when there is no answer, size or more when it does not fit (text then empty).
static DWORD RequestGroup(const char* name, char* text, DWORD size) {
    text[0] = '\0';
    if (!HasText(name)) return 0;
    DWORD length = 0;
    ProgmanConversation dde;
    if (!dde.Connected()) return 0;
    HSZ item = win::DdeCreateStringHandle(dde.instance(), name);
    if (item == nullptr) return 0;
    HDDEDATA data = DdeClientTransaction(nullptr, 0, dde.conversation(), item, CF_TEXT,
                                         XTYP_REQUEST, kTimeout, nullptr);
    if (data != nullptr) {
        length = win::DdeGetText(data, text, size);
        DdeFreeDataHandle(data);
    }
    DdeFreeStringHandle(dde.instance(), item);
    return length;
}

GroupAnswer ProgmanAskGroup(const char* name) {
    char text[kMaxGroupData + 1];
    DWORD length = RequestGroup(name, text, sizeof text);
    if (length == 0) return GroupAnswer::NoAnswer;
    // More than is looked at is an answer all the same, read as "not empty": the group stays.
    if (length > kMaxGroupData) return GroupAnswer::HasItems;
    return GroupDataIsEmpty(text, length) ? GroupAnswer::Empty : GroupAnswer::HasItems;
}

ItemAnswer ProgmanAskItem(const char* group, const char* item) {
    // A group of many items: room for about a hundred of their lines.
    static char text[16384];
    DWORD length = RequestGroup(group, text, sizeof text);
    if (length == 0) return ItemAnswer::NoAnswer;
    if (length >= sizeof text) return ItemAnswer::Held;
    return GroupDataHoldsItem(text, length, item) ? ItemAnswer::Held : ItemAnswer::NotHeld;
}

int ProgmanGroupIsEmpty(const char* name) {
    return ProgmanAskGroup(name) == GroupAnswer::Empty ? 1 : 0;
}
