#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

// The ISRC panel: one row per WAV file taken in, with its name, its rate and depth ("44k-24b") and
// an editable field holding the ISRC code stored in the file. Edits stay in the panel; nothing is
// written to the files. Message thread only.
class ISRCListComponent final : public juce::Component
{
public:
    // An ISRC written with its three hyphens.
    static constexpr int kIsrcMaxLength = 15;
    static constexpr const char* kIsrcEditorCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-";
    static constexpr const char* kAnalysisFileExtension = ".wav";

    ISRCListComponent();
    ~ISRCListComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // Called by the intake timer: appends a row for every ".wav" path (any case) not listed yet,
    // reading its header on the spot.
    void addList (const juce::StringArray& files);

    // Stores every change of the editor's text under path.
    void setupISRCEditor (juce::TextEditor* editor, const std::string& path);

    // A row's remove button: drops the row of path and sets listChanged. Takes its own copy of the
    // path, because the button whose action calls it is deleted on the way.
    void removeRow (std::string path);

    // CLEAR AUDIO FILES: empties every row; listChanged keeps its value and no layout follows.
    void clearRows();

    std::map<std::string, std::string> isrcByFile;
    std::vector<std::string> filePaths;
    // Set by every row removal; read and cleared by the main component's intake timer.
    bool listChanged = false;

    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<juce::Viewport> viewport;
    // The viewport's viewed component, owned here; every row widget is its child.
    std::unique_ptr<juce::Component> content;
    juce::OwnedArray<juce::Label> nameLabels;
    juce::OwnedArray<juce::Label> formatLabels;
    juce::OwnedArray<juce::TextEditor> isrcEditors;
    juce::OwnedArray<juce::TextButton> removeButtons;

private:
    void addRow (const std::string& path);
    void setEditorsWantFocus (bool wantFocus);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ISRCListComponent)
};
