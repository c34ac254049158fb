#include "navigation/InstallerLauncher.h"
#include "navigation/MainComponent.h"
#include "support/InProcess.h"

#include <climits>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

using namespace testing_support;

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

const char* const showMessages[] = { "ShowtOrvalis", "ShowTessaly", "ShowMarrowby", "ShowKestrune" };
const char* const installMessages[] = { "InstOrvalis", "InstTessaly", "InstMarrowby", "InstKestrune" };
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
    h.host.getMenuPage()->getOrvalisButton()->triggerClick();
    h.host.getMenuPage()->getTessalyButton()->triggerClick();
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

//==============================================================================
TEST (InstallerLauncher, FindsEachInstallerBesideTheProgramWhateverTheFolderIsCalled)
{
    // Any bytes at all, as a disc's label may give: UTF-8, shell syntax, and bytes that are
    // no UTF-8 (Latin-1, a stray continuation, an overlong form).
    for (const std::string folder : { "/media/cdrom/Brelvan Disc \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac $(x) 'q'", "/media/user/caf\xe9",
                                      "/media/\xff\xfe\xc0\x80/O", "/run/media/a\x80"
                                                                   "b/" })
    {
        const auto base = folder.back() == '/' ? folder : folder + "/";
        EXPECT_EQ (installerFileIn (folder, 0), base + "Orvalis/Orvalis.exe");
        EXPECT_EQ (installerFileIn (folder, 1), base + "Tessaly/Tessaly.exe");
        EXPECT_EQ (installerFileIn (folder, 2), base + "Marrowby/Marrowby.exe");
        EXPECT_EQ (installerFileIn (folder, 3), base + "Kestrune/Kestrune.tpk");
        EXPECT_EQ (installerFileIn (folder, 4), "");
        EXPECT_EQ (installerFileIn (folder, -1), "");
    }

    // A disc mounted at the root of the file system.
    EXPECT_EQ (installerFileIn ("/", 3), "/Kestrune/Kestrune.tpk");
    EXPECT_EQ (installerFileIn ("", 0), "") << "no folder, no installer";
}

TEST (InstallerLauncher, LooksBesideTheRunningProgramNotInTheWorkingFolder)
{
    const juce::TemporaryFile elsewhere;
    ASSERT_TRUE (elsewhere.getFile().createDirectory());
    const auto before = juce::File::getCurrentWorkingDirectory();
    ASSERT_TRUE (elsewhere.getFile().setAsCurrentWorkingDirectory());

    char executable[PATH_MAX] = {};
    ASSERT_GT (readlink ("/proc/self/exe", executable, sizeof (executable) - 1), 0);
    const std::string ownFile (executable);
    EXPECT_EQ (programFolder(), ownFile.substr (0, ownFile.find_last_of ('/')));
    EXPECT_NE (programFolder(), elsewhere.getFile().getFullPathName().toStdString());

    before.setAsCurrentWorkingDirectory();
    elsewhere.getFile().deleteRecursively();
}
