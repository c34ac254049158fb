#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

namespace support
{
/** A server that does not behave, such as a session bus or an X server: a socket that takes
    every connection and then never answers, or one that holds everything back until told to
    pass it on to a real server's socket. Gone with this object, and its connections with it. */
class SocketInTheWay
{
public:
    /** Never answers. */
    explicit SocketInTheWay (const juce::File& socket);

    /** Answers as the real server at that socket does, but only from letThrough() on. */
    SocketInTheWay (const juce::File& socket, const juce::File& realServer);

    ~SocketInTheWay();

    SocketInTheWay (const SocketInTheWay&) = delete;
    SocketInTheWay& operator= (const SocketInTheWay&) = delete;

    std::string address() const { return "unix:path=" + socketFile.getFullPathName().toStdString(); }

    /** From now on every connection, made before or after, reaches the real server. */
    void letThrough();

    /** How many connections were made to it so far. */
    int connections() const { return accepted; }

private:
    void serve();

    juce::File socketFile;
    std::optional<juce::File> relayTo;
    std::atomic<bool> passing{ false };
    int listening = -1;
    int stopPipe[2] = { -1, -1 };
    std::atomic<int> accepted{ 0 };
    std::thread server;
};
} // namespace support
