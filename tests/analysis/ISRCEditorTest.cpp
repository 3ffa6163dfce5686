#include "analysis/ISRCPanelSupport.h"

using namespace tarsio::test;

namespace
{
void type (juce::TextEditor& editor, const juce::String& keys)
{
    for (auto c : keys)
        editor.keyPressed (juce::KeyPress ((int) c, juce::ModifierKeys(), c));
}
} // namespace

TEST_F (ISRCPanel, TypingAcceptsCapitalsDigitsAndHyphensUpToFifteen)
{
    const auto file = writeWavFile (folder / "take.wav", 44100, 16);
    add ({ file });
    auto& editor = editorOf (file);

    type (editor, "usabc");
    EXPECT_EQ (editor.getText(), "") << "lower case is dropped, not converted";

    type (editor, "US-ABC-12-34567");
    EXPECT_EQ (editor.getText(), "US-ABC-12-34567");
    type (editor, "8");
    EXPECT_EQ (editor.getText(), "US-ABC-12-34567") << "a sixteenth character is refused";

    pumpMessages (20);
    EXPECT_EQ (storedIsrcOf (file), "US-ABC-12-34567");
}

TEST_F (ISRCPanel, PastedTextKeepsOnlyTheAllowedCharacters)
{
    const auto file = writeWavFile (folder / "take.wav", 44100, 16, infoListIsrc ("USABC1234567"));
    add ({ file });
    auto& editor = editorOf (file);
    EXPECT_EQ (editor.getText(), "USABC1234567");

    editor.selectAll();
    editor.insertTextAtCaret (juce::String (juce::CharPointer_UTF8 ("fr z03-98 \xc3\xa9" "00212")));
    EXPECT_EQ (editor.getText(), "03-9800212");

    editor.selectAll();
    editor.insertTextAtCaret ("GBAYE0601498GBAYE");
    EXPECT_EQ (editor.getText(), "GBAYE0601498GBA");

    pumpMessages (20);
    EXPECT_EQ (storedIsrcOf (file), "GBAYE0601498GBA");
}

TEST_F (ISRCPanel, EmptyingTheFieldStoresTheEmptyText)
{
    const auto file = writeWavFile (folder / "take.wav", 44100, 16, infoListIsrc ("USABC1234567"));
    add ({ file });
    pumpMessages (20);
    EXPECT_EQ (storedIsrcOf (file), "USABC1234567");

    // Every change is stored whole, including emptying the field.
    auto& editor = editorOf (file);
    editor.selectAll();
    editor.keyPressed (juce::KeyPress (juce::KeyPress::backspaceKey));
    pumpMessages (20);
    EXPECT_EQ (storedIsrcOf (file), "");
}
