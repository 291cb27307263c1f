#include "app/taskbar.h"

#include <qguiapplication_platform.h>

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>

#ifdef BRENLOW_HAVE_XCB
#include <xcb/xcb.h>

#include <cstring>
#endif

namespace brenlow {

#ifdef BRENLOW_HAVE_XCB
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  free(reply);
  return atom;
}

// The EWMH request to add a state to a mapped window: a client message to the root window.
void SendSkipTaskbar(xcb_connection_t* connection, xcb_window_t window) {
  xcb_atom_t state = Atom(connection, "_NET_WM_STATE");
  xcb_atom_t skipTaskbar = Atom(connection, "_NET_WM_STATE_SKIP_TASKBAR");
  if (state == XCB_ATOM_NONE || skipTaskbar == XCB_ATOM_NONE)
    return;
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = window;
  event.type = state;
  event.data.data32[0] = 1;  // _NET_WM_STATE_ADD
  event.data.data32[1] = skipTaskbar;
  event.data.data32[3] = 1;  // source: a normal application
  xcb_send_event(connection, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
}

}  // namespace
#endif

void RemoveTaskbarButton(QWidget& window) {
#ifdef BRENLOW_HAVE_XCB
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (x11 == nullptr || x11->connection() == nullptr)
    return;
  xcb_connection_t* connection = x11->connection();
  xcb_window_t id = static_cast<xcb_window_t>(window.winId());
  // The window manager takes the request once the window is mapped, so send it after the
  // event loop has shown the window, and again whenever it is shown anew.
  QTimer::singleShot(0, &window, [connection, id] { SendSkipTaskbar(connection, id); });
#else
  (void)window;
#endif
}

}  // namespace brenlow
