// A compiled stand-in for an item's installer: records its own run in the test's log,
// in the same words as the script stand-ins, and ends at once.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

int main (int argc, char** argv)
{
    const char* log = std::getenv ("BRELVAN_TEST_LOG");
    if (log == nullptr || argc < 1)
        return 2;

    const char* slash = std::strrchr (argv[0], '/');
    auto* file = std::fopen (log, "a");
    if (file == nullptr)
        return 3;
    std::fprintf (file, "run %s args=%d pid=%d\n", slash != nullptr ? slash + 1 : argv[0], argc - 1, static_cast<int> (getpid()));
    return std::fclose (file) == 0 ? 0 : 4;
}
