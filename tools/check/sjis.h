// Shift-JIS (code page 932) text from a script, turned into UTF-8 for messages and for the
// names of files in a Linux folder; and a publisher's UTF-8 script turned into Shift-JIS.
#ifndef ZELK_TOOLS_SJIS_H
#define ZELK_TOOLS_SJIS_H

#include <stddef.h>

#include <string>

// The UTF-8 form of text; false when text is not valid code page 932.
bool SjisToUtf8(const std::string& text, std::string* utf8);

// The UTF-8 form for a message: bytes that are not code page 932 appear as \xNN.
std::string ShowSjis(const std::string& text);

// True when text is valid UTF-8.
bool IsUtf8(const std::string& text);

// The code page 932 form of UTF-8 text. When a character has none (or the text is not
// UTF-8), false, with *failedAt the index of its first byte.
bool Utf8ToSjis(const std::string& utf8, std::string* sjis, size_t* failedAt);

#endif
