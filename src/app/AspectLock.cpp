#include "app/AspectLock.h"

#include <algorithm>
#include <cmath>

bool AspectLock::ratioIsKept (juce::Point<int> size) const
{
    return std::abs ((double) size.x / size.y - reference) <= 0.01;
}

juce::Point<int> AspectLock::corrected (juce::Point<int> size) const
{
    if (size.x <= 0 || size.y <= 0)
        return size;

    auto target = size;
    if (! ratioIsKept (size))
        target = (double) size.x / size.y > reference ? juce::Point<int> ((int) (size.y * reference), size.y)
                                                      : juce::Point<int> (size.x, (int) (size.x / reference));

    if (target.x < minWidth || target.y < minHeight)
        return { minWidth, minHeight };
    if (target.x > maxWidth || target.y > maxHeight)
        return { maxWidth, maxHeight };
    return target;
}

std::optional<juce::Point<int>> AspectLock::correctionFor (juce::Point<int> size, juce::uint32 nowMs)
{
    if (nowMs - lastResizeMs > quietMs)
        tried.clear();
    lastResizeMs = nowMs;

    const auto target = corrected (size);
    if (target == size)
    {
        tried.clear();
        return std::nullopt;
    }

    if (std::find (tried.begin(), tried.end(), size) != tried.end())
        return std::nullopt;

    tried.push_back (size);
    return target;
}

juce::Rectangle<int> AspectLock::standingArea (juce::Point<int> size) const
{
    const juce::Rectangle<int> whole (size.x, size.y);
    if (size.x <= 0 || size.y <= 0 || corrected (size) == size)
        return whole;

    auto fitted = (double) size.x / size.y > reference ? juce::Point<int> ((int) (size.y * reference), size.y)
                                                       : juce::Point<int> (size.x, (int) (size.x / reference));
    fitted = corrected (fitted);
    return whole.withSizeKeepingCentre (fitted.x, fitted.y);
}
