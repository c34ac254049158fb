#include "Utf8Text.h"

namespace
{
/** The length of the well-formed sequence that starts at bytes[0], or 0 when none does. */
size_t sequenceLength (const unsigned char* bytes, size_t available)
{
    const auto lead = bytes[0];
    const size_t length = lead == 0 ? 0 : lead < 0x80         ? 1
                                      : (lead & 0xe0) == 0xc0 ? 2
                                      : (lead & 0xf0) == 0xe0 ? 3
                                      : (lead & 0xf8) == 0xf0 ? 4
                                                              : 0;
    if (length == 0 || length > available)
        return 0;
    for (size_t i = 1; i < length; ++i)
        if ((bytes[i] & 0xc0) != 0x80)
            return 0;
    // Overlong forms and code points past U+10FFFF.
    if ((length == 2 && lead < 0xc2) || (length == 3 && lead == 0xe0 && bytes[1] < 0xa0) || (length == 4 && (lead > 0xf4 || (lead == 0xf0 && bytes[1] < 0x90) || (lead == 0xf4 && bytes[1] > 0x8f))))
        return 0;
    return length;
}
} // namespace

bool Utf8Text::isWellFormed (const char* bytes, size_t size)
{
    const auto* at = reinterpret_cast<const unsigned char*> (bytes);
    for (size_t i = 0; i < size;)
    {
        const auto length = sequenceLength (at + i, size - i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

juce::String Utf8Text::fromBytes (const char* bytes, size_t size)
{
    const auto* at = reinterpret_cast<const unsigned char*> (bytes);
    std::string text;
    text.reserve (size);
    for (size_t i = 0; i < size;)
    {
        const auto length = sequenceLength (at + i, size - i);
        if (length == 0)
        {
            text += '?';
            ++i;
            continue;
        }
        text.append (bytes + i, length);
        i += length;
    }
    return juce::String::fromUTF8 (text.data(), static_cast<int> (text.size()));
}
