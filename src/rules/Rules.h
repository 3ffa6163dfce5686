#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include "app/FileDialog.h"
#include "look/RoundedLabels.h"
#include "rules/RuleFile.h"
#include "rules/RuleRows.h"

#include <functional>
#include <memory>
#include <vector>

// The rules page: the instruments of its own rule table on the left (select button, editable name,
// and on the selected row up, down and delete), the terms of the selected instrument on the right
// (editable term, delete), a status line, and the commands ADD INSTRUMENT, ADD TERM, DEFAULT RULES,
// LOAD RULES, SAVE RULES and SAVE RULES AS. Lists, selection and layout live in Rules.cpp, the
// commands in RulesCommands.cpp. Only the rows in view of the two lists have widgets (RuleRows.h):
// the "rebuilds" fill those rows again.
//
// Threads: everything runs on the message thread, file reading and writing included. The file
// dialogs complete later on the message thread; ADD TERM's scroll is posted there.
class Rules final : public juce::Component
{
public:
    static constexpr const char* kRulesFilePattern = "*.csv";
    static constexpr const char* kTitleText =
        "Rules Editor - Left: Instrument categories, Right: Detection terms for highlighted instrument";
    static constexpr const char* kEmptyTableText =
        "No rules loaded - Click DEFAULT RULES to start or LOAD RULES to import CSV";

    // Builds the page with an empty table; the main component loads the built-in one.
    Rules();
    ~Rules() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    std::unique_ptr<juce::ComponentTraverser> createKeyboardFocusTraverser() override;

    // The built-in table replaces the page's table.
    void loadDefaultRules();
    // The built-in table (empty file) or the rule text of file replaces the page's table, which is
    // then shown with its first instrument selected. file becomes the target of SAVE RULES.
    void loadRulesFromFile (const juce::File& file);

    void updateInstrumentsList();
    void selectInstrument (int index);
    void updateTermesList();

    // Commands.
    void addNewTerme();
    void addInstrument();
    void restoreDefaultRules();
    void loadCSVRules();
    void saveRules();
    void saveRulesAs();
    // Completions of the LOAD RULES and SAVE RULES AS dialogs; an empty file means cancelled.
    void rulesFileChosen (const juce::File& file);
    void saveAsFileChosen (const juce::File& file);

    // True when every code point of text is below 128.
    static bool isValidASCII (const juce::String& text);

    // Members are public so that the tests can drive the page as a user would; the declaration
    // order is the construction order.
    RoundLabel statusLabel;
    std::vector<Instrument> instruments;
    juce::File rulesFile;
    int selectedIndex = -1;
    std::vector<juce::String> workingTerms;
    std::unique_ptr<juce::ImageButton> closeButton;
    juce::Image deleteIcon, deleteOverIcon;
    juce::Image upIcon, upOverIcon;
    juce::Image downIcon, downOverIcon;
    juce::TextButton addInstrumentButton;
    juce::TextButton defaultRulesButton;
    juce::TextButton loadRulesButton;
    juce::TextButton saveRulesButton;
    juce::TextButton saveRulesAsButton;
    juce::TextButton addTermButton;
    std::unique_ptr<FileDialog> loadChooser;
    std::unique_ptr<FileDialog> saveChooser;
    RowsViewport instrumentsViewport;
    juce::Component instrumentsContent;
    RowsInView<InstrumentRow> instrumentRows { [this] { return makeInstrumentRow(); } };
    RowsViewport termsViewport;
    juce::Component termsContent;
    RowsInView<TermRow> termRows { [this] { return makeTermRow(); } };

    // The widgets of instrument row index, or of term row index; nullptr while it has none (out of view).
    InstrumentRow* findInstrumentRow (int index) const  { return instrumentRows.find (index); }
    TermRow* findTermRow (int index) const              { return termRows.find (index); }

private:
    void setStatus (const juce::String& text);
    // What loadRulesFromFile does once the table is read: file becomes the target of SAVE RULES.
    void showTable (const juce::File& file, std::vector<Instrument> table);
    void commitWorkingTerms();
    std::unique_ptr<juce::ImageButton> makeIconButton (const juce::Image& normal, const juce::Image& over) const;
    std::unique_ptr<InstrumentRow> makeInstrumentRow();
    std::unique_ptr<TermRow> makeTermRow();
    void showInstrumentRow (InstrumentRow& row);
    void showTermRow (TermRow& row);
    void coverInstrumentRows (bool fillAll);
    void coverTermRows (bool fillAll);
    int unit() const noexcept;
    void paintConnector (juce::Graphics& g);
    void layoutInstrumentRows();
    void layoutTermRows();

    void instrumentNameChanged (int index, const juce::TextEditor& editor);
    void instrumentNameFocused (int index);
    void moveInstrument (int index, int direction);
    void deleteInstrument (int index);
    void termChanged (int index, const juce::TextEditor& editor);
    void deleteTerm (int index);
    void editorReturnPressed (juce::TextEditor& editor, const juce::String& status);

    // The table's bytes for its file; none, with the reason as the status, when they would not load
    // back as the same table.
    RuleFile::SaveText prepareSave();
    bool writeRulesFile (const juce::File& target, const juce::MemoryBlock& bytes);

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (Rules)
};
