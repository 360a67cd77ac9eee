// The journal's list: its lines written and read back (portable).
#include "journal_list.h"

#include <string.h>

namespace {

constexpr size_t kFirstAt = 2;    // "K FFFFFFFF SSSSSSSS LLL text"
constexpr size_t kSecondAt = 11;
constexpr size_t kLengthAt = 20;
constexpr size_t kTextAt = 24;
constexpr size_t kLineEndAt = kJournalLineSize - 2;
static_assert(kTextAt + kJournalMaxText <= kLineEndAt, "a whole text fits a line");
static_assert(2 * kJournalDataPerLine <= kJournalMaxText, "a line of data fits a line");

const char kHexDigits[] = "0123456789ABCDEF";

bool IsKnownKind(char kind) {
    for (char known : {journal::kCreatedFile, journal::kReplacedFile, journal::kCreatedFolder,
                       journal::kResourceAdded, journal::kResourceRemoved, journal::kProgmanGroup,
                       journal::kProgmanItem, journal::kRegistryKey, journal::kRegistryValue, journal::kFinished,
                       journal::kPendingReplacement, journal::kUndone}) {
        if (kind == known) return true;
    }
    return false;
}

void PutHex(char* out, uint32_t value) {
    for (int i = 7; i >= 0; --i, value >>= 4) out[i] = kHexDigits[value & 0xF];
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ReadHex(const char* in, size_t digits, uint32_t* value) {
    *value = 0;
    for (size_t i = 0; i < digits; ++i) {
        int digit = HexValue(in[i]);
        if (digit < 0) return false;
        *value = (*value << 4) | static_cast<uint32_t>(digit);
    }
    return true;
}

bool HasControlByte(const char* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(text[i]) < 0x20) return true;
    }
    return false;
}

// One line into out (kJournalLineSize bytes); false when the text cannot be listed.
bool FormatLine(char* out, char kind, uint32_t first, uint32_t second, const char* text, size_t length) {
    if (length > kJournalMaxText || HasControlByte(text, length)) return false;
    memset(out, ' ', kJournalLineSize);
    out[0] = kind;
    PutHex(out + kFirstAt, first);
    PutHex(out + kSecondAt, second);
    out[kLengthAt] = static_cast<char>('0' + length / 100);
    out[kLengthAt + 1] = static_cast<char>('0' + length / 10 % 10);
    out[kLengthAt + 2] = static_cast<char>('0' + length % 10);
    memcpy(out + kTextAt, text, length);
    out[kLineEndAt] = '\r';
    out[kLineEndAt + 1] = '\n';
    return true;
}

// Appends lines to out while they fit; the failure of one is remembered.
class LineSink {
public:
    LineSink(char* out, size_t size) : out_(out), size_(size) {}
    void Put(char kind, uint32_t first, uint32_t second, const char* text, size_t length) {
        if (!ok_) return;
        ok_ = used_ + kJournalLineSize <= size_ && FormatLine(out_ + used_, kind, first, second, text, length);
        if (ok_) used_ += kJournalLineSize;
    }
    void Put(char kind, uint32_t first, uint32_t second, const char* text) {
        Put(kind, first, second, text, strlen(text));
    }
    size_t Used() const { return ok_ ? used_ : 0; }

private:
    char* out_;
    size_t size_;
    size_t used_ = 0;
    bool ok_ = true;
};

}  // namespace

bool MakeJournalEntry(JournalEntry* entry, char kind, const char* text) {
    memset(entry, 0, sizeof *entry);
    entry->kind = kind;
    return CopyString(entry->text, text ? text : "");
}

bool FormatJournalHeader(char (&out)[kJournalLineSize], const char* product, uint32_t run) {
    return FormatLine(out, journal::kHeader, kJournalFormat, run, product, strlen(product));
}

