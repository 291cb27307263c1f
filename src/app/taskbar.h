// Keeps a top-level window off the taskbar (the tray icon is the way back to it).
#pragma once

class QWidget;

namespace brenlow {

// Asks the window manager to leave the window out of the taskbar. On a platform or display
// without that notion nothing happens and start-up goes on.
void RemoveTaskbarButton(QWidget& window);

}  // namespace brenlow
