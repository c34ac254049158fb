#include "SocketInTheWay.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace support
{
namespace
{
    sockaddr_un addressOf (const juce::File& socket)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy (address.sun_path, socket.getFullPathName().toRawUTF8(), sizeof (address.sun_path) - 1);
        return address;
    }

    /** One connection of the program's, and where it goes once let through. */
    struct Client
    {
        int fd = -1;
        int upstream = -1;
    };

    /** Moves what is readable on one side to the other; false once either side is done. */
    bool pass (int from, int to)
    {
        char buffer[65536];
        const auto got = read (from, buffer, sizeof (buffer));
        if (got <= 0)
            return false;
        for (ssize_t sent = 0; sent < got;)
        {
            const auto n = write (to, buffer + sent, static_cast<size_t> (got - sent));
            if (n <= 0)
                return false;
            sent += n;
        }
        return true;
    }
} // namespace

SocketInTheWay::SocketInTheWay (const juce::File& socket)
    : socketFile (socket)
{
    listening = ::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const auto address = addressOf (socketFile);
    if (listening < 0 || bind (listening, reinterpret_cast<const sockaddr*> (&address), sizeof (address)) != 0 || listen (listening, 16) != 0 || pipe2 (stopPipe, O_CLOEXEC) != 0)
        throw std::runtime_error ("cannot listen on " + socket.getFullPathName().toStdString());
    server = std::thread ([this]
                          { serve(); });
}

SocketInTheWay::SocketInTheWay (const juce::File& socket, const juce::File& realServer)
    : SocketInTheWay (socket)
{
    relayTo = realServer;
}

void SocketInTheWay::letThrough()
{
    passing = true;
    [[maybe_unused]] const auto written = write (stopPipe[1], "p", 1);
}

SocketInTheWay::~SocketInTheWay()
{
    [[maybe_unused]] const auto written = write (stopPipe[1], "x", 1);
    if (server.joinable())
        server.join();
    close (stopPipe[0]);
    close (stopPipe[1]);
    close (listening);
    socketFile.deleteFile();
}

void SocketInTheWay::serve()
{
    std::vector<Client> clients;
    for (;;)
    {
        std::vector<pollfd> watched{ { stopPipe[0], POLLIN, 0 }, { listening, POLLIN, 0 } };
        for (auto& c : clients)
        {
            if (relayTo && passing && c.upstream < 0)
            {
                c.upstream = ::socket (AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
                const auto address = addressOf (*relayTo);
                connect (c.upstream, reinterpret_cast<const sockaddr*> (&address), sizeof (address));
            }
            if (c.upstream >= 0)
            {
                watched.push_back ({ c.fd, POLLIN, 0 });
                watched.push_back ({ c.upstream, POLLIN, 0 });
            }
        }

        if (poll (watched.data(), watched.size(), -1) < 0)
            continue;
        if (watched[0].revents != 0)
        {
            // "p" lets the connections through; anything else ends the bus.
            char command = 0;
            if (read (stopPipe[0], &command, 1) == 1 && command == 'p')
                continue;
            break;
        }
        if (watched[1].revents != 0)
        {
            const auto fd = accept4 (listening, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0)
            {
                clients.push_back ({ fd, -1 });
                ++accepted;
            }
        }

        for (size_t i = 2; i + 1 < watched.size(); i += 2)
        {
            auto client = std::find_if (clients.begin(), clients.end(), [&] (const Client& c)
                                        { return c.fd == watched[i].fd; });
            const bool open = (watched[i].revents == 0 || pass (watched[i].fd, watched[i + 1].fd)) && (watched[i + 1].revents == 0 || pass (watched[i + 1].fd, watched[i].fd));
            if (!open && client != clients.end())
            {
                close (client->fd);
                close (client->upstream);
                clients.erase (client);
            }
        }
    }

    for (auto& c : clients)
    {
        close (c.fd);
        if (c.upstream >= 0)
            close (c.upstream);
    }
}
} // namespace support
