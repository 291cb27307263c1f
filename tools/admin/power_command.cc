// power on|off CLASS...: the scheduler's commands sent now to the classes named, by hand.
#include <iostream>
#include <memory>

#include "commands.h"
#include "core/clock.h"
#include "events/event_log.h"
#include "events/event_writer.h"
#include "schedule/device_commands.h"

namespace brenlow::admin {
namespace {

constexpr const char* kAdminReason = "admin";

struct PowerArguments {
  std::string action;
  std::vector<std::string> classes;
};

int Power(const Store& store, const PowerArguments& arguments, StoreMessages& messages) {
  // The commands are recorded like the server's, written before the tool ends.
  SystemClock clock;
  EventWriter events(clock, store.path());
  InstallEventWriter(&events);
  int code = kDone;
  for (const std::string& className : arguments.classes) {
    const ClassCommandResult result = arguments.action == "on"
                                          ? SendClassPowerOn(store, className, kAdminReason)
                                          : SendClassPowerOff(store, className, kAdminReason);
    const std::string reported = messages.take();
    if (result == ClassCommandResult::kNoSuchClass) {
      code = Refuse("power", className + ": no such class");
    } else if (result == ClassCommandResult::kFailed) {
      code = Refuse("power", className + ": not every command was sent" +
                                 (reported.empty() ? std::string() : " (" + reported + ")"));
    }
  }
  InstallEventWriter(nullptr);
  events.writeQueued();
  return code;
}

}  // namespace

void AddPowerCommand(CLI::App& app, Commands& commands) {
  auto arguments = std::make_shared<PowerArguments>();
  CLI::App* power = app.add_subcommand(
      "power",
      "Switch the named classrooms on or off now with the scheduler's commands (off: the PC's "
      "shut-down, then the controller's power-off), each logged with reason admin");
  power->add_option("action", arguments->action, "on or off")
      ->required()
      ->check(CLI::IsMember({"on", "off"}));
  power->add_option("classes", arguments->classes, "the classes, each by name")
      ->required()
      ->option_text("CLASS...");
  commands.add(power, [&commands, arguments] {
    return Power(commands.store, *arguments, *commands.messages);
  });
}

}  // namespace brenlow::admin
