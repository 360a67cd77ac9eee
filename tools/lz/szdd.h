// LZ compression in the "SZDD" format that the system's LZ expansion library reads
// (LZOpenFile, LZInit, LZCopy), as distribution media carry files whose names end in "_".
#ifndef ZELK_TOOLS_SZDD_H
#define ZELK_TOOLS_SZDD_H

#include <stddef.h>
#include <stdint.h>

#include <vector>

// Appends the compressed form of data to out. lastChar is the character the "_" of the
// compressed file's name stands for (0 when unknown). False when data is 4 GiB or more.
bool CompressSzdd(const uint8_t* data, size_t size, char lastChar, std::vector<uint8_t>* out);

// The reverse, for tests: false when input is not a whole SZDD file.
bool ExpandSzdd(const uint8_t* input, size_t size, std::vector<uint8_t>* out);

#endif
