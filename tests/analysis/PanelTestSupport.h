#pragma once

#include "analysis/AnalysisTestSupport.h"

#include "analysis/AudioAnalysisComponent.h"

#include <juce_gui_basics/juce_gui_basics.h>

namespace tarsio::test
{
// The panel's rows as the user sees them: the widgets inside its viewport, four per row.
struct PanelRow
{
    juce::Label* name = nullptr;
    juce::Label* lufs = nullptr;
    juce::Label* truePeak = nullptr;
    juce::TextButton* remove = nullptr;

    juce::String lufsText() const { return lufs->getText(); }
    juce::String truePeakText() const { return truePeak->getText(); }
    juce::Colour lufsBackground() const { return lufs->findColour (juce::Label::backgroundColourId); }
    juce::Colour truePeakBackground() const { return truePeak->findColour (juce::Label::backgroundColourId); }
};

inline juce::Viewport* panelViewport (AudioAnalysisComponent& panel)
{
    for (auto* child : panel.getChildren())
        if (auto* viewport = dynamic_cast<juce::Viewport*> (child))
            return viewport;
    return nullptr;
}

inline std::vector<PanelRow> panelRows (AudioAnalysisComponent& panel)
{
    std::vector<PanelRow> rows;
    auto* viewport = panelViewport (panel);
    if (viewport == nullptr || viewport->getViewedComponent() == nullptr)
        return rows;

    const auto& widgets = viewport->getViewedComponent()->getChildren();
    for (int i = 0; i + 3 < widgets.size(); i += 4)
        rows.push_back ({ dynamic_cast<juce::Label*> (widgets[i]), dynamic_cast<juce::Label*> (widgets[i + 1]),
                          dynamic_cast<juce::Label*> (widgets[i + 2]), dynamic_cast<juce::TextButton*> (widgets[i + 3]) });
    return rows;
}

inline std::string pathOf (const juce::File& file)
{
    return file.getFullPathName().toStdString();
}

// Whether no row shows "Pending..." or "Analyzing" any more.
inline bool allRowsMeasured (AudioAnalysisComponent& panel)
{
    for (const auto& row : panelRows (panel))
        if (row.lufsText() == "Pending..." || row.lufsText() == "Analyzing")
            return false;
    return true;
}
} // namespace tarsio::test
