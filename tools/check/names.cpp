// Name rules for what setup creates on the user's machine.
#include "names.h"

#include <string.h>

#include <vector>

#include "common/textsub.h"

namespace {

constexpr size_t kMaxComponent = 255;  // bytes in one name, as the file systems take it

bool IsSeparator(char c) { return c == '\\'; }

// The components of name, split at backslashes that are characters of their own. A
// trailing Shift-JIS lead byte with nothing after it sets cut.
std::vector<std::string> Components(const std::string& name, bool* cut) {
    std::vector<std::string> parts(1);
    *cut = false;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(c)) {
            if (i + 1 == name.size()) {
                *cut = true;
                parts.back() += name[i];
                break;
            }
            parts.back() += name.substr(i, 2);
            ++i;
        } else if (IsSeparator(name[i])) {
            parts.emplace_back();
        } else {
            parts.back() += name[i];
        }
    }
    return parts;
}

// The single-byte characters of a component (trail bytes left out), for the scans below.
std::string SingleBytes(const std::string& component) {
    std::string bytes;
    for (size_t i = 0; i < component.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(component[i]))) {
            ++i;
            bytes += '\x80';  // stands for a double-byte character
        } else {
            bytes += component[i];
        }
    }
    return bytes;
}

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return s;
}

// CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension.
bool IsDeviceName(const std::string& bytes) {
    std::string base = Upper(bytes.substr(0, bytes.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* device : kDevices) {
        if (base == device) return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '1' && base[3] <= '9';
}

std::string Quoted(char c) { return std::string("\"") + c + "\""; }

std::string ComponentProblem(const std::string& component, NameUse use) {
    std::string bytes = SingleBytes(component);
    if (bytes.empty()) return "an empty name";
    if (component.size() > kMaxComponent) return "a name longer than 255 bytes";
    const char* reserved = use == NameUse::kSource ? "*?\"<>|:" : "*?\"<>|:/";
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) < 0x20) return "a control character";
        if (strchr(reserved, c) != nullptr) return "the character " + Quoted(c) + ", which Windows does not allow in names";
    }
    bool recorded = use == NameUse::kInstalledFile || use == NameUse::kRelativeFile;
    if (recorded) {
        for (char c : bytes) {
            if (c == ',' || c == '=') {
                return "the character " + Quoted(c) + ", which cuts its line in the uninstall record";
            }
        }
    }
    if (use != NameUse::kSource && (bytes.back() == '.' || bytes.back() == ' ')) {
        return "a trailing dot or blank, which Windows removes";
    }
    if (IsDeviceName(bytes)) return "a reserved device name";
    return std::string();
}

}  // namespace

std::string NameProblem(const std::string& name, NameUse use) {
    bool cut = false;
    std::vector<std::string> parts = Components(name, &cut);
    if (cut) return "a Shift-JIS character cut in half at its end";
    bool folders = use == NameUse::kRelativeFile || use == NameUse::kFolder || use == NameUse::kSource;
    if (parts.size() > 1 && !folders) return "a backslash, which Windows does not allow in names";
    for (size_t i = 0; i < parts.size(); ++i) {
        // A source path may go up a level; "." and ".." are not names of their own.
        // Windows reads doubled backslashes as one.
        if (use == NameUse::kSource && (parts[i] == "." || parts[i] == ".." ||
                                        (parts[i].empty() && parts.size() > 1))) {
            continue;
        }
        std::string problem = ComponentProblem(parts[i], use);
        if (!problem.empty()) return problem;
    }
    return std::string();
}

bool IsCompressedName(const std::string& name) {
    bool cut = false;
    std::vector<std::string> parts = Components(name, &cut);
    std::string bytes = SingleBytes(parts.back());
    return !bytes.empty() && bytes.back() == '_';
}

std::string LastComponent(const std::string& path) {
    bool cut = false;
    return Components(path, &cut).back();
}
