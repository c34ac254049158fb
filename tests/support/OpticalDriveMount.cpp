#include "OpticalDriveMount.h"

#include <csignal>
#include <fcntl.h>
#include <sys/mount.h>
#include <unistd.h>

namespace support
{
namespace
{
    std::string number (double value)
    {
        return juce::String (value, 3).toStdString();
    }

    void detach (const juce::File& mountPoint)
    {
        umount2 (mountPoint.getFullPathName().toRawUTF8(), MNT_DETACH);
    }

} // namespace

OpticalDriveMount::OpticalDriveMount (const juce::File& image, const DriveTiming& timing)
{
    base = juce::File::createTempFile ("brelvan-drive");
    driveFolder = base.getChildFile ("drive");
    discFolder = base.getChildFile ("disc");
    driveFolder.createDirectory();
    discFolder.createDirectory();

    drive = std::make_unique<Process> (std::vector<std::string>{
        BRELVAN_OPTICAL_DRIVE, "--access-ms", number (timing.accessMs), "--mbps", number (timing.megabytesPerSecond),
        "--buffer-kib", number (timing.bufferKiB), image.getFullPathName().toStdString(), driveFolder.getFullPathName().toStdString() });
    servedImage = driveFolder.getChildFile (image.getFileName());
    if (!eventually ([&]
                     { return servedImage.existsAsFile(); }))
    {
        problem = "the drive model did not mount (" + drive->state() + "); it needs root and /dev/fuse";
        return;
    }

    // fuseiso reads the image through the drive as the kernel reads a disc in /dev/sr0: one
    // request at a time, in the order asked.
    const auto mounted = runToEnd ({ "fuseiso", "-n", servedImage.getFullPathName().toStdString(), discFolder.getFullPathName().toStdString(), "-s" },
                                   { "PATH=/usr/bin:/bin" }, 30s);
    if (mounted.status != std::optional<int> (0))
        problem = "fuseiso could not mount the image: " + mounted.errors;
}

OpticalDriveMount::~OpticalDriveMount()
{
    // fuseiso ends by itself once nothing is open on its mount any more. The drive's mount
    // is detached already: ended gently, it would try to unmount it again.
    detach (discFolder);
    detach (driveFolder);
    kill (drive->pid(), SIGKILL);
    drive.reset();
    base.deleteRecursively();
}

DriveStatistics OpticalDriveMount::statistics() const
{
    DriveStatistics figures;
    for (const auto& line : juce::StringArray::fromLines (driveFolder.getChildFile ("statistics").loadFileAsString()))
    {
        const auto value = line.fromFirstOccurrenceOf (" ", false, false).getLargeIntValue();
        if (line.startsWith ("reads "))
            figures.reads = (long) value;
        else if (line.startsWith ("seeks "))
            figures.seeks = (long) value;
        else if (line.startsWith ("bytes "))
            figures.bytes = value;
    }
    return figures;
}

void OpticalDriveMount::pull()
{
    // A drive whose disc is gone keeps nothing of it: the kernel drops a disc's cached
    // blocks when the medium changes.
    const auto fd = open (servedImage.getFullPathName().toRawUTF8(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0)
    {
        posix_fadvise (fd, 0, 0, POSIX_FADV_DONTNEED);
        close (fd);
    }
    kill (drive->pid(), SIGUSR1);
    detach (discFolder);
    detach (driveFolder);
}

//==============================================================================
MemoryCgroup::MemoryCgroup()
{
    // Below the cgroup this test runs in, where it may make one.
    juce::String own;
    for (const auto& line : juce::StringArray::fromLines (juce::File ("/proc/self/cgroup").loadFileAsString()))
        if (line.fromFirstOccurrenceOf (":", false, false).startsWith ("memory:"))
            own = line.fromLastOccurrenceOf (":", false, false);

    const juce::File hierarchy ("/sys/fs/cgroup/memory");
    if (!hierarchy.getChildFile ("memory.limit_in_bytes").existsAsFile())
        return;
    const auto parent = own.isEmpty() || own == "/" ? hierarchy : hierarchy.getChildFile (own.substring (1));
    folder = parent.getNonexistentChildFile ("brelvan-" + juce::String (getpid()), {}, false);
    if (!folder.createDirectory())
        folder = juce::File();
}

MemoryCgroup::~MemoryCgroup()
{
    if (exists())
        eventually ([&]
                    { return rmdir (folder.getFullPathName().toRawUTF8()) == 0; },
                    2s);
}

std::vector<std::string> MemoryCgroup::wrap (const std::vector<std::string>& command) const
{
    std::vector<std::string> wrapped{ "/bin/sh", "-c", "echo $$ > \"$0\" && exec \"$@\"",
                                      folder.getChildFile ("cgroup.procs").getFullPathName().toStdString() };
    wrapped.insert (wrapped.end(), command.begin(), command.end());
    return wrapped;
}

long long MemoryCgroup::anonymousBytes() const
{
    long long total = 0;
    for (const auto& line : juce::StringArray::fromLines (folder.getChildFile ("memory.stat").loadFileAsString()))
        if (line.startsWith ("total_rss ") || line.startsWith ("total_shmem "))
            total += line.fromFirstOccurrenceOf (" ", false, false).getLargeIntValue();
    return total;
}

bool MemoryCgroup::limitTo (long long bytes) const
{
    // In place: the kernel's files take one write, never a file renamed over them.
    const auto text = std::to_string (bytes);
    const auto fd = open (folder.getChildFile ("memory.limit_in_bytes").getFullPathName().toRawUTF8(), O_WRONLY | O_CLOEXEC);
    const auto written = fd >= 0 ? write (fd, text.data(), text.size()) : -1;
    if (fd >= 0)
        close (fd);
    return written == (ssize_t) text.size();
}
} // namespace support
