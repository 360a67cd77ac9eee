// ByteFile on the C library, for the native builds (the tests, fuzzers and publisher's tools).
#include <stdio.h>

#include "file.h"

namespace {

FILE* Stream(void* handle) { return static_cast<FILE*>(handle); }

}  // namespace

bool ByteFile::OpenForReading(const char* path) {
    Close();
    handle_ = fopen(path, "rb");
    return handle_ != nullptr;
}

bool ByteFile::CreateForWriting(const char* path) {
    Close();
    handle_ = fopen(path, "wb");
    return handle_ != nullptr;
}

size_t ByteFile::Read(void* buffer, size_t size) {
    return handle_ ? fread(buffer, 1, size, Stream(handle_)) : 0;
}

bool ByteFile::Write(const void* data, size_t size) {
    return handle_ && fwrite(data, 1, size, Stream(handle_)) == size;
}

bool ByteFile::Close() {
    if (handle_ == nullptr) return true;
    bool closed = fclose(Stream(handle_)) == 0;
    handle_ = nullptr;
    return closed;
}
