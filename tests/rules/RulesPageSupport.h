#pragma once

#include "rules/Rules.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace tarsio::test
{
// A click as a user makes it: delivered through the message loop, then waited for.
inline void clickAndWait (juce::Button& button)
{
    bool clicked = false;
    auto handler = button.onClick;
    button.onClick = [&clicked, handler] { clicked = true; if (handler) handler(); };
    button.triggerClick();
    ASSERT_TRUE (pumpUntil ([&clicked] { return clicked; }, 2000));
}

// Replaces the whole text of an editor as typed, and lets the change notice arrive.
inline void typeInto (juce::TextEditor& editor, const juce::String& text)
{
    editor.selectAll();
    editor.insertTextAtCaret (text);
    pumpMessages (20);
}

inline juce::File writeRuleFile (const juce::File& file, const char* text)
{
    file.getParentDirectory().createDirectory();
    file.replaceWithText (text, false, false, nullptr);
    return file;
}

inline juce::String bytesOf (const juce::File& file)
{
    juce::MemoryBlock block;
    file.loadFileAsData (block);
    return block.toString();
}

// The page at the window's size with the built-in table, as the main component shows it.
class RulesPageTest : public ::testing::Test
{
protected:
    RulesPageTest()
    {
        page.setSize (860, 587);
        page.loadDefaultRules();
    }

    int indexOf (const juce::String& name) const
    {
        for (size_t i = 0; i < page.instruments.size(); ++i)
            if (page.instruments[i].name == name)
                return (int) i;
        return -1;
    }

    void select (const juce::String& name) { clickAndWait (*page.selectButtons[indexOf (name)]); }
    juce::String status() const { return page.statusLabel.getText(); }
    juce::String termShown (int row) const { return page.termEditors[row]->getText(); }

    TempFolder folder;
    Rules page;
};
} // namespace tarsio::test
