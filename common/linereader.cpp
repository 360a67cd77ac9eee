// Text-mode line reading, the same on every platform (portable).
//
// The file is opened in binary mode and the text-mode rules are applied here, so that the
// scripts and records read identically under the Windows runtime and in the native tests:
// CR LF becomes LF (a CR on its own stays), a Ctrl-Z byte ends the file, and a line comes
// in pieces of at most kPathSize - 1 bytes, as a fixed 260-byte line buffer takes it.
#include "linereader.h"

namespace {
constexpr int kEndOfFileMark = 0x1A;  // Ctrl-Z
}

bool LineReader::Open(const char* path) {
    Close();
    ended_ = false;
    atLineStart_ = true;
    pending_ = -1;
    lineNumber_ = 0;
    file_ = fopen(path, "rb");
    return file_ != nullptr;
}

void LineReader::Close() {
    if (file_) fclose(file_);
    file_ = nullptr;
}

// The next byte as text mode delivers it, or EOF.
int LineReader::ReadByte() {
    if (ended_ || file_ == nullptr) return EOF;
    int c = pending_;
    pending_ = -1;
    if (c < 0) c = getc(file_);
    if (c == EOF || c == kEndOfFileMark) {
        ended_ = true;
        return EOF;
    }
    if (c != '\r') return c;
    int next = getc(file_);
    if (next == '\n') return '\n';
    if (next == EOF || next == kEndOfFileMark) {
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
        if (c == EOF) break;
        line[length++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    line[length] = '\0';
    if (length == 0) return false;
    if (atLineStart_) ++lineNumber_;
    atLineStart_ = line[length - 1] == '\n';
    return true;
}
