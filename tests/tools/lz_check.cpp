// Expands every "*.da_" of the current folder with the system's LZ library and compares the
// result with the "*.dat" beside it, the way setup reads a compressed source: LZOpenFileA,
// the expanded size by LZSeek to the end, then LZCopy from the start. Proves that what the
// medium builder's compressor writes expands byte for byte.
//
// Usage (in the folder): lz_check.exe   — exit 0 when every pair matches (and there is one).
#include <windows.h>
#include <lzexpand.h>

#include <stdio.h>
#include <string.h>

#include <string>

static std::string ReadAll(const char* path) {
    std::string data;
    FILE* file = fopen(path, "rb");
    if (file == nullptr) return "<missing>";
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) data.append(buffer, got);
    fclose(file);
    return data;
}

// Empty when the pair matches, else what went wrong.
static std::string CheckPair(const std::string& compressed, const std::string& plain) {
    std::string expected = ReadAll(plain.c_str());
    OFSTRUCT info;
    INT source = LZOpenFileA(const_cast<char*>(compressed.c_str()), &info, OF_READ);
    if (source < 0) return "LZOpenFileA failed: " + std::to_string(source);
    LONG size = LZSeek(source, 0, 2);
    LZSeek(source, 0, 0);
    const std::string expanded = "expanded.tmp";
    OFSTRUCT outInfo;
    INT dest = LZOpenFileA(const_cast<char*>(expanded.c_str()), &outInfo, OF_CREATE);
    if (dest < 0) {
        LZClose(source);
        return "cannot create " + expanded;
    }
    LONG copied = LZCopy(source, dest);
    LZClose(source);
    LZClose(dest);
    std::string got = ReadAll(expanded.c_str());
    DeleteFileA(expanded.c_str());
    if (size != static_cast<LONG>(expected.size())) {
        return "LZSeek size " + std::to_string(size) + ", plain size " + std::to_string(expected.size());
    }
    if (copied != static_cast<LONG>(expected.size())) return "LZCopy gave " + std::to_string(copied);
    if (got != expected) {
        size_t at = 0;
        while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
        return "expanded bytes differ from offset " + std::to_string(at);
    }
    return std::string();
}

int main() {
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA("*.da_", &data);
    if (search == INVALID_HANDLE_VALUE) {
        printf("no *.da_ files here\n");
        return 1;
    }
    int pairs = 0;
    int failures = 0;
    do {
        std::string compressed = data.cFileName;
        std::string plain = compressed.substr(0, compressed.size() - 1) + "t";
        std::string problem = CheckPair(compressed, plain);
        ++pairs;
        if (!problem.empty()) ++failures;
        printf("%s %s%s%s\n", problem.empty() ? "ok  " : "FAIL", compressed.c_str(),
               problem.empty() ? "" : ": ", problem.c_str());
    } while (FindNextFileA(search, &data));
    FindClose(search);
    printf("%d pair(s), %d failure(s)\n", pairs, failures);
    return failures == 0 ? 0 : 1;
}
