// ByteFile on the system's file calls (Win32): reading; the writing, which setup alone does,
// is in file_write.cpp, so that the uninstaller carries none of it.
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

size_t ByteFile::Read(void* buffer, size_t size) {
    DWORD read = 0;
    if (handle_ == nullptr || !ReadFile(handle_, buffer, size, &read, nullptr)) return 0;
    return read;
}

bool ByteFile::Close() {
    if (handle_ == nullptr) return true;
    bool closed = CloseHandle(handle_) != FALSE;
    handle_ = nullptr;
    return closed;
}
