// A Program Manager DDE command, "[Name(a,b,...)]", taken apart: for the stand-in that plays
// Program Manager and for the try-out that replays what it was sent.
#ifndef ZELK_TESTS_TOOLS_PROGMAN_COMMAND_H
#define ZELK_TESTS_TOOLS_PROGMAN_COMMAND_H

#include <string>
#include <vector>

struct ProgmanCommand {
    std::string name;
    std::vector<std::string> args;  // at least one, perhaps empty
};

// Splits "a,b,c" at commas outside double quotes (the quotes stay in the fields).
inline std::vector<std::string> SplitProgmanArguments(const std::string& text) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

// False for text that is not one bracketed command with an argument list.
inline bool ParseProgmanCommand(const std::string& text, ProgmanCommand* command) {
    size_t open = text.find('(');
    size_t close = text.rfind(')');
    if (text.empty() || text[0] != '[' || open == std::string::npos || close == std::string::npos ||
        close < open) {
        return false;
    }
    command->name = text.substr(1, open - 1);
    command->args = SplitProgmanArguments(text.substr(open + 1, close - open - 1));
    return true;
}

#endif
