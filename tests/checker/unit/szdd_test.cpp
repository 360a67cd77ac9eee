// zelk-compress's encoder: what it writes expands to what it was given, with the header the
// system's expander reads. (The expansion by the system's own library is run under Wine by
// the test tools.lz-expand.)
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "szdd.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(Szdd, RoundTrips) {
    std::mt19937 random(7);
    std::vector<uint8_t> noise(100000);
    for (uint8_t& b : noise) b = static_cast<uint8_t>(random());
    std::vector<uint8_t> repeated;
    for (int distance : {4094, 4095, 4096}) {
        repeated.insert(repeated.end(), noise.begin(), noise.begin() + distance);
        repeated.insert(repeated.end(), noise.begin(), noise.begin() + distance);
    }
    const std::vector<std::vector<uint8_t>> inputs = {
        {}, Bytes("x"), Bytes(std::string(10000, ' ')), Bytes(std::string(70000, 'a')),
        Bytes(std::string(3000, 'a') + "abcabcabcabc"), noise, repeated,
    };
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.size());
        std::vector<uint8_t> compressed;
        ASSERT_TRUE(CompressSzdd(input.data(), input.size(), 'e', &compressed));
        std::vector<uint8_t> expanded;
        ASSERT_TRUE(ExpandSzdd(compressed.data(), compressed.size(), &expanded));
        EXPECT_EQ(expanded, input);
    }
}

TEST(Szdd, HeaderAndRatio) {
    std::string text;
    for (int i = 0; i < 2000; ++i) text += "line " + std::to_string(i % 37) + " of the manual\r\n";
    std::vector<uint8_t> compressed;
    ASSERT_TRUE(CompressSzdd(reinterpret_cast<const uint8_t*>(text.data()), text.size(), 't', &compressed));
    const uint8_t magic[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 't'};
    ASSERT_GE(compressed.size(), 14u);
    EXPECT_TRUE(std::equal(magic, magic + 10, compressed.begin()));
    uint32_t size = compressed[10] | compressed[11] << 8 | compressed[12] << 16 | compressed[13] << 24;
    EXPECT_EQ(size, text.size());
    EXPECT_LT(compressed.size(), text.size() / 4);  // repetitive text shrinks
}

}  // namespace
