#pragma once

#include "analysis/AudioAnalysisThread.h"
#include "look/RowsInView.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// The loudness panel: one row per WAV file taken in, with its integrated loudness (LUFS) and true
// peak (dBTP), each coloured by fixed thresholds. It queues a task for every row without a result
// and hands it to its own "AudioAnalysis" worker. Widgets exist only for the rows in view
// (RowsInView); what a row shows follows from the maps below.
//
// Threads: everything here runs on the message thread. The worker's result callback only posts the
// result back to the message thread, guarded by a safe pointer and the list's generation.
class AudioAnalysisComponent final : public juce::Component,
                                     private juce::Timer
{
public:
    // The widgets of one row in view, showing row index, the row of path.
    struct Row final : public juce::Component
    {
        Row();

        juce::Label nameLabel;
        juce::Label lufsLabel;
        juce::Label truePeakLabel;
        juce::TextButton removeButton { "X" };
        std::string path;
        int index = -1;
    };

    AudioAnalysisComponent();
    ~AudioAnalysisComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;

    // Appends a row for every WAV path not listed yet; queues nothing.
    void addList (const std::vector<std::string>& files);
    // Queues every row that has no result and is not queued, and starts the worker.
    void startBackgroundAnalysis();
    // Writes one result into the row of path; a path no longer listed changes nothing.
    void updateAnalysisResult (const std::string& path, int row, float lufs, float truePeak);
    // Removes every row and stops the worker; results still on their way are dropped.
    void clearList();

    // Asks the worker to end and waits for it. Its unfinished tasks stay queued and the timer starts
    // it again for them; clearList drops them.
    void stopAnalysis();
    bool isAnalysing() const;

    // The widgets showing the row at index, or null while it is out of view.
    Row* shownRow (int index) const { return rows.find (index); }

    // The dots shown after "Analyzing" at an animation tick: 1 to 8, one more every 6 ticks.
    static juce::String animationDots (int tick);

    static constexpr int kAnalysisTickMs = 200;
    static constexpr const char* kAnalysisFileExtension = ".wav";

    std::set<std::string> listedFiles;
    std::vector<std::string> filePaths;
    std::map<std::string, float> lufsByFile;
    std::map<std::string, float> truePeakByFile;
    std::map<std::string, bool> analysingByFile;

    std::unique_ptr<juce::TextButton> closeButton;
    std::unique_ptr<RowsViewport> viewport;
    // The viewport's viewed component, owned here; the rows in view are its children.
    std::unique_ptr<juce::Component> content = std::make_unique<juce::Component>();

private:
    void timerCallback() override;
    void installResultCallback();
    void removeRow (std::string path);
    void closePanel();
    std::unique_ptr<Row> makeRow();
    void showRowsInView();
    void bindRow (Row& row);
    void showValues (Row& row);

    // Per row, beside the maps: how its measurement went.
    struct RowState
    {
        bool failed = false;     // the last measurement gave the error values: "Error"
        int queuedAtTick = -1;   // the animation tick at which it was queued: one dot until the next
    };
    std::vector<RowState> rowStates;
    std::map<std::string, size_t> rowOfPath;

    int animationTick = 0;
    // Bumped by clearList, so that a result measured before it cannot land on a row added after.
    int listGeneration = 0;

    AudioAnalysisThread analysisThread;
    RowsInView<Row> rows { [this] { return makeRow(); } };

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (AudioAnalysisComponent)
};
