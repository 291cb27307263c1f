#include "events/event_log.h"

#include <atomic>

#include "events/event_writer.h"

namespace brenlow {
namespace {

std::atomic<EventWriter*> installed{nullptr};

}  // namespace

void InstallEventWriter(EventWriter* writer) {
  installed.store(writer, std::memory_order_release);
}

void RecordEvent(Event event) {
  if (EventWriter* writer = installed.load(std::memory_order_acquire))
    writer->record(std::move(event));
}

void NoteControllerReport(const std::string& className) {
  if (EventWriter* writer = installed.load(std::memory_order_acquire))
    writer->noteReport(className);
}

}  // namespace brenlow
