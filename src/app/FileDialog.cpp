#include "app/FileDialog.h"
#include "app/DialogWindowTie.h"
#include "app/FileIntake.h"
#include "rename/NameSuggestion.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace
{
// Canonical absolute paths never hold "//", and every one starts with "/": the first "//" after a
// name is where the next path begins, whatever the names hold (":", newlines, quotes).
const std::string multipleSeparator ("//");

// The dialogs shown and not yet closed, oldest first (message thread only).
std::vector<FileDialog*> openDialogs;

void forget (FileDialog* dialog)
{
    openDialogs.erase (std::remove (openDialogs.begin(), openDialogs.end(), dialog), openDialogs.end());
}

unsigned long nativeWindowOf (juce::Component* c)
{
    auto* peer = c != nullptr ? c->getPeer() : nullptr;
    return peer != nullptr ? (unsigned long) (juce::pointer_sized_uint) peer->getNativeHandle() : 0;
}

juce::String findZenity()
{
    for (const auto& folder : juce::StringArray::fromTokens (juce::SystemStats::getEnvironmentVariable ("PATH", {}), ":", {}))
        if (const auto program = juce::File (folder).getChildFile ("zenity");
            folder.startsWithChar ('/') && program.existsAsFile() && ::access (program.getFullPathName().toRawUTF8(), X_OK) == 0)
            return program.getFullPathName();
    return {};
}

// "*.wav" as "*.[wW][aA][vV]": the desktop dialog's patterns are case-sensitive, a drop is not.
juce::String anyCase (const juce::String& pattern)
{
    juce::String result;
    for (auto c : pattern)
        result += juce::CharacterFunctions::isLetter (c)
                      ? "[" + juce::String::charToString (juce::CharacterFunctions::toLowerCase (c))
                            + juce::String::charToString (juce::CharacterFunctions::toUpperCase (c)) + "]"
                      : juce::String::charToString (c);
    return result;
}

juce::StringArray patternList (const juce::String& patterns)
{
    return juce::StringArray::fromTokens (patterns, ";", {});
}

class AnyCaseFilter final : public juce::FileFilter
{
public:
    explicit AnyCaseFilter (const juce::String& list) : juce::FileFilter (list), patterns (patternList (list)) {}

    bool isFileSuitable (const juce::File& file) const override
    {
        for (const auto& p : patterns)
            if (file.getFileName().matchesWildcard (p, true))
                return true;
        return patterns.isEmpty();
    }

    bool isDirectorySuitable (const juce::File&) const override { return true; }

private:
    juce::StringArray patterns;
};

bool acceptable (const std::string& path, FileDialog::Mode mode)
{
    struct stat info {};
    if (mode == FileDialog::Mode::saveFile)
        return ! path.empty() && path.front() == '/' && ! (::stat (path.c_str(), &info) == 0 && S_ISDIR (info.st_mode));
    return FileIntake::isRegularFile (path);
}
} // namespace

//==============================================================================
FileDialog::FileDialog (Options o, Callback c)
    : juce::Thread ("FileDialog"), options (std::move (o)), callback (std::move (c)), ownerWindow (nativeWindowOf (options.owner))
{
    openDialogs.push_back (this);

    if (findZenity().isEmpty())
        showFallbackDialog();
    else
        startThread();
}

FileDialog::~FileDialog()
{
    *alive = false;
    forget (this);

    signalThreadShouldExit();
    {
        // The process is not reaped before it is marked gone, so its id cannot belong to another yet.
        const std::lock_guard<std::mutex> lock (processLock);
        if (child > 0)
            ::kill (-child, SIGKILL);
    }
    stopThread (-1);
}

juce::File FileDialog::fileOf (const std::string& path)
{
    return juce::File (NameSuggestion::fromUTF8 (path));
}

bool FileDialog::isAnyOpen() { return ! openDialogs.empty(); }

bool FileDialog::raiseOpenDialog()
{
    if (openDialogs.empty())
        return false;

    auto* dialog = openDialogs.back();
    if (dialog->fallbackBox != nullptr)
        dialog->fallbackBox->toFront (true);
    else
        dialog->raiseWanted = true;
    return true;
}

juce::StringArray FileDialog::zenityArguments (const Options& o)
{
    juce::StringArray args { "--file-selection", "--modal", "--title=" + o.title };

    if (o.mode == Mode::openFiles)
        args.addArray ({ "--multiple", "--separator=" + juce::String (multipleSeparator) });
    else if (o.mode == Mode::saveFile)
        args.add ("--save");

    if (const auto patterns = patternList (o.patterns); ! patterns.isEmpty())
    {
        juce::StringArray anyCasePatterns;
        for (const auto& p : patterns)
            anyCasePatterns.add (anyCase (p));
        args.add ("--file-filter=" + patterns.joinIntoString (" ") + " | " + anyCasePatterns.joinIntoString (" "));
    }

    if (o.startFolder.isDirectory())
        args.add ("--filename=" + o.startFolder.getFullPathName() + "/");

    return args;
}

