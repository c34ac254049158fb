// Thousands of real clicks against the real program on a bare X server: every click must be
// answered without any further input, and nothing may pile up. How fast the answers come is
// the benchmark's to say (bench/ClickProbe.cpp); on a busy machine they come later, and
// that is no fault. The fault guarded against here is a click answered only when the next
// input arrives, which without further input is never.

#include "support/PageWatch.h"
#include "support/Session.h"

using namespace support;

namespace
{
const juce::Point<int> firstLinks[] = { { 81, 360 }, { 125, 335 }, { 157, 387 }, { 97, 390 } };
// Far beyond any answer of a working menu, on however busy a machine.
constexpr auto ceiling = 10s;

int cyclesToRun()
{
    const auto wanted = juce::SystemStats::getEnvironmentVariable ("BRELVAN_SOAK_CYCLES", "3000").getIntValue();
    return std::max (wanted, 60);
}

long residentKiB (pid_t pid)
{
    const auto status = juce::File ("/proc/" + juce::String (pid) + "/status").loadFileAsString();
    return status.fromFirstOccurrenceOf ("VmRSS:", false, false).trim().getLargeIntValue();
}

int openDescriptors (pid_t pid)
{
    return juce::File ("/proc/" + juce::String (pid) + "/fd").getNumberOfChildFiles (juce::File::findFilesAndDirectories);
}
} // namespace

TEST (Soak, EveryClickOfThousandsIsAnsweredWithoutFurtherInputAndNothingPilesUp)
{
    Disc disc; // stand-ins that end at once
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    const PageWatch watch (s.x, s.onScreen ({}), juce::File (BRELVAN_SOURCE_DIR "/artwork/pictures"));
    ASSERT_TRUE (watch.tellsEveryPageApart());
    ASSERT_EQ (watch.shown(), -1);
    const auto pid = s.app->pid();
    const auto descriptorsAtStart = openDescriptors (pid);

    const auto cycles = cyclesToRun();
    int clicks = 0, launches = 0;
    long residentAfterWarmUp = 0;
    std::chrono::microseconds slowest{ 0 };
    juce::StringArray unanswered;
    for (int cycle = 0; cycle < cycles && unanswered.isEmpty(); ++cycle)
    {
        const auto item = cycle % 4;
        for (const auto& [where, expected] : { std::pair (menuButtons[item], item), std::pair (returnButton, -1) })
        {
            if (expected == -1 && cycle % 10 == 0)
            {
                quickClick (s.x, s.onScreen (installButton));
                quickClick (s.x, s.onScreen (firstLinks[item]));
                launches += 3; // the installer's line, and the opener's two
            }

            if (const auto took = watch.clickUntil (where, expected, ceiling))
                slowest = std::max (slowest, *took);
            else
                unanswered.add ("click " + juce::String (clicks) + " (to page " + juce::String (expected) + ") was never answered; the screen shows page " + juce::String (watch.shown()));
            ++clicks;
            if (clicks == 100)
                residentAfterWarmUp = residentKiB (pid);
        }
    }

    ASSERT_TRUE (unanswered.isEmpty()) << unanswered.joinIntoString ("\n");
    EXPECT_EQ (disc.log (launches, ceiling).size(), launches);

    std::this_thread::sleep_for (500ms);
    const auto residentAtEnd = residentKiB (pid);
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine, so resident memory grows by
    // design; here the leak check at exit (a report fails the run) stands in for it.
    std::cout << "soak: resident memory not compared under AddressSanitizer\n";
#else
    EXPECT_LE (std::abs (residentAtEnd - residentAfterWarmUp), 512) << "resident KiB after 100 clicks " << residentAfterWarmUp << ", at the end " << residentAtEnd;
#endif
    EXPECT_EQ (openDescriptors (pid), descriptorsAtStart);
    EXPECT_EQ (zombieChildren (pid), 0);
    std::cout << "soak: " << clicks << " page clicks and " << launches << " launches, every one answered (the slowest after "
              << slowest.count() / 1000 << " ms); resident " << residentAfterWarmUp << " -> " << residentAtEnd << " KiB\n";
    s.closeAndExpectStatusZero();
}
