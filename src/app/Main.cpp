#include "app/TarsioApplication.h"

START_JUCE_APPLICATION (TarsioApplication)
