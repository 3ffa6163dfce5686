#pragma once

// JUCE 7.0.5 reads the windows' X events only when its connection to the X server becomes readable.
// Its own calls that wait for a reply (a repaint's completion check, a sync) move the events that
// have arrived meanwhile into Xlib's queue, where nothing reads them until another event comes: a
// close request from the window manager, a click or a step of a drop could wait there for good.
// wake sends one of our windows an event of its own when events wait, so that JUCE reads them all.
// Called regularly (the main component's intake timer).
//
// Threads: message thread only.
namespace QueuedXEvents
{
// Does nothing without a display or a window on it, or when no event waits.
void wake();
} // namespace QueuedXEvents
