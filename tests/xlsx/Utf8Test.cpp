#include "xlsx/internal/Utf8.h"

#include <gtest/gtest.h>

using namespace SimpleXlsx;

TEST(Utf8, PrefixesEndOnCharacterBoundaries)
{
    const std::string text = "a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z";  // 1+2+3+4+1 bytes
    const size_t bytes[] = {0, 1, 1, 3, 3, 3, 6, 6, 6, 6, 10, 11, 11};
    for (size_t limit = 0; limit < 13; ++limit)
        EXPECT_EQ(Utf8PrefixBytes(text, limit), bytes[limit]) << limit;
    const size_t units[] = {0, 1, 3, 6, 6, 10, 11};  // the emoji takes two UTF-16 units
    for (size_t limit = 0; limit < 7; ++limit)
        EXPECT_EQ(Utf8PrefixUtf16Units(text, limit), units[limit]) << limit;
    // Invalid bytes, truncated and overlong sequences, surrogates count one byte each.
    EXPECT_EQ(Utf8PrefixBytes("\xFF\xC3", 1), 1u);
    for (const char* bad : {"\xC3", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"})
        EXPECT_EQ(Utf8SequenceLength(bad, 0), 0u) << bad;
}
