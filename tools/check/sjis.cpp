// Code page 932 to and from UTF-8 through the C library's converter.
#include "sjis.h"

#include <errno.h>
#include <iconv.h>
#include <stdio.h>

namespace {

class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (handle_ != reinterpret_cast<iconv_t>(-1)) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much of text as is valid; the index of the first byte it could not take
    // (text.size() when all was taken).
    size_t Convert(const std::string& text, size_t from, std::string* out) {
        if (handle_ == reinterpret_cast<iconv_t>(-1)) return from;
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(text.data()) + from;
        size_t inLeft = text.size() - from;
        while (inLeft > 0) {
            char buffer[256];
            char* outPointer = buffer;
            size_t outLeft = sizeof buffer;
            size_t result = iconv(handle_, &in, &inLeft, &outPointer, &outLeft);
            out->append(buffer, outPointer - buffer);
            if (result == static_cast<size_t>(-1) && errno != E2BIG) break;
        }
        return text.size() - inLeft;
    }

private:
    iconv_t handle_;
};

}  // namespace

bool SjisToUtf8(const std::string& text, std::string* utf8) {
    Converter converter("UTF-8", "CP932");
    utf8->clear();
    return converter.Convert(text, 0, utf8) == text.size();
}

std::string ShowSjis(const std::string& text) {
    Converter converter("UTF-8", "CP932");
    std::string shown;
    for (size_t at = 0; at < text.size();) {
        at = converter.Convert(text, at, &shown);
        if (at < text.size()) {
            char escape[8];
            snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(text[at]));
            shown += escape;
            ++at;
        }
    }
    return shown;
}

bool IsUtf8(const std::string& text) {
    Converter converter("UTF-16LE", "UTF-8");
    std::string wide;
    return converter.Convert(text, 0, &wide) == text.size();
}

bool Utf8ToSjis(const std::string& utf8, std::string* sjis, size_t* failedAt) {
    Converter converter("CP932", "UTF-8");
    sjis->clear();
    *failedAt = converter.Convert(utf8, 0, sjis);
    return *failedAt == utf8.size();
}
