#include "rename/UniqueName.h"

#include <array>

namespace UniqueName
{
namespace
{
    constexpr int kFirstSuffix = 2;
    constexpr int kLastSuffix = 98;
    constexpr int kFallbackSuffix = 99;

    // The k of a name that is exactly base + "_" + k (decimal, no leading zero) for k in 2..98, else 0.
    int suffixOf (const std::string& name, const std::string& base) noexcept
    {
        const auto digits = name.size() - base.size() - 1;

        if (name.size() <= base.size() + 1 || digits > 2
             || name.compare (0, base.size(), base) != 0 || name[base.size()] != '_')
            return 0;

        int k = 0;

        for (auto i = base.size() + 1; i < name.size(); ++i)
        {
            if (name[i] < '0' || name[i] > '9')
                return 0;

            k = k * 10 + (name[i] - '0');
        }

        const bool leadingZero = name[base.size() + 1] == '0';
        return (! leadingZero && k >= kFirstSuffix && k <= kLastSuffix) ? k : 0;
    }
}

juce::String makeUnique (const juce::String& desiredName, const std::string& path,
                         const std::map<std::string, std::string>& newNames)
{
    const auto base = desiredName.trim();

    if (base.isEmpty())
        return base;

    // One pass marks which of base, base_2 ... base_98 other rows hold; the candidates are then
    // tried against the marks, so the cost stays linear in the number of rows.
    const auto baseBytes = base.toStdString();
    std::array<bool, kLastSuffix + 1> taken {};

    for (const auto& [otherPath, storedName] : newNames)
    {
        if (otherPath == path)
            continue;

        if (storedName == baseBytes)
            taken[0] = true;
        else if (const auto k = suffixOf (storedName, baseBytes))
            taken[(size_t) k] = true;
    }

    if (! taken[0])
        return base;

    for (int k = kFirstSuffix; k <= kLastSuffix; ++k)
        if (! taken[(size_t) k])
            return base + "_" + juce::String (k);

    return base + "_" + juce::String (kFallbackSuffix);
}
}
