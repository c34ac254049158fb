#include "Screenshots.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace support
{
juce::Image screenshot (const XServer& server, juce::Rectangle<int> area)
{
    auto* dpy = server.display();
    XSync (dpy, False);
    auto* ximage = XGetImage (dpy, DefaultRootWindow (dpy), area.getX(), area.getY(),
                              static_cast<unsigned int> (area.getWidth()), static_cast<unsigned int> (area.getHeight()),
                              AllPlanes, ZPixmap);
    if (ximage == nullptr)
        return {};

    juce::Image image (juce::Image::ARGB, area.getWidth(), area.getHeight(), false);
    const juce::Image::BitmapData out (image, juce::Image::BitmapData::writeOnly);

    for (int y = 0; y < area.getHeight(); ++y)
        for (int x = 0; x < area.getWidth(); ++x)
        {
            const auto pixel = XGetPixel (ximage, x, y);
            out.setPixelColour (x, y, juce::Colour ((juce::uint8) ((pixel & ximage->red_mask) >> 16), (juce::uint8) ((pixel & ximage->green_mask) >> 8), (juce::uint8) (pixel & ximage->blue_mask)));
        }

    XDestroyImage (ximage);
    return image;
}

int countDifferentPixels (const juce::Image& a, const juce::Image& b, int tolerance)
{
    if (a.getBounds() != b.getBounds())
        return std::max (a.getWidth() * a.getHeight(), b.getWidth() * b.getHeight());

    int count = 0;
    for (int y = 0; y < a.getHeight(); ++y)
        for (int x = 0; x < a.getWidth(); ++x)
        {
            const auto p = a.getPixelAt (x, y), q = b.getPixelAt (x, y);
            if (std::abs (p.getRed() - q.getRed()) > tolerance || std::abs (p.getGreen() - q.getGreen()) > tolerance || std::abs (p.getBlue() - q.getBlue()) > tolerance)
                ++count;
        }
    return count;
}

int countPixelsOtherThan (const juce::Image& image, juce::Colour colour, int tolerance)
{
    juce::Image plain (juce::Image::ARGB, image.getWidth(), image.getHeight(), false);
    plain.clear (plain.getBounds(), colour);
    return countDifferentPixels (image, plain, tolerance);
}
} // namespace support
