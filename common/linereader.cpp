// Text-mode line reading, the same on every platform (portable).
#include "linereader.h"

bool LineReader::Open(const char* path) {
    Close();
    file_ = fopen(path, "rb");
    return file_ != nullptr;
}

void LineReader::Close() {
    if (file_) fclose(file_);
    file_ = nullptr;
}

bool LineReader::Next(char (&)[kPathSize]) { return false; }
