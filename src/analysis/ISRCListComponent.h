#pragma once

#include "analysis/ISRCHeaderThread.h"
#include "look/RowsInView.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The ISRC panel: one row per WAV file taken in, with its name, its rate and depth ("44k-24b") and
// an editable field holding the ISRC code stored in the file. Edits stay in the panel; nothing is
// written to the files. Widgets exist only for the rows in view (RowsInView).
//
// Threads: everything here runs on the message thread. The headers are read by the panel's own
// worker (ISRCHeaderThread), the rows in view first, and come back to the message thread; each row's
// read has an id of its own, so that a read begun before a removal or CLEAR AUDIO FILES never lands
// on a row added after. A row's field takes no typing until its stored code is in.
class ISRCListComponent final : public juce::Component
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

        void focusOfChildComponentChanged (FocusChangeType cause) override;

        juce::Label nameLabel;
        juce::Label formatLabel;
        FocusCaretEditor isrcEditor;
        juce::TextButton removeButton { "X" };
        std::string path;
        int index = -1;
        // Called when its field takes the keyboard focus.
        std::function<void()> onFocusInside;
    };

    ISRCListComponent();
    ~ISRCListComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;

    // Called by the intake timer: appends a row for every ".wav" path (any case, raw bytes) not listed
    // yet and has its header read in the background.
    void addList (const std::vector<std::string>& files);

    // Binds the row's field, once: every change of its text is stored under the row's path.
    void setupISRCEditor (Row& row);

    // A row's remove button: drops the row of path and sets listChanged.
    void removeRow (std::string path);

    // CLEAR AUDIO FILES: empties every row; listChanged keeps its value.
    void clearRows();

    // The widgets showing the row at index, or null while it is out of view.
    Row* shownRow (int index) const { return rows.find (index); }

    // True until every listed file's header is in.
    bool isReadingHeaders() const noexcept { return unreadHeaders > 0; }

    std::map<std::string, std::string> isrcByFile;
    std::vector<std::string> filePaths;

    // Per listed path: the read asked for its row, and once it is in, the rate and depth shown
    // (empty for a file that could not be read).
    struct FileHeader
    {
        juce::uint64 readId = 0;
        bool read = false;
        juce::String format;
    };
    std::map<std::string, FileHeader> headerByFile;
    // Set by every row removal; read and cleared by the main component's intake timer.
    bool listChanged = false;

    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<RowsViewport> viewport;
    // The viewport's viewed component, owned here; the rows in view are its children.
    std::unique_ptr<juce::Component> content = std::make_unique<juce::Component>();

private:
    void headersRead (const std::vector<ISRCHeaderThread::Header>& headers);
    std::unique_ptr<Row> makeRow();
    void showRowsInView();
    void bindRow (Row& row);
    void storeEdit (const Row& row);
    void keepRowInSight (int index);

    RowsInView<Row> rows { [this] { return makeRow(); } };
    size_t unreadHeaders = 0;
    juce::uint64 lastReadId = 0;

    // Last, so that it is gone (its thread joined) before anything its results reach.
    ISRCHeaderThread headerThread { [this] (const auto& headers) { headersRead (headers); } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (ISRCListComponent)
};
