#include "AppClass.h"

#include "MainAppWindow.h"
#include "artwork/ArtworkPicture.h"

#if JUCE_LINUX
#include "accessibility/AtspiBridge.h"
#include "platform/linux/XConnection.h"
#endif

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace
{
// Decoding the pictures leaves free memory scattered through the heap, as much as the
// largest picture takes and more; the allocator keeps it unless asked to give it back.
void returnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim (0);
#endif
}

/** Centred on the main display; where the window is larger than the display, its title bar
    stays on it, at the display's top-left corner, so it can still be reached and moved. */
void placeOnMainDisplay (juce::Component& window, int width, int height)
{
    window.centreWithSize (width, height);
    const auto* display = juce::Desktop::getInstance().getDisplays().getPrimaryDisplay();
    if (display == nullptr)
        return;

    const auto area = display->userArea;
    auto bounds = window.getBounds();
    bounds.setX (juce::jmax (area.getX(), juce::jmin (bounds.getX(), area.getRight() - bounds.getWidth())));
    bounds.setY (juce::jmax (area.getY(), juce::jmin (bounds.getY(), area.getBottom() - bounds.getHeight())));
    window.setBounds (bounds);
}
} // namespace

AppClass::AppClass() = default;

// The window is gone by now: shutdown() has deleted it.
AppClass::~AppClass()
{
    ArtworkPicture::whenAllDecoded (nullptr);
}

void AppClass::initialise (const juce::String&)
{
#if JUCE_LINUX
    XConnection::followDesktopScale();
#endif

    // The pointer is stored only once the window is complete, so a failed
    // construction leaves nothing for shutdown() to delete.
    mainWindow = std::make_unique<MainAppWindow>();
    ArtworkPicture::whenAllDecoded ([this]
                                    { afterPicturesDecoded(); });
    placeOnMainDisplay (*mainWindow, startWidth, startHeight);

#if JUCE_LINUX
    // The framework has opened its display by now, with its own handler; ours must win.
    // Both are in place before the window maps, so its first exposure is seen.
    XConnection::endOnLostConnection();
    XConnection::deliverQueuedEvents();
#endif

    mainWindow->setVisible (true);
}

void AppClass::afterPicturesDecoded()
{
    returnFreedMemory();
#if JUCE_LINUX
    // Once, and only now: nothing of it may delay the first frame or its pictures.
    if (screenReaders == nullptr)
        screenReaders = std::make_unique<AtspiBridge>();
#endif
}

void AppClass::shutdown()
{
    // Pictures may still be decoding once the application has gone.
    ArtworkPicture::whenAllDecoded (nullptr);
#if JUCE_LINUX
    screenReaders.reset();
#endif
    mainWindow.reset();
}

const juce::String AppClass::getApplicationName()
{
    return applicationName;
}

const juce::String AppClass::getApplicationVersion()
{
    return applicationVersion;
}

// Each start from the disc runs on its own with its own window; no lock, no hand-over.
bool AppClass::moreThanOneInstanceAllowed()
{
    return true;
}

void AppClass::anotherInstanceStarted (const juce::String&)
{
}
