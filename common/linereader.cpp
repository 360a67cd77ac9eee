// Text-mode line reading, the same on every platform (portable).
//
// The file is opened in binary mode and the text-mode rules are applied here, so that the
// scripts and records read identically under the Windows runtime and in the native tests:
// CR LF becomes LF (a CR on its own stays), a Ctrl-Z byte ends the file, and a line comes
// in pieces of at most kPathSize - 1 bytes, as a fixed 260-byte line buffer takes it.
#include "linereader.h"

namespace {
constexpr int kEndOfFileMark = 0x1A;  // Ctrl-Z
constexpr int kEnd = -1;               // no byte left
}

bool LineReader::Open(const char* path) {
    Close();
    ended_ = false;
    atLineStart_ = true;
    pending_ = -1;
    lineNumber_ = 0;
    buffered_ = position_ = 0;
    if (file_.OpenForReading(path)) return true;
    ended_ = true;
    return false;
}

void LineReader::Close() { file_.Close(); }

// The file's next byte as stored, or kEnd.
int LineReader::ReadRawByte() {
    if (position_ == buffered_) {
        buffered_ = file_.Read(buffer_, sizeof buffer_);
        position_ = 0;
        if (buffered_ == 0) return kEnd;
    }
    return buffer_[position_++];
}

// The next byte as text mode delivers it, or kEnd.
int LineReader::ReadByte() {
    if (ended_) return kEnd;
    int c = pending_;
    pending_ = -1;
    if (c < 0) c = ReadRawByte();
    if (c == kEnd || c == kEndOfFileMark) {
        ended_ = true;
        return kEnd;
    }
    if (c != '\r') return c;
    int next = ReadRawByte();
    if (next == '\n') return '\n';
    if (next == kEnd || next == kEndOfFileMark) {
        ended_ = true;  // the lone CR is still delivered
    } else {
        pending_ = next;
    }
    return '\r';
}

bool LineReader::Next(char (&line)[kPathSize]) {
    size_t length = 0;
    while (length < kPathSize - 1) {
        int c = ReadByte();
        if (c == kEnd) break;
        line[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    line[length] = '\0';
    if (length == 0) return false;
    if (atLineStart_) ++lineNumber_;
    atLineStart_ = line[length - 1] == '\n';
    return true;
}
