#pragma once

// Real input, through the XTEST extension, and what a window manager would send.

#include "XServer.h"

namespace support
{
void moveMouse (const XServer&, juce::Point<int> onRoot);
void click (const XServer&, juce::Point<int> onRoot, int button = 1);

/** The quickest click a person makes: press and release with nothing else in between. */
void quickClick (const XServer&, juce::Point<int> onRoot);

/** One key (an X keysym, such as XK_Tab) pressed and released, with Shift held around it when asked. */
void pressKey (const XServer&, unsigned long keysym, bool withShift = false);

/** Gives a window the X input focus, as a window manager does for the active window. */
void focusWindow (const XServer&, unsigned long window);

/** Asks a window to close the way a window manager does (WM_PROTOCOLS / WM_DELETE_WINDOW). */
void sendCloseRequest (const XServer&, unsigned long window);
} // namespace support
