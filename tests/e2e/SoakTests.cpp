// Thousands of real clicks against the real program on a bare X server: every click
// must be answered at once, and nothing may pile up.

#include "Session.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace e2e;

namespace
{
// A strip that no child covers on any page, and that tells the five pages apart.
const juce::Rectangle<int> signature{ 0, 140, 330, 6 };
const juce::Point<int> firstLinks[] = { { 81, 360 }, { 125, 335 }, { 157, 387 }, { 97, 390 } };
constexpr auto answerTime = 500ms;

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

/** Press and release with nothing else in between: the quickest click a person makes. */
void quickClick (const XServer& x, juce::Point<int> at)
{
    auto* dpy = x.display();
    XTestFakeMotionEvent (dpy, -1, at.x, at.y, CurrentTime);
    XTestFakeButtonEvent (dpy, 1, True, CurrentTime);
    XSync (dpy, False);
    std::this_thread::sleep_for (5ms);
    XTestFakeButtonEvent (dpy, 1, False, CurrentTime);
    XSync (dpy, False);
}

struct PageWatcher
{
    explicit PageWatcher (const Session& s)
        : session (s)
    {
        signatures.push_back (background ("menu").getClippedImage (signature));
        for (auto* item : items)
            signatures.push_back (background (juce::String (item).toLowerCase().toRawUTF8()).getClippedImage (signature));
    }

    /** -1 for the menu, 0 to 3 for a product page, 99 for none. */
    int shown() const
    {
        const auto origin = session.window->bounds.getPosition() + contentInWindow;
        const auto strip = screenshot (session.x, signature + origin);
        for (size_t i = 0; i < signatures.size(); ++i)
            if (countDifferentPixels (strip, signatures[i]) == 0)
                return static_cast<int> (i) - 1;
        return 99;
    }

    /** Clicks and measures how long the page takes to become the expected one. */
    std::chrono::milliseconds clickUntil (juce::Point<int> inPage, int expected) const
    {
        const auto start = Clock::now();
        quickClick (session.x, session.onScreen (inPage));
        while (shown() != expected && Clock::now() - start < 4 * answerTime)
            std::this_thread::sleep_for (2ms);
        return std::chrono::duration_cast<std::chrono::milliseconds> (Clock::now() - start);
    }

    const Session& session;
    std::vector<juce::Image> signatures;
};
} // namespace

TEST (Soak, EveryClickOfThousandsIsAnsweredAtOnceAndNothingPilesUp)
{
    Disc disc; // stand-ins that end at once
    Session s (disc);
    ASSERT_TRUE (s.window.has_value());
    const PageWatcher watcher (s);
    for (size_t i = 0; i < watcher.signatures.size(); ++i)
        for (size_t j = i + 1; j < watcher.signatures.size(); ++j)
            ASSERT_GT (countDifferentPixels (watcher.signatures[i], watcher.signatures[j]), 0) << "pages " << i << " and " << j << " look alike";
    ASSERT_EQ (watcher.shown(), -1);
    const auto pid = s.app->pid();
    const auto descriptorsAtStart = openDescriptors (pid);

    const auto cycles = cyclesToRun();
    int clicks = 0, launches = 0;
    long residentAfterWarmUp = 0;
    juce::StringArray late;
    for (int cycle = 0; cycle < cycles; ++cycle)
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

            const auto took = watcher.clickUntil (where, expected);
            if (took > answerTime)
                late.add ("click " + juce::String (clicks) + " (to page " + juce::String (expected) + "): " + juce::String (took.count()) + " ms");
            ++clicks;
            if (clicks == 100)
                residentAfterWarmUp = residentKiB (pid);
        }
    }

    EXPECT_TRUE (late.isEmpty()) << late.size() << " of " << clicks << " clicks waited:\n"
                                 << late.joinIntoString ("\n");
    EXPECT_EQ (disc.log (launches, 10s).size(), launches);

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
    std::cout << "soak: " << clicks << " page clicks and " << launches << " launches, " << late.size() << " waited past "
              << answerTime.count() << " ms; resident " << residentAfterWarmUp << " -> " << residentAtEnd << " KiB\n";
    s.closeAndExpectStatusZero();
}
