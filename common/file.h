// A file read or written as plain bytes: all the portable readers and the record writer
// need from the system. Each build supplies it: the programs on the system's file calls
// (file.cpp), the native builds on the C library (file_native.cpp).
#ifndef ZELK_COMMON_FILE_H
#define ZELK_COMMON_FILE_H

#include <stddef.h>

class ByteFile {
public:
    ByteFile() = default;
    ~ByteFile() { Close(); }
    ByteFile(const ByteFile&) = delete;
    ByteFile& operator=(const ByteFile&) = delete;

    // Opens an existing file for reading; other processes may read and write it meanwhile.
    bool OpenForReading(const char* path);
    // Creates the file afresh (an existing one is emptied) for writing; other processes may
    // read and write it meanwhile.
    bool CreateForWriting(const char* path);
    // Up to size bytes into buffer; 0 at the end of the file or when reading fails.
    size_t Read(void* buffer, size_t size);
    // Writes all size bytes; false when they could not all be written.
    bool Write(const void* data, size_t size);
    // Closes the file (nothing to do when none is open); false when closing failed.
    bool Close();

private:
    void* handle_ = nullptr;  // null while no file is open
};

#endif
