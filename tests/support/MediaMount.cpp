#include "MediaMount.h"

#include "Processes.h"

#include <sys/mount.h>

namespace support
{
MediaMount::MediaMount (const juce::File& image, Kind kind, const std::string& label)
    : mountPoint (juce::File ("/media/root").getChildFile (label))
    , files (juce::File::createTempFile ("brelvan-stick-files"))
{
    if (mountPoint.exists() || !mountPoint.createDirectory())
    {
        problem = "cannot make " + mountPoint.getFullPathName().toStdString() + " (needs root, and no other mount there)";
        return;
    }
    const auto to = mountPoint.getFullPathName().toStdString();
    if (kind == Kind::disc)
    {
        const auto mounted = runToEnd ({ "fuseiso", "-n", image.getFullPathName().toStdString(), to }, { "PATH=/usr/bin:/bin" }, 30s);
        if (mounted.status != std::optional<int> (0))
            problem = "fuseiso could not mount the image: " + mounted.errors;
        return;
    }

    // FAT records no owner and no modes: udisks2 mounts it with uid=, gid= and showexec, so
    // files show as the user's, rw-r--r--, and only .exe, .com and .bat as executable. Here
    // none is, so that every program on the stick starts through its loader or interpreter.
    files.createDirectory();
    const auto copied = runToEnd ({ "mcopy", "-s", "-n", "-m", "-i", image.getFullPathName().toStdString(), "::/", files.getFullPathName().toStdString() + "/" },
                                  { "PATH=/usr/bin:/bin" }, 30s);
    const auto modes = runToEnd ({ "find", files.getFullPathName().toStdString(), "-type", "f", "-exec", "chmod", "0644", "{}", "+" }, { "PATH=/usr/bin:/bin" }, 30s);
    if (copied.status != std::optional<int> (0) || modes.status != std::optional<int> (0))
        problem = "cannot read the stick's files (mtools): " + copied.errors + modes.errors;
    // Through FUSE (bindfs): GIO shows no bind mount, and a desktop's stick is a mount of its own.
    else if (const auto bound = runToEnd ({ "bindfs", "-r", "-o", "nosuid,nodev", files.getFullPathName().toStdString(), to }, { "PATH=/usr/bin:/bin" }, 30s);
             bound.status != std::optional<int> (0))
        problem = "cannot mount the stick's files at " + to + " with bindfs: " + bound.errors;
}

MediaMount::~MediaMount()
{
    // Lazily, as a desktop lets a medium go that something still holds.
    umount2 (mountPoint.getFullPathName().toRawUTF8(), MNT_DETACH);
    mountPoint.deleteFile();
    files.deleteRecursively();
}
} // namespace support
