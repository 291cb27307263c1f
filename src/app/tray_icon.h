// The notification-area icon of the main window (tip "课程表") and the way back to the window.
//
// Where the panel's tray reports double clicks (an XEmbed tray), a left double click shows the
// window normally again and a single click does nothing. A StatusNotifierItem tray (most
// current panels) reports only activation, never a double click: there activation shows the
// window. Where no tray exists the icon is not shown, and the caller leaves the window in the
// taskbar, or a minimised window could never come back.
#pragma once

class QSystemTrayIcon;
class QWidget;

namespace brenlow {

// Shows the tray icon for window; false when the desktop has no notification area.
bool AddTrayIcon(QSystemTrayIcon& tray, QWidget& window);

}  // namespace brenlow