std::vector<std::string> FileDialog::parseOutput (const std::string& output, Mode mode)
{
    // One line end closes the output; anything before it belongs to the names.
    auto text = output;
    if (! text.empty() && text.back() == '\n')
        text.pop_back();

    std::vector<std::string> paths;
    for (size_t start = 0; ! text.empty();)
    {
        const auto end = mode == Mode::openFiles ? text.find (multipleSeparator, start) : std::string::npos;
        paths.push_back (text.substr (start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + multipleSeparator.size();
    }

    std::vector<std::string> files;
    for (auto& p : paths)
        if (acceptable (p, mode))
            files.push_back (std::move (p));
    return files;
}

//==============================================================================
void FileDialog::run()
{
    int pipeEnds[2];
    if (::pipe2 (pipeEnds, O_CLOEXEC) != 0)
        return finish ({});

    std::vector<std::string> argv { findZenity().toStdString() };
    for (const auto& a : zenityArguments (options))
        argv.push_back (a.toStdString());
    std::vector<char*> args;
    for (auto& a : argv)
        args.push_back (a.data());
    args.push_back (nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init (&actions);
    posix_spawn_file_actions_addopen (&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2 (&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen (&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    // A process group of its own, so that whatever the dialog starts ends with it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init (&attributes);
    sigset_t noSignals;
    sigemptyset (&noSignals);
    posix_spawnattr_setsigmask (&attributes, &noSignals);
    posix_spawnattr_setpgroup (&attributes, 0);
    posix_spawnattr_setflags (&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK);

    {
        const std::lock_guard<std::mutex> lock (processLock);
        if (! threadShouldExit() && posix_spawn (&child, args[0], &actions, &attributes, args.data(), environ) != 0)
            child = -1;
    }
    posix_spawn_file_actions_destroy (&actions);
    posix_spawnattr_destroy (&attributes);
    ::close (pipeEnds[1]);

    std::string output;
    DialogWindowTie window (ownerWindow, child);
    while (child > 0 && ! threadShouldExit())
    {
        // A raise asked for before the window is mapped waits for it.
        if (window.findAndTie() && raiseWanted.exchange (false))
            window.activate();

        pollfd ready[] { { pipeEnds[0], POLLIN, 0 }, { window.descriptor(), POLLIN, 0 } };
        if (::poll (ready, 2, 100) <= 0 || ready[0].revents == 0)
            continue;
        char buffer[4096];
        const auto count = ::read (pipeEnds[0], buffer, sizeof (buffer));
        if (count <= 0)
            break;
        output.append (buffer, (size_t) count);
    }
    ::close (pipeEnds[0]);

    int status = -1;
    if (child > 0)
    {
        siginfo_t info {};
        ::waitid (P_PID, (id_t) child, &info, WEXITED | WNOWAIT);
        const std::lock_guard<std::mutex> lock (processLock);
        ::waitpid (child, &status, 0);
        child = -1;
    }

    finish (WIFEXITED (status) && WEXITSTATUS (status) == 0 ? parseOutput (output, options.mode) : std::vector<std::string>());
}

void FileDialog::finish (std::vector<std::string> files)
{
    juce::MessageManager::callAsync ([this, isAlive = alive, files = std::move (files)]
    {
        if (! *isAlive || std::find (openDialogs.begin(), openDialogs.end(), this) == openDialogs.end())
            return;
        forget (this);
        // The callback may destroy this object.
        auto done = callback;
        done (files);
    });
}

void FileDialog::showFallbackDialog()
{
    int flags = juce::FileBrowserComponent::canSelectFiles;
    flags |= options.mode == Mode::saveFile ? juce::FileBrowserComponent::saveMode : juce::FileBrowserComponent::openMode;
    if (options.mode == Mode::openFiles)
        flags |= juce::FileBrowserComponent::canSelectMultipleItems;

    fallbackFilter = std::make_unique<AnyCaseFilter> (options.patterns);
    fallbackBrowser = std::make_unique<juce::FileBrowserComponent> (flags, options.startFolder, fallbackFilter.get(), nullptr);
    fallbackBox = std::make_unique<juce::FileChooserDialogBox> (options.title, juce::String(), *fallbackBrowser, false,
                                                               juce::Colours::darkgrey);
    fallbackBox->centreWithDefaultSize (nullptr);
    fallbackBox->enterModalState (true, juce::ModalCallbackFunction::create ([this, isAlive = alive] (int result)
    {
        if (! *isAlive)
            return;
        std::vector<std::string> files;
        for (int i = 0; result != 0 && i < fallbackBrowser->getNumSelectedFiles(); ++i)
            if (auto path = fallbackBrowser->getSelectedFile (i).getFullPathName().toStdString(); acceptable (path, options.mode))
                files.push_back (std::move (path));
        finish (std::move (files));
    }), false);
}
