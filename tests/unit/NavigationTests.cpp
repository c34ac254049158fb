#include "TestSupport.h"
#include "launching/DetachedProcess.h"
#include "navigation/InstallerLauncher.h"
#include "navigation/MainComponent.h"

#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>

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
    const juce::File folder ("/media/cdrom/Brelvan Disc \xc3\xa9t\xc3\xa9 \xe6\x97\xa5\xe6\x9c\xac $(x) 'q'");
    EXPECT_EQ (installerFileIn (folder, 0).getFullPathName(), folder.getFullPathName() + "/Orvalis/Orvalis.exe");
    EXPECT_EQ (installerFileIn (folder, 1).getFullPathName(), folder.getFullPathName() + "/Tessaly/Tessaly.exe");
    EXPECT_EQ (installerFileIn (folder, 2).getFullPathName(), folder.getFullPathName() + "/Marrowby/Marrowby.exe");
    EXPECT_EQ (installerFileIn (folder, 3).getFullPathName(), folder.getFullPathName() + "/Kestrune/Kestrune.tpk");
    EXPECT_EQ (installerFileIn (folder, 4), juce::File());
    EXPECT_EQ (installerFileIn (folder, -1), juce::File());

    // A disc mounted at the root of the file system.
    EXPECT_EQ (installerFileIn (juce::File ("/"), 3).getFullPathName(), "/Kestrune/Kestrune.tpk");

    // The running program's own folder, not the working folder.
    EXPECT_EQ (programFolder(), juce::File::getSpecialLocation (juce::File::currentExecutableFile).getParentDirectory());
}

TEST (DetachedProcess, RunsTheProgramWithItsArgumentsUntouched)
{
    const juce::TemporaryFile output;
    const juce::String tricky ("a b \"c\" 'd' $(touch injected) `touch injected` ; touch injected & \xc3\xa9\nline");

    const auto script = juce::String ("printf '%s\\n' \"$1\" > \"$2\"");
    ASSERT_TRUE (DetachedProcess::start ({ "/bin/sh", "-c", script, "sh", tricky, output.getFile().getFullPathName() }));

    for (int i = 0; i < 100 && !output.getFile().loadFileAsString().endsWith ("\n"); ++i)
        juce::Thread::sleep (20);
    EXPECT_EQ (output.getFile().loadFileAsString(), tricky + "\n");
    EXPECT_FALSE (juce::File::getCurrentWorkingDirectory().getChildFile ("injected").exists());

    EXPECT_FALSE (DetachedProcess::start ({ "/nonexistent/program" }));
    EXPECT_FALSE (DetachedProcess::start ({}));
}

TEST (DetachedProcess, StartsTheProgramInASessionOfItsOwnWithOnlyTheStandardStreams)
{
    // A descriptor of ours without close-on-exec, which must not reach the program.
    const auto leaked = open ("/dev/null", O_RDONLY);
    ASSERT_GE (leaked, 3);
    const juce::String marker ("7.3219");
    ASSERT_TRUE (DetachedProcess::start ({ "sleep", marker }));
    close (leaked);

    juce::File process;
    for (int i = 0; i < 100 && process == juce::File(); ++i)
    {
        for (const auto& entry : juce::RangedDirectoryIterator (juce::File ("/proc"), false, "*", juce::File::findDirectories))
        {
            juce::MemoryBlock cmdline;
            entry.getFile().getChildFile ("cmdline").loadFileAsData (cmdline);
            if (cmdline.toString() == juce::String ("sleep") && cmdline.getSize() > 6 && juce::String (static_cast<const char*> (cmdline.getData()) + 6) == marker)
                process = entry.getFile();
        }
        juce::Thread::sleep (10);
    }
    ASSERT_NE (process, juce::File());

    juce::StringArray descriptors;
    for (const auto& fd : juce::RangedDirectoryIterator (process.getChildFile ("fd"), false, "*", juce::File::findFilesAndDirectories))
        descriptors.add (fd.getFile().getFileName());
    descriptors.sort (false);
    EXPECT_EQ (descriptors.joinIntoString (" "), "0 1 2");

    const auto pid = process.getFileName().getIntValue();
    EXPECT_NE (getsid (pid), getsid (0));
    kill (pid, SIGKILL);
}

TEST (DetachedProcess, LeavesNoZombieBehind)
{
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE (DetachedProcess::start ({ "true" }));
    juce::Thread::sleep (200);

    // No child of this process is left unreaped.
    const auto self = juce::String (getpid());
    int zombies = 0;
    for (const auto& entry : juce::RangedDirectoryIterator (juce::File ("/proc"), false, "*", juce::File::findDirectories))
    {
        const auto stat = entry.getFile().getChildFile ("stat").loadFileAsString();
        const auto fields = juce::StringArray::fromTokens (stat.fromLastOccurrenceOf (")", false, false), " ", "");
        if (fields.size() > 2 && fields[1] == "Z" && fields[2] == self)
            ++zombies;
    }
    EXPECT_EQ (zombies, 0);
}

TEST (DetachedProcess, OpensExecutablesDirectlyAndEverythingElseWithTheDesktopOpener)
{
    RecordingOpener opener;
    const juce::TemporaryFile folder;
    ASSERT_TRUE (folder.getFile().createDirectory());
    const auto pack = folder.getFile().getChildFile ("pack with space $(x).tpk");
    pack.replaceWithText ("content");

    EXPECT_TRUE (DetachedProcess::openFile (pack));
    EXPECT_EQ (opener.calls(), juce::StringArray (pack.getFullPathName()));

    opener.forget();
    EXPECT_TRUE (DetachedProcess::openAddress ("http://orvalis.example/a b?c=1&d='2'"));
    EXPECT_EQ (opener.calls(), juce::StringArray ("http://orvalis.example/a b?c=1&d='2'"));

    EXPECT_FALSE (DetachedProcess::openFile (folder.getFile().getChildFile ("missing.exe")));
    folder.getFile().deleteRecursively();
}
