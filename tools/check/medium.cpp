// Windows paths on the medium, looked up in a Linux folder.
#include "medium.h"

#include <dirent.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <vector>

#include "common/textsub.h"
#include "sjis.h"

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    }
    return true;
}

// Components of a Windows path (without its drive), split at "\" and "/" that are
// characters of their own; "." dropped and ".." taken back, as Windows reads them.
void AddComponents(const std::string& path, std::vector<std::string>* parts) {
    std::string part;
    auto flush = [&]() {
        // Windows ignores trailing dots and blanks of a name.
        while (!part.empty() && part != "." && part != ".." && (part.back() == '.' || part.back() == ' ')) {
            part.pop_back();
        }
        if (part == "..") {
            if (!parts->empty()) parts->pop_back();
        } else if (!part.empty() && part != ".") {
            parts->push_back(part);
        }
        part.clear();
    };
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            part += path.substr(i, 2);
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            flush();
        } else {
            part += path[i];
        }
    }
    flush();
}

bool IsFolder(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The entry of folder whose name is name (UTF-8) without regard to ASCII case; an exact
// match first. Empty when there is none.
std::string FindEntry(const std::string& folder, const std::string& name) {
    struct stat info;
    if (lstat((folder + "/" + name).c_str(), &info) == 0) return name;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return std::string();
    std::string found;
    while (struct dirent* entry = readdir(dir)) {
        if (SameIgnoringCase(entry->d_name, name)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

}  // namespace

MediumFolder::MediumFolder(const std::string& folder, const std::string& setupDir)
    : root_(folder), drive_('D') {
    char* real = realpath(folder.c_str(), nullptr);
    if (real != nullptr) {
        root_ = real;
        free(real);
    }
    std::string rest = setupDir;
    if (rest.size() >= 2 && rest[1] == ':') {
        drive_ = UpperAscii(rest[0]);
        rest = rest.substr(2);
    }
    std::vector<std::string> parts;
    AddComponents(rest, &parts);
    // The folders above the Linux folder stand for those above setup's folder.
    for (const std::string& part : parts) {
        size_t slash = root_.find_last_of('/');
        root_ = slash == 0 || slash == std::string::npos ? "/" : root_.substr(0, slash);
        setupParts_ += "\\" + part;
    }
}

FoundFile MediumFolder::Find(const std::string& windowsPath) const {
    FoundFile result{FoundFile::kMissing, std::string(), std::string(), 0};
    std::string path = windowsPath;
    std::vector<std::string> parts;
    if (path.size() >= 2 && path[1] == ':') {
        char drive = UpperAscii(path[0]);
        if (drive != drive_) {
            result.status = FoundFile::kOtherDrive;
            result.drive = drive;
            return result;
        }
        path = path.substr(2);
        // "D:name" is relative to the current folder of D:, which is setup's own.
        if (path.empty() || (path[0] != '\\' && path[0] != '/')) AddComponents(setupParts_, &parts);
    } else if (path.empty() || (path[0] != '\\' && path[0] != '/')) {
        AddComponents(setupParts_, &parts);
    }
    AddComponents(path, &parts);

    std::string linux = root_;
    for (size_t i = 0; i < parts.size(); ++i) {
        std::string name;
        if (!SjisToUtf8(parts[i], &name)) name = ShowSjis(parts[i]);
        result.relative += (i ? "/" : "") + name;
        std::string entry = FindEntry(linux, name);
        if (entry.empty()) {
            result.linuxPath = linux + "/" + name;
            for (size_t j = i + 1; j < parts.size(); ++j) {
                std::string more;
                if (!SjisToUtf8(parts[j], &more)) more = ShowSjis(parts[j]);
                result.relative += "/" + more;
            }
            return result;
        }
        linux += "/" + entry;
    }
    result.linuxPath = linux;
    result.status = parts.empty() || IsFolder(linux) ? FoundFile::kFolder : FoundFile::kFound;
    return result;
}
