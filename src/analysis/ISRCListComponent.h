#pragma once

#include "look/RowsInView.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

// The ISRC panel: one row per WAV file taken in, with its name, its rate and depth ("44k-24b") and
// an editable field holding the ISRC code stored in the file. Edits stay in the panel; nothing is
// written to the files. Widgets exist only for the rows in view (RowsInView).
//
// Message thread only. The headers of a large intake are read in slices of a few milliseconds on a
// timer that runs only while some are unread, so the window stays responsive however many files
// arrive (or however slow their disk); a row is read at once when it comes into view, so no field
// can be edited before its stored code is in.
class ISRCListComponent final : public juce::Component,
                                private juce::Timer
{
public:
    // An ISRC written with its three hyphens.
    static constexpr int kIsrcMaxLength = 15;
    static constexpr const char* kIsrcEditorCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-";
    static constexpr const char* kAnalysisFileExtension = ".wav";

    // The widgets of one row in view, showing row index, the row of path.
    struct Row final : public juce::Component
    {
        Row();

        juce::Label nameLabel;
        juce::Label formatLabel;
        FocusCaretEditor isrcEditor;
        juce::TextButton removeButton { "X" };
        std::string path;
        int index = -1;
    };

    ISRCListComponent();
    ~ISRCListComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;

    // Called by the intake timer: appends a row for every ".wav" path (any case) not listed yet;
    // the rows in view are read on the spot, the others in the slices that follow.
    void addList (const std::vector<std::string>& files);

    // Binds the row's field, once: every change of its text is stored under the row's path.
    void setupISRCEditor (Row& row);

    // A row's remove button: drops the row of path and sets listChanged.
    void removeRow (std::string path);

    // CLEAR AUDIO FILES: empties every row; listChanged keeps its value.
    void clearRows();

    // The widgets showing the row at index, or null while it is out of view.
    Row* shownRow (int index) const { return rows.find (index); }

    std::map<std::string, std::string> isrcByFile;
    std::vector<std::string> filePaths;
    // Per row: the rate and depth shown, empty for a file that could not be read (or not yet).
    std::vector<juce::String> formatTexts;
    // Per row: whether its header has been read into formatTexts and isrcByFile.
    std::vector<bool> headerRead;
    // Set by every row removal; read and cleared by the main component's intake timer.
    bool listChanged = false;

    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<RowsViewport> viewport;
    // The viewport's viewed component, owned here; the rows in view are its children.
    std::unique_ptr<juce::Component> content = std::make_unique<juce::Component>();

private:
    void timerCallback() override;
    void readHeader (size_t index);
    std::unique_ptr<Row> makeRow();
    void showRowsInView();
    void bindRow (Row& row);
    void storeEdit (const Row& row);

    RowsInView<Row> rows { [this] { return makeRow(); } };
    // Every row before it has been read.
    size_t firstUnread = 0;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ISRCListComponent)
};
