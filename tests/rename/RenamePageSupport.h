#pragma once

#include "rename/Rename.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tarsio::test
{
inline juce::StringArray pathsIn (const TempFolder& folder, std::initializer_list<const char*> names)
{
    juce::StringArray paths;
    for (auto* name : names)
        paths.add ((folder / juce::String::fromUTF8 (name)).getFullPathName());
    return paths;
}

// A click on a toggle button, handled at once: the page's timer rewrites the pause button and the
// status line every 33 ms, and no preview really starts in these tests.
inline void clickToggle (juce::Button& button)
{
    button.setToggleState (! button.getToggleState(), juce::sendNotificationSync);
}

inline int rowOf (const Rename& page, const juce::String& path)
{
    const auto it = std::find (page.filePaths.begin(), page.filePaths.end(), path.toStdString());
    return it == page.filePaths.end() ? -1 : (int) std::distance (page.filePaths.begin(), it);
}

inline juce::String storedName (const Rename& page, const juce::String& path)
{
    const auto it = page.newNames.find (path.toStdString());
    return it == page.newNames.end() ? juce::String ("<unlisted>") : juce::String::fromUTF8 (it->second.c_str());
}

inline bool anyEditorHasFocus (const Rename& page)
{
    return std::any_of (page.nameEditors.begin(), page.nameEditors.end(),
                        [] (auto* editor) { return editor->hasKeyboardFocus (true); });
}

// Types text into the row's editor as its only content, then has the editor lose the focus as
// when the user clicks elsewhere, and waits until the page has handled both.
inline void typeAndLeave (Rename& page, const juce::String& path, const juce::String& text)
{
    const int row = rowOf (page, path);
    ASSERT_GE (row, 0);
    auto* editor = page.nameEditors[row];

    editor->selectAll();
    editor->insertTextAtCaret (text);
    ASSERT_TRUE (pumpUntil ([&] { return storedName (page, path) == text; }, 3000));

    editor->focusLost (juce::Component::focusChangedByMouseClick);
    pumpMessages (20);   // the focus-lost handling arrives as a message
}

// The page in a window of its own on the test display, so that keyboard focus works as for a user.
class ShownRenamePage
{
public:
    ShownRenamePage()
    {
        page.setBounds (100, 100, 860, 587);
        page.addToDesktop (juce::ComponentPeer::windowHasTitleBar);
        page.setVisible (true);
    }

    ~ShownRenamePage()
    {
        page.removeFromDesktop();
        pumpMessages (20);
    }

    // Other tests' windows on the same display may take the focus away: bring the window back
    // and try again until the editor has it.
    bool focus (juce::TextEditor& editor)
    {
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            if (auto* peer = page.getPeer(); peer != nullptr && ! peer->isFocused())
            {
                page.toFront (true);
                pumpUntil ([peer] { return peer->isFocused(); }, 200);
            }

            editor.grabKeyboardFocus();
            if (editor.hasKeyboardFocus (true))
                return true;
            pumpMessages (20);
        }
        return false;
    }

    Rename page;

private:
    JUCE_DECLARE_NON_COPYABLE (ShownRenamePage)
};
} // namespace tarsio::test
