#include "tools/disc/Utf8Text.h"

#include <gtest/gtest.h>

TEST (Utf8Text, KeepsWellFormedTextAndMarksEveryOtherByte)
{
    const char mixed[] = "disc \xc3\xa9t\xc3\xa9 \xe6\x97\xa5 \xff\xe1\x80 \xc0\xaf end";
    EXPECT_FALSE (Utf8Text::isWellFormed (mixed, sizeof (mixed) - 1));
    EXPECT_EQ (Utf8Text::fromBytes (mixed, sizeof (mixed) - 1), juce::String::fromUTF8 ("disc \xc3\xa9t\xc3\xa9 \xe6\x97\xa5 ??? ?? end"));
    EXPECT_TRUE (Utf8Text::isWellFormed (mixed, 15));
    // A sequence cut by the end, and a zero byte.
    EXPECT_EQ (Utf8Text::fromBytes ("ab\xe6\x97", 4), "ab??");
    EXPECT_EQ (Utf8Text::fromBytes ("a\0b", 3), "a?b");
    EXPECT_FALSE (Utf8Text::isWellFormed ("a\0b", 3));
}
