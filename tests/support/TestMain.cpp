// Every test process holds the JUCE GUI initialiser and shows its windows on an X server of its own
// (Xvfb with a window manager): tests run as parallel processes, and on a shared screen their windows
// would cover each other and fight over the one pointer and the keyboard focus.
#include "e2e/AppDriver.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>
#include <memory>

#include <X11/Xlib.h>

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    std::unique_ptr<tarsio::e2e::VirtualDisplay> screen;
    if (! testing::GTEST_FLAG (list_tests))
    {
        screen = std::make_unique<tarsio::e2e::VirtualDisplay>();
        // Without a server of its own the process runs displayless; never on ":0", which JUCE would
        // try and which may be another test's server that goes away mid-test.
        ::setenv ("DISPLAY", screen->ok() ? screen->name().c_str() : ":4095", 1);
    }

    // JUCE quiets X errors only in an application; Xlib's default handler would end the process on
    // one, such as a drag source's window gone before the drop's last message reaches it.
    XSetErrorHandler ([] (Display*, XErrorEvent*) { return 0; });

    // No test depends on the machine's sound setup: by default ALSA sees no device at all.
    // Tests that want a real output device point it at a file (support/FileAudioOutput.h).
    ::setenv ("ALSA_CONFIG_PATH", "/dev/null", 0);

    int result = 0;
    {
        juce::ScopedJuceInitialiser_GUI gui;
        result = RUN_ALL_TESTS();
        // Let posted messages and deleted windows settle before JUCE shuts down.
        juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    }
    return result;
}