size_t FormatJournalEntry(char* out, size_t size, const JournalEntry& entry) {
    if (!IsKnownKind(entry.kind) || entry.dataSize > kJournalMaxData) return 0;
    LineSink lines(out, size);
    lines.Put(entry.kind, entry.number, entry.type, entry.text);
    if (entry.kind == journal::kProgmanItem) lines.Put(journal::kMore, 0, 0, entry.name);
    if (entry.kind == journal::kRegistryValue) {
        lines.Put(journal::kMore, entry.dataSize, 0, entry.name);
        for (size_t at = 0; at < entry.dataSize; at += kJournalDataPerLine) {
            char hex[2 * kJournalDataPerLine];
            size_t count = entry.dataSize - at < kJournalDataPerLine ? entry.dataSize - at : kJournalDataPerLine;
            for (size_t i = 0; i < count; ++i) {
                hex[2 * i] = kHexDigits[entry.data[at + i] >> 4];
                hex[2 * i + 1] = kHexDigits[entry.data[at + i] & 0xF];
            }
            lines.Put(journal::kMore, 0, 0, hex, 2 * count);
        }
    }
    return lines.Used();
}

bool JournalList::ReadLine(size_t offset, Line* line) const {
    if (offset > size_ || size_ - offset < kJournalLineSize) return false;  // cut off
    const char* in = bytes_ + offset;
    if (in[1] != ' ' || in[kSecondAt - 1] != ' ' || in[kLengthAt - 1] != ' ' || in[kTextAt - 1] != ' ' ||
        in[kLineEndAt] != '\r' || in[kLineEndAt + 1] != '\n') {
        return false;
    }
    size_t length = 0;
    for (size_t i = 0; i < 3; ++i) {
        char digit = in[kLengthAt + i];
        if (digit < '0' || digit > '9') return false;
        length = length * 10 + static_cast<size_t>(digit - '0');
    }
    if (length > kJournalMaxText || HasControlByte(in + kTextAt, length)) return false;
    for (size_t i = kTextAt + length; i < kLineEndAt; ++i) {
        if (in[i] != ' ') return false;
    }
    line->kind = in[0];
    line->length = length;
    line->text = in + kTextAt;
    return ReadHex(in + kFirstAt, 8, &line->first) && ReadHex(in + kSecondAt, 8, &line->second);
}

// The next line of an entry, at *offset, which moves past it. Its second number is always
// 0, so that every entry has one form only.
bool JournalList::ReadMore(size_t* offset, Line* line) const {
    if (!ReadLine(*offset, line) || line->kind != journal::kMore || line->second != 0) return false;
    *offset += kJournalLineSize;
    return true;
}

bool JournalList::ReadHeader(char (&product)[kPathSize], uint32_t* format, uint32_t* run) const {
    Line line;
    if (!ReadLine(0, &line) || line.kind != journal::kHeader ||
        (line.first != kJournalFormat && line.first != kJournalSecondFormat && line.first != kJournalFirstFormat)) {
        return false;
    }
    if (format != nullptr) *format = line.first;
    if (run != nullptr) *run = line.second;
    memcpy(product, line.text, line.length);
    product[line.length] = '\0';
    return true;
}

bool JournalList::ReadEntry(size_t offset, JournalEntry* entry, size_t* next) const {
    Line line;
    if (!ReadLine(offset, &line) || !IsKnownKind(line.kind)) return false;
    memset(entry, 0, sizeof *entry);
    entry->kind = line.kind;
    entry->number = line.first;
    entry->type = line.second;
    memcpy(entry->text, line.text, line.length);
    offset += kJournalLineSize;
    if (line.kind == journal::kProgmanItem || line.kind == journal::kRegistryValue) {
        if (!ReadMore(&offset, &line)) return false;
        memcpy(entry->name, line.text, line.length);
        if (entry->kind == journal::kProgmanItem && line.first != 0) return false;
        if (entry->kind == journal::kRegistryValue) {
            if (line.first > kJournalMaxData) return false;
            entry->dataSize = line.first;
            for (size_t at = 0; at < entry->dataSize; at += kJournalDataPerLine) {
                size_t count = entry->dataSize - at < kJournalDataPerLine ? entry->dataSize - at : kJournalDataPerLine;
                if (!ReadMore(&offset, &line) || line.first != 0 || line.length != 2 * count) return false;
                for (size_t i = 0; i < count; ++i) {
                    int high = HexValue(line.text[2 * i]);
                    int low = HexValue(line.text[2 * i + 1]);
                    if (high < 0 || low < 0) return false;
                    entry->data[at + i] = static_cast<unsigned char>(high << 4 | low);
                }
            }
        }
    }
    *next = offset;
    return true;
}
