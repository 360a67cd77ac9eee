// ByteFile's writing on the system's file calls (Win32): the record writer's, in setup.
#include "file.h"

#include <windows.h>
#include "wintext.h"

bool ByteFile::CreateForWriting(const char* path) {
    Close();
    HANDLE file = win::CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    handle_ = file == INVALID_HANDLE_VALUE ? nullptr : file;
    return handle_ != nullptr;
}

bool ByteFile::Write(const void* data, size_t size) {
    DWORD written = 0;
    return handle_ != nullptr && WriteFile(handle_, data, size, &written, nullptr) && written == size;
}
