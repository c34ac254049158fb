#pragma once

/** The page messages: what the pages broadcast and the page host listens for, compared
    whole and case-sensitively. Each list is in item order (Orvalis, Tessaly, Marrowby,
    Kestrune); "ShowtOrvalis" keeps its "t", the disc's menu always sent it so. */
namespace PageMessages
{
constexpr int numItems = 4;
constexpr const char* returnToMenu = "Return";
constexpr const char* show[numItems] = { "ShowtOrvalis", "ShowTessaly", "ShowMarrowby", "ShowKestrune" };
constexpr const char* install[numItems] = { "InstOrvalis", "InstTessaly", "InstMarrowby", "InstKestrune" };
} // namespace PageMessages
