// optical-drive [--access-ms MS] [--mbps MB/S] [--buffer-kib KIB] [--log FILE] IMAGE MOUNT_POINT
//
// Serves a disc image, read-only, through FUSE with an optical drive's timing, so that
// the menu can be started from a cold disc: MOUNT_POINT holds the image under its own
// name (mount it with fuseiso, as a desktop mounts a disc) and "statistics", which
// tells how many reads the drive served, how many needed a seek and how many bytes.
//
// The drive model: a read that starts within the drive's buffer, or continues where
// the drive has read up to (or a little beyond), needs no seek and costs only the
// transfer of what the buffer does not hold yet. Anything else costs the access time
// first. While idle, the drive reads ahead into its buffer, up to the buffer's size
// beyond what the host last read. One request is served at a time, as by a drive.
//
// SIGUSR1 takes the disc out: every read of the image fails from then on, as on a
// drive whose tray was opened. SIGTERM or fusermount3 -u ends it. With --log, each read
// is written to FILE as "offset length seek|stream".

#define FUSE_USE_VERSION 31
#include <fuse3/fuse.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

struct DriveTiming
{
    double accessSeconds = 0.100;         // a seek and the rotation to the sector
    double bytesPerSecond = 11.08e6;      // 8x DVD
    double bufferBytes = 1024.0 * 1024.0; // what the drive reads ahead and keeps
};

class Drive
{
public:
    Drive (DriveTiming t, FILE* readLog)
        : timing (t)
        , log (readLog)
    {
    }

    /** Waits as long as the drive would take for this read, and counts it. */
    void serve (double offset, double length)
    {
        const auto now = Clock::now();
        const auto idle = Seconds (now - since).count();
        // Reading ahead while idle, as far as the buffer reaches beyond what the host has.
        const auto head = std::max (readUpTo, std::min (readUpTo + idle * timing.bytesPerSecond, consumedUpTo + timing.bufferBytes));
        const auto end = offset + length;

        // No seek for a read that starts in the buffer or within a buffer's length beyond it:
        // the drive reads on to the end of the request.
        const bool seek = offset < std::max (streamStart, head - timing.bufferBytes) || offset > head + timing.bufferBytes;
        double seconds = 0;
        if (seek)
        {
            seconds = timing.accessSeconds + length / timing.bytesPerSecond;
            streamStart = offset;
            readUpTo = end;
            ++seeks;
        }
        else
        {
            seconds = std::max (0.0, end - head) / timing.bytesPerSecond;
            readUpTo = std::max (head, end);
        }
        consumedUpTo = end;
        ++reads;
        bytes += length;
        if (log != nullptr)
            std::fprintf (log, "%.0f %.0f %s\n", offset, length, seek ? "seek" : "stream");

        std::this_thread::sleep_for (Seconds (seconds));
        since = Clock::now();
    }

    std::string statistics() const
    {
        return "reads " + std::to_string (reads) + "\nseeks " + std::to_string (seeks) + "\nbytes " + std::to_string ((long long) bytes) + "\n";
    }

private:
    DriveTiming timing;
    FILE* log;
    // A fresh drive has its head at the start of the disc and an empty buffer. The
    // buffer holds what was read since the last seek, up to its size.
    double streamStart = 0, readUpTo = 0, consumedUpTo = 0;
    Clock::time_point since = Clock::now() - std::chrono::hours (1);
    long reads = 0, seeks = 0;
    double bytes = 0;
};

struct Served
{
    std::string imageName;
    int image = -1;
    off_t imageSize = 0;
    Drive* drive = nullptr;
};
Served served;
std::atomic<bool> ejected{ false };

constexpr const char* statisticsName = "statistics";

bool isImage (const char* path)
{
    return path[0] == '/' && served.imageName == path + 1;
}

bool isStatistics (const char* path)
{
    return path[0] == '/' && std::strcmp (path + 1, statisticsName) == 0;
}

int getAttributes (const char* path, struct stat* st, fuse_file_info*)
{
    *st = {};
    if (std::strcmp (path, "/") == 0)
    {
        st->st_mode = S_IFDIR | 0555;
        st->st_nlink = 2;
        return 0;
    }
    if (isImage (path) || isStatistics (path))
    {
        st->st_mode = S_IFREG | 0444;
        st->st_nlink = 1;
        st->st_size = isImage (path) ? served.imageSize : 4096;
        return 0;
    }
    return -ENOENT;
}

