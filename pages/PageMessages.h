#pragma once

/** The page messages: what the pages broadcast and the page host listens for, compared
    whole and case-sensitively. Each list is in item order (Orvalis, Tessaly, Marrowby,
    Kestrune). They are names in the program's own vocabulary, not words: "ShowtOrvalis"
    is spelt with its "t", and the pages and the host both use it exactly so. */
namespace PageMessages
{
constexpr int numItems = 4;
constexpr const char* returnToMenu = "Return";
constexpr const char* show[numItems] = { "ShowtOrvalis", "ShowTessaly", "ShowMarrowby", "ShowKestrune" };
constexpr const char* install[numItems] = { "InstOrvalis", "InstTessaly", "InstMarrowby", "InstKestrune" };
} // namespace PageMessages
