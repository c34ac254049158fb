#pragma once

#include <juce_core/juce_core.h>

/** Text made from bytes that nobody here wrote: a disc's files, what a tool prints about
    an image. The framework's strings take UTF-8 on trust, and a malformed sequence (a lead
    byte whose continuation never comes) makes their later reads run past the end, so
    such bytes are checked first. */
namespace Utf8Text
{
/** Whether the bytes are well-formed UTF-8 with no zero byte among them. */
bool isWellFormed (const char* bytes, size_t size);

/** The bytes as a string, each byte that belongs to no well-formed sequence (and each
    zero byte) replaced by '?'. */
juce::String fromBytes (const char* bytes, size_t size);
} // namespace Utf8Text
