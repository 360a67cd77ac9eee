// Reads a text file the way the C runtime's text mode does on Windows, identically on every
// platform: CR LF becomes LF, a Ctrl-Z byte ends the file, and a line is delivered in pieces
// of at most 259 bytes (each piece counts as a line of its own). Portable.
#ifndef ZELK_COMMON_LINEREADER_H
#define ZELK_COMMON_LINEREADER_H

#include "file.h"
#include "textsub.h"

class LineReader {
public:
    LineReader() = default;
    ~LineReader() { Close(); }
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens the file for reading, other processes allowed to read and write it.
    bool Open(const char* path);
    void Close();

    // Next piece into line (kPathSize bytes), its line end still attached; false at the end.
    bool Next(char (&line)[kPathSize]);
    // Number of the physical line the last piece came from (1-based).
    int LineNumber() const { return lineNumber_; }

private:
    int ReadByte();
    int ReadRawByte();
    ByteFile file_;
    unsigned char buffer_[512];
    size_t buffered_ = 0;  // bytes in buffer_
    size_t position_ = 0;  // the next of them
    bool ended_ = false;
    bool atLineStart_ = true;
    int pending_ = -1;  // a byte read ahead while looking for CR LF
    int lineNumber_ = 0;
};

#endif
