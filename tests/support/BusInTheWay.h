#pragma once

#include <juce_core/juce_core.h>

#include <atomic>
#include <optional>
#include <string>
#include <thread>

namespace e2e
{
/** A session bus that does not behave: a socket that takes every connection and then never
    answers, or one that holds everything back until told to pass it on to a real bus.
    Gone with this object, and its connections with it. */
class BusInTheWay
{
public:
    /** Never answers. */
    explicit BusInTheWay (const juce::File& socket);

    /** Answers as the real bus at that socket does, but only from letThrough() on. */
    BusInTheWay (const juce::File& socket, const juce::File& realBus);

    ~BusInTheWay();

    BusInTheWay (const BusInTheWay&) = delete;
    BusInTheWay& operator= (const BusInTheWay&) = delete;

    std::string address() const { return "unix:path=" + socketFile.getFullPathName().toStdString(); }

    /** From now on every connection, made before or after, reaches the real bus. */
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
} // namespace e2e
