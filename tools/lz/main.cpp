// zelk-compress: LZ-compresses a file into the SZDD format setup expands.
//
//   zelk-compress INPUT OUTPUT [NAME]
//
// NAME is the name the file is installed under; its last character goes into the header,
// where the system's expander finds the character that "_" replaced (default: INPUT's).
#include <stdio.h>
#include <string.h>

#include <vector>

#include "szdd.h"

namespace {

bool ReadAll(const char* path, std::vector<uint8_t>* data) {
    FILE* file = fopen(path, "rb");
    if (file == nullptr) return false;
    uint8_t buffer[1 << 16];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) data->insert(data->end(), buffer, buffer + got);
    bool ok = ferror(file) == 0;
    fclose(file);
    return ok;
}

bool WriteAll(const char* path, const std::vector<uint8_t>& data) {
    FILE* file = fopen(path, "wb");
    if (file == nullptr) return false;
    bool ok = fwrite(data.data(), 1, data.size(), file) == data.size();
    return fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        fputs("usage: zelk-compress INPUT OUTPUT [NAME]\n", stderr);
        return 2;
    }
    const char* name = argc == 4 ? argv[3] : argv[1];
    const char* slash = strrchr(name, '/');
    if (slash != nullptr) name = slash + 1;
    size_t length = strlen(name);
    char lastChar = length > 0 ? name[length - 1] : 0;

    std::vector<uint8_t> data;
    if (!ReadAll(argv[1], &data)) {
        fprintf(stderr, "zelk-compress: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<uint8_t> compressed;
    compressed.reserve(data.size() + data.size() / 8 + 16);
    if (!CompressSzdd(data.data(), data.size(), lastChar, &compressed)) {
        fprintf(stderr, "zelk-compress: %s is 4 GiB or more\n", argv[1]);
        return 1;
    }
    if (!WriteAll(argv[2], compressed)) {
        fprintf(stderr, "zelk-compress: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