int readFolder (const char* path, void* buffer, fuse_fill_dir_t fill, off_t, fuse_file_info*, fuse_readdir_flags)
{
    if (std::strcmp (path, "/") != 0)
        return -ENOENT;
    for (const auto* name : { ".", "..", served.imageName.c_str(), statisticsName })
        fill (buffer, name, nullptr, 0, fuse_fill_dir_flags{});
    return 0;
}

int openFile (const char* path, fuse_file_info* info)
{
    if (!isImage (path) && !isStatistics (path))
        return -ENOENT;
    if ((info->flags & O_ACCMODE) != O_RDONLY)
        return -EROFS;
    // The image stays cached as a block device's pages are; the statistics are always read anew.
    info->keep_cache = isImage (path);
    info->direct_io = isStatistics (path);
    return 0;
}

int readFile (const char* path, char* buffer, size_t size, off_t offset, fuse_file_info*)
{
    if (isStatistics (path))
    {
        const auto text = served.drive->statistics();
        if (offset >= (off_t) text.size())
            return 0;
        const auto count = std::min (size, text.size() - (size_t) offset);
        std::memcpy (buffer, text.data() + offset, count);
        return (int) count;
    }
    if (!isImage (path))
        return -ENOENT;
    if (ejected)
        return -EIO;
    if (offset >= served.imageSize)
        return 0;

    const auto count = (size_t) std::min<off_t> ((off_t) size, served.imageSize - offset);
    served.drive->serve ((double) offset, (double) count);
    const auto got = pread (served.image, buffer, count, offset);
    return got < 0 ? -errno : (int) got;
}

void takeTheDiscOut (int)
{
    ejected = true;
}

bool number (const char* text, double& into)
{
    char* end = nullptr;
    into = std::strtod (text, &end);
    return end != text && *end == '\0' && into >= 0;
}

int usage()
{
    std::fprintf (stderr, "usage: optical-drive [--access-ms MS] [--mbps MB/S] [--buffer-kib KIB] [--log FILE] IMAGE MOUNT_POINT\n");
    return 2;
}
} // namespace

int main (int argc, char* argv[])
{
    DriveTiming timing;
    FILE* log = nullptr;
    std::vector<const char*> rest;
    for (int i = 1; i < argc; ++i)
    {
        const std::string option = argv[i];
        double value = 0;
        if (option == "--log" && i + 1 < argc)
        {
            log = std::fopen (argv[++i], "we");
            if (log == nullptr)
                return usage();
            setvbuf (log, nullptr, _IOLBF, 0);
        }
        else if ((option == "--access-ms" || option == "--mbps" || option == "--buffer-kib") && i + 1 < argc)
        {
            if (!number (argv[++i], value))
                return usage();
            if (option == "--access-ms")
                timing.accessSeconds = value / 1000.0;
            else if (option == "--mbps")
                timing.bytesPerSecond = value * 1.0e6;
            else
                timing.bufferBytes = value * 1024.0;
        }
        else
            rest.push_back (argv[i]);
    }
    if (rest.size() != 2 || timing.bytesPerSecond <= 0)
        return usage();

    const std::string image = rest[0];
    served.image = open (image.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info;
    if (served.image < 0 || fstat (served.image, &info) != 0)
    {
        std::perror (image.c_str());
        return 1;
    }
    served.imageSize = info.st_size;
    served.imageName = image.substr (image.find_last_of ('/') + 1);
    Drive drive (timing, log);
    served.drive = &drive;

    fuse_operations operations{};
    operations.getattr = getAttributes;
    operations.readdir = readFolder;
    operations.open = openFile;
    operations.read = readFile;

    struct sigaction eject{};
    eject.sa_handler = takeTheDiscOut;
    sigaction (SIGUSR1, &eject, nullptr);

    // In the foreground and single-threaded: a drive serves one request at a time.
    std::vector<const char*> fuseArguments{ argv[0], "-f", "-s", "-o", "ro,fsname=optical-drive,default_permissions,allow_other", rest[1] };
    return fuse_main ((int) fuseArguments.size(), const_cast<char**> (fuseArguments.data()), &operations, nullptr);
}
