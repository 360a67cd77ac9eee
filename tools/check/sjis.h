// Shift-JIS (code page 932) text from a script, turned into UTF-8 for messages and for the
// names of files in a Linux folder.
#ifndef ZELK_TOOLS_SJIS_H
#define ZELK_TOOLS_SJIS_H

#include <string>

// The UTF-8 form of text; false when text is not valid code page 932.
bool SjisToUtf8(const std::string& text, std::string* utf8);

// The UTF-8 form for a message: bytes that are not code page 932 appear as \xNN.
std::string ShowSjis(const std::string& text);

#endif
