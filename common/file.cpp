// ByteFile on the system's file calls (Win32).
#include "file.h"

#include <windows.h>
#include "wintext.h"

namespace {

void* Opened(HANDLE file) { return file == INVALID_HANDLE_VALUE ? nullptr : file; }

}  // namespace

bool ByteFile::OpenForReading(const char* path) {
    Close();
    handle_ = Opened(win::CreateFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle_ != nullptr;
}

bool ByteFile::CreateForWriting(const char* path) {
    Close();
    handle_ = Opened(win::CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return handle_ != nullptr;
}

size_t ByteFile::Read(void* buffer, size_t size) {
    DWORD read = 0;
    if (handle_ == nullptr || !ReadFile(handle_, buffer, size, &read, nullptr)) return 0;
    return read;
}

bool ByteFile::Write(const void* data, size_t size) {
    DWORD written = 0;
    return handle_ != nullptr && WriteFile(handle_, data, size, &written, nullptr) && written == size;
}

bool ByteFile::Close() {
    if (handle_ == nullptr) return true;
    bool closed = CloseHandle(handle_) != FALSE;
    handle_ = nullptr;
    return closed;
}
