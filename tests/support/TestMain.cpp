// Every test process holds the JUCE GUI initialiser; components, timers and callAsync work
// without a display, and windows need the Xvfb server that the test script starts.
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdlib>

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);

    // Without DISPLAY JUCE would try ":0", which may be another test's private server that goes away
    // mid-test. Run displayless instead; ./tarsio.sh test provides a server of its own.
    if (const char* display = std::getenv ("DISPLAY"); display == nullptr || *display == 0)
        ::setenv ("DISPLAY", ":4095", 1);

    // No test depends on the machine's sound setup: by default ALSA sees no device at all.
    // Tests that want a real output device point it at a file (support/FileAudioOutput.h).
    ::setenv ("ALSA_CONFIG_PATH", "/dev/null", 0);

    juce::ScopedJuceInitialiser_GUI gui;
    const int result = RUN_ALL_TESTS();
    // Let posted messages and deleted windows settle before JUCE shuts down.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    return result;
}
