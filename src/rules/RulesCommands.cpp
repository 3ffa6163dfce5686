// The rules page's commands: ADD TERM, ADD INSTRUMENT, DEFAULT RULES, LOAD RULES, SAVE RULES and
// SAVE RULES AS. Message thread only; the two dialogs complete later on the message thread.
#include "rules/Rules.h"

#include "rules/RuleTableEdits.h"
#include "rules/SafeFileWriter.h"

//==============================================================================
void Rules::addNewTerme()
{
    if (! RuleTableEdits::isValidIndex (instruments, selectedIndex))
        return;

    workingTerms.push_back ("newterm");
    updateTermesList();

    // Scrolled once the new row has been laid out and the viewport has caught up with it.
    juce::MessageManager::callAsync ([page = juce::Component::SafePointer<Rules> (this)]
    {
        if (page != nullptr && page->termsViewport.getViewedComponent() != nullptr)
            page->termsViewport.setViewPosition (0, page->termsContent.getHeight());
    });
}

void Rules::addInstrument()
{
    instruments.push_back ({ juce::String(), { juce::String() } });
    updateInstrumentsList();

    const int last = (int) instruments.size() - 1;
    selectInstrument (last);

    // The new row gets its widgets once the list has scrolled to it.
    instrumentsViewport.setViewPosition (0, instrumentsContent.getHeight());

    if (auto* row = findInstrumentRow (last))
        row->selectButton.setToggleState (true, juce::sendNotificationSync);
}

void Rules::restoreDefaultRules()
{
    setStatus ("Loading default rules...");
    loadDefaultRules();
    setStatus ("Default rules loaded successfully");
}

//==============================================================================
void Rules::loadCSVRules()
{
    // One dialog at a time: the one open already comes to the front.
    if (FileDialog::raiseOpenDialog())
        return;

    setStatus ("Choose CSV rules file to load...");

    loadChooser = std::make_unique<FileDialog> (FileDialog::Options { "Choose CSV rules file", kRulesFilePattern,
                                                                      juce::File::getSpecialLocation (juce::File::userHomeDirectory),
                                                                      FileDialog::Mode::openFile, this },
                                                [this] (const std::vector<std::string>& chosen) { rulesFileChosen (chosen.empty() ? juce::File() : FileDialog::fileOf (chosen[0])); });
}

void Rules::rulesFileChosen (const juce::File& file)
{
    if (file == juce::File())
    {
        setStatus (kTitleText);
        return;
    }

    // Nothing is loaded unless every line passes: the table, the selection and its edits stay.
    auto check = RuleFile::check (file);

    if (! check.accepted)
    {
        setStatus (check.message);
        return;
    }

    // The table that passed is the one loaded: the file is not read a second time.
    showTable (file, std::move (check.instruments));
    setStatus ("CSV rules loaded successfully");
}

//==============================================================================
void Rules::saveRules()
{
    setStatus ("Saving rules...");
    commitWorkingTerms();
    const auto saving = prepareSave();

    if (saving.refusal.isNotEmpty())
        return;

    // A rule file whose folder went away is written anew, folders included. The file itself is left
    // to the writer, which creates it only once its content is complete: a failed save leaves no
    // empty file behind.
    if (rulesFile != juce::File() && ! rulesFile.exists())
        rulesFile.getParentDirectory().createDirectory();

    setStatus (writeRulesFile (rulesFile, saving.bytes) ? "Rules saved successfully" : "Error: Could not save rules file");
}

void Rules::saveRulesAs()
{
    if (FileDialog::raiseOpenDialog())
        return;

    setStatus ("Choose location to save rules...");
    commitWorkingTerms();

    // No overwrite warning: the chosen file is replaced.
    saveChooser = std::make_unique<FileDialog> (FileDialog::Options { "Save Rules As...", kRulesFilePattern,
                                                                      juce::File::getSpecialLocation (juce::File::userHomeDirectory),
                                                                      FileDialog::Mode::saveFile, this },
                                                [this] (const std::vector<std::string>& chosen) { saveAsFileChosen (chosen.empty() ? juce::File() : FileDialog::fileOf (chosen[0])); });
}

void Rules::saveAsFileChosen (const juce::File& file)
{
    if (file == juce::File())
    {
        setStatus ("Save cancelled");
        return;
    }

    // The page stays usable while the dialog is open: save the terms as they are now.
    commitWorkingTerms();
    const auto saving = prepareSave();

    if (saving.refusal.isNotEmpty())
        return;

    if (! writeRulesFile (file, saving.bytes))
    {
        setStatus ("Error: Could not save rules file");
        return;
    }

    rulesFile = file;
    setStatus ("Rules saved as " + file.getFileName());
}

RuleFile::SaveText Rules::prepareSave()
{
    // A table that LOAD RULES would refuse or read otherwise is not written: the file on disk, the
    // table and the rules file stay as they are, and the status says which instrument and why.
    auto saving = RuleFile::prepareSave (instruments);

    if (saving.refusal.isNotEmpty())
        setStatus (saving.refusal);

    return saving;
}

bool Rules::writeRulesFile (const juce::File& target, const juce::MemoryBlock& bytes)
{
    // The built-in table has no file of its own to go back to.
    if (target == juce::File())
        return false;

    return SafeFileWriter::write (target, bytes.getData(), bytes.getSize());
}
