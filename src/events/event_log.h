// The process's events: the parts that act (the controller listener, the terminal loops, the
// scheduler, the shell tool) record what they did here, and the EventWriter the program
// installed writes it. Without an installed writer (an editor beside the service, a test that
// installs none) nothing is recorded. Any thread.
#pragma once

#include <string>

#include "events/event.h"

namespace brenlow {

class EventWriter;

// Installs writer (not owned; it must outlive every recorder). nullptr stops recording.
void InstallEventWriter(EventWriter* writer);

void RecordEvent(Event event);
// The class's controller reported (power state or card) now.
void NoteControllerReport(const std::string& className);

}  // namespace brenlow
