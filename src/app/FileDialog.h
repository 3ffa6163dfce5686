#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>

// A file dialog that returns every picked file exactly as picked, whatever its name holds. The
// desktop's dialog (zenity) runs as a child process watched by this object's "FileDialog" thread;
// where zenity is missing, JUCE's own dialog is shown instead. At most one dialog of the process is
// open at a time, and no dialog process outlives the object that showed it.
//
// Threads: construct, destroy and ask isAnyOpen on the message thread; the result callback runs
// there too. The thread only starts the process, reads what it prints and reaps it.
class FileDialog final : private juce::Thread
{
public:
    enum class Mode { openFiles, openFile, saveFile };

    struct Options
    {
        juce::String title;
        juce::String patterns;      // "*.wav;*.mp3": matched in any letter case
        juce::File startFolder;
        Mode mode = Mode::openFile;
    };

    // The picked files; empty when the dialog was cancelled. Opened files are existing regular files
    // (or links to them); a file to save is an absolute path that is not a folder.
    using Callback = std::function<void (const juce::Array<juce::File>&)>;

    // Shows the dialog at once. The callback is not called once this object is gone.
    FileDialog (Options options, Callback callback);
    ~FileDialog() override;

    static bool isAnyOpen();

    // The zenity command line for the options (without the program name), and the files a zenity
    // output names. UI-free, for the tests.
    static juce::StringArray zenityArguments (const Options& options);
    static juce::Array<juce::File> parseOutput (const std::string& output, Mode mode);

private:
    void run() override;
    void showFallbackDialog();
    void finish (const juce::Array<juce::File>& files);

    const Options options;
    Callback callback;
    bool open = true;
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);

    std::mutex processLock;
    pid_t child = -1;       // set while the process runs and is not yet reaped

    std::unique_ptr<juce::FileFilter> fallbackFilter;
    std::unique_ptr<juce::FileBrowserComponent> fallbackBrowser;
    std::unique_ptr<juce::FileChooserDialogBox> fallbackBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FileDialog)
};
