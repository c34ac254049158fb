#include "navigation/MainComponent.h"
#include "support/Facts.h"
#include "support/InProcess.h"

#include <gtest/gtest.h>
#include <random>

using namespace support;

namespace
{
/** The page host with a recorder in place of the installer launcher. */
struct Host
{
    std::vector<int> launches;
    MainComponent host{ [this] (int index)
                        { launches.push_back (index); } };

    /** The one visible page: -1 for the menu, 0 to 3 for a product page; anything else is a fault. */
    int visiblePage() const
    {
        std::vector<int> visible;
        if (host.getMenuPage()->isVisible())
            visible.push_back (-1);
        for (int i = 0; i < 4; ++i)
            if (host.getProductPage (i)->isVisible())
                visible.push_back (i);
        return visible.size() == 1 ? visible[0] : 99;
    }

    void post (const juce::String& message)
    {
        host.getMenuPage()->sendActionMessage (message);
        runMessageLoop (20);
    }
};

} // namespace

TEST (PageHost, StartsOnTheMenuWithAllPagesBuiltInFrontOfEachOther)
{
    Host h;
    EXPECT_EQ (h.visiblePage(), -1);
    ASSERT_EQ (h.host.getNumChildComponents(), 5);
    EXPECT_EQ (h.host.getChildComponent (0), h.host.getMenuPage());
    for (int i = 0; i < 4; ++i)
    {
        EXPECT_EQ (h.host.getChildComponent (i + 1), h.host.getProductPage (i));
        EXPECT_EQ (h.host.getProductPage (i)->getBounds(), juce::Rectangle<int> (0, 0, 640, 400));
    }

    // A larger host leaves the pages where they are.
    h.host.setSize (1500, 900);
    EXPECT_EQ (h.host.getMenuPage()->getBounds(), juce::Rectangle<int> (0, 0, 640, 400));
}

TEST (PageHost, EveryMessageFromEveryPageGivesTheNextPage)
{
    for (int from = -1; from < 4; ++from)
    {
        for (int i = 0; i < 4; ++i)
        {
            Host h;
            if (from >= 0)
                h.post (showMessages[from]);
            ASSERT_EQ (h.visiblePage(), from);

            h.post (showMessages[i]);
            EXPECT_EQ (h.visiblePage(), i) << "from " << from << " on " << showMessages[i];

            h.post (installMessages[i]);
            EXPECT_EQ (h.visiblePage(), i);
            EXPECT_EQ (h.launches, std::vector<int>{ i });

            h.post ("Return");
            EXPECT_EQ (h.visiblePage(), -1);
        }
    }
}

TEST (PageHost, IgnoresMessagesOutsideTheVocabulary)
{
    Host h;
    h.post ("ShowTessaly");
    for (auto* nearMiss : { "return", "Return ", "RETURN", "ShowOrvalis", "showTessaly", "InstOrvalis ", "", "Inst", "Show" })
    {
        h.post (nearMiss);
        EXPECT_EQ (h.visiblePage(), 1) << '"' << nearMiss << '"';
    }
    EXPECT_TRUE (h.launches.empty());
}

TEST (PageHost, HandlesMessagesInTheOrderTheyWerePosted)
{
    Host h;
    // Two quick clicks on the menu before the first message is handled: the second decides.
    h.host.getMenuPage()->getItemButton (0)->triggerClick();
    h.host.getMenuPage()->getItemButton (1)->triggerClick();
    runMessageLoop();
    EXPECT_EQ (h.visiblePage(), 1);

    // The same install message twice: two launches, the page stays.
    h.host.getProductPage (1)->getInstallButton()->triggerClick();
    h.host.getProductPage (1)->getInstallButton()->triggerClick();
    runMessageLoop();
    EXPECT_EQ (h.launches, (std::vector<int>{ 1, 1 }));
    EXPECT_EQ (h.visiblePage(), 1);

    h.host.getProductPage (1)->getReturnButton()->triggerClick();
    runMessageLoop();
    EXPECT_EQ (h.visiblePage(), -1);
}

TEST (PageHost, KeepsExactlyOnePageVisibleThroughAnySequence)
{
    Host h;
    std::mt19937 random (20261207);
    const juce::StringArray vocabulary{ "Return", "ShowtOrvalis", "ShowTessaly", "ShowMarrowby", "ShowKestrune",
                                        "InstOrvalis", "InstTessaly", "InstMarrowby", "InstKestrune", "Nonsense" };
    int expected = -1;
    size_t expectedLaunches = 0;
    for (int step = 0; step < 400; ++step)
    {
        const auto pick = static_cast<int> (random() % static_cast<unsigned> (vocabulary.size()));
        h.host.actionListenerCallback (vocabulary[pick]);
        if (pick == 0)
            expected = -1;
        else if (pick <= 4)
            expected = pick - 1;
        else if (pick <= 8)
            ++expectedLaunches;
        ASSERT_EQ (h.visiblePage(), expected) << "step " << step;
    }
    EXPECT_EQ (h.launches.size(), expectedLaunches);
}
