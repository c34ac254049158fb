#include "AtspiBridge.h"

#include "AccessibilityStatus.h"
#include "AtspiPublisher.h"

AtspiBridge::AtspiBridge()
{
    status = std::make_unique<AccessibilityStatus> ([this] (std::unique_ptr<DBus::Connection> accessibilityBus)
                                                    { publisher = std::make_unique<AtspiPublisher> (std::move (accessibilityBus)); },
                                                    [this]
                                                    { publisher.reset(); });
}

// The status goes first: nothing it still has on its way may reach a publisher that has gone.
AtspiBridge::~AtspiBridge()
{
    status.reset();
    publisher.reset();
}
