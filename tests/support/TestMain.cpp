// Every test process holds the JUCE GUI initialiser; components, timers and callAsync work
// without a display, and windows need the Xvfb server that the test script starts.
#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

int main (int argc, char** argv)
{
    testing::InitGoogleTest (&argc, argv);
    juce::ScopedJuceInitialiser_GUI gui;
    const int result = RUN_ALL_TESTS();
    // Let posted messages and deleted windows settle before JUCE shuts down.
    juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
    return result;
}
