// When each class's controller last reported, as the server keeps it (at most once a minute per
// class, tbl_last_report), beside the time the server last started: a class that has not
// reported since then has a power state nobody knows yet. Any thread.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "data/store.h"

namespace brenlow {

struct LastHeard {
  std::map<std::string, std::string> byClass;  // class name -> time (events/event_time.h)
  std::string serverStarted;                   // empty when no server ever started on the file

  // The class's last report, nullopt when it never reported.
  std::optional<std::string> of(const std::string& className) const;
  // True when the class reported after the server last started.
  bool heardSinceStart(const std::string& className) const;
};

// A store or tables that cannot be read give nothing heard.
LastHeard ReadLastHeard(const Store& store);

}  // namespace brenlow
