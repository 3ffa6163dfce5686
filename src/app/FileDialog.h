#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

// A file dialog that returns every picked file exactly as picked, whatever its name holds. The
// desktop's dialog (zenity) runs as a child process watched by this object's "FileDialog" thread,
// which also ties the dialog's window to the owner's window, so that the window manager keeps it
// above; where zenity is missing, JUCE's own dialog is shown instead. At most one dialog of the
// process is open at a time, and no dialog process outlives the object that showed it.
//
// Threads: construct, destroy and call the static functions on the message thread; the result
// callback runs there too. The thread starts the process, reads what it prints, reaps it, and
// handles the dialog's window on an X connection of its own.
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
        juce::Component* owner = nullptr;   // the dialog stays above this component's window
    };

    // The picked files' paths, as bytes (names need not be UTF-8); empty when the dialog was
    // cancelled. Opened files are existing regular files (or links to them); a file to save is an
    // absolute path that is not a folder.
    using Callback = std::function<void (const std::vector<std::string>&)>;

    // Shows the dialog at once. The callback is not called once this object is gone.
    FileDialog (Options options, Callback callback);
    ~FileDialog() override;

    // A picked path as a juce::File, for callers that keep files so. A name that is not UTF-8 does
    // not survive juce::String: it comes back with U+FFFD in place of its odd bytes, naming no file.
    static juce::File fileOf (const std::string& path);

    static bool isAnyOpen();

    // Brings the open dialog, if any, to the front with the focus; true when one is open.
    static bool raiseOpenDialog();

    // The zenity command line for the options (without the program name), and the files a zenity
    // output names. UI-free, for the tests.
    static juce::StringArray zenityArguments (const Options& options);
    static std::vector<std::string> parseOutput (const std::string& output, Mode mode);

private:
    void run() override;
    void showFallbackDialog();
    void finish (std::vector<std::string> files);

    const Options options;
    Callback callback;
    const unsigned long ownerWindow;
    std::atomic<bool> raiseWanted { false };
    std::shared_ptr<bool> alive = std::make_shared<bool> (true);

    std::mutex processLock;
    pid_t child = -1;       // set while the process runs and is not yet reaped

    std::unique_ptr<juce::FileFilter> fallbackFilter;
    std::unique_ptr<juce::FileBrowserComponent> fallbackBrowser;
    std::unique_ptr<juce::FileChooserDialogBox> fallbackBox;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (FileDialog)
};
