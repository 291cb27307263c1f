// Reading the events back for people: the events of some days, a class or a kind, oldest
// first, and the card numbers swiped lately that no teacher has (so that a new teacher's card
// is registered by swiping it once and reading its number). Any thread; the default store.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "data/store.h"
#include "events/event.h"

namespace brenlow {

struct EventFilter {
  std::string from;               // first day "YYYY-MM-DD", included; empty: no bound
  std::string to;                 // last day, included; empty: no bound
  std::string className;          // empty: every class
  std::optional<EventKind> kind;  // nullopt: every kind
};

// The events that pass the filter, oldest first; nullopt when the store cannot be read. A store
// without the events table (an older file that could not be written) holds none.
std::optional<std::vector<Event>> ReadEvents(const Store& store, const EventFilter& filter);

struct UnknownCard {
  std::string card;
  std::string className;  // of its latest swipe (empty: an unknown controller)
  std::string address;    // the controller of its latest swipe
  std::string lastTime;   // of its latest swipe
  long long count = 0;    // swipes since the day asked for
};

// The card numbers swiped since the day given ("YYYY-MM-DD", included) that no teacher's
// number is, by their latest swipe, oldest first; nullopt when the store cannot be read.
std::optional<std::vector<UnknownCard>> ReadUnknownCards(const Store& store,
                                                         const std::string& since);

// The kind named by its text ("swipe", ...); nullopt for another text.
std::optional<EventKind> EventKindNamed(const std::string& text);

}  // namespace brenlow
