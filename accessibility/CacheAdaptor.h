#pragma once

#include "AtspiAdaptors.h"

namespace CacheAdaptor
{
/** org.a11y.atspi.Cache.GetItems: every object at once, for a client's cache, each with its
    parent, children, interfaces, name, role, description and states. */
DBus::Message items (const AtspiRequest&);
} // namespace CacheAdaptor
