// A file with given bytes in the temporary folder, removed again when the test ends.
#ifndef ZELK_TESTS_TEMP_FILE_H
#define ZELK_TESTS_TEMP_FILE_H

#include <stdio.h>

#include <filesystem>
#include <string>

class TempFile {
public:
    explicit TempFile(const std::string& bytes, const char* name = "zelk_test.txt") {
        path_ = (std::filesystem::temp_directory_path() / name).string();
        FILE* file = fopen(path_.c_str(), "wb");
        if (file != nullptr) {
            fwrite(bytes.data(), 1, bytes.size(), file);
            fclose(file);
        }
    }
    ~TempFile() { std::filesystem::remove(path_); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* path() const { return path_.c_str(); }

    // Everything the file holds now.
    std::string Read() const {
        std::string bytes;
        if (FILE* file = fopen(path_.c_str(), "rb")) {
            char buffer[4096];
            size_t n;
            while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
            fclose(file);
        }
        return bytes;
    }

private:
    std::string path_;
};

#endif
