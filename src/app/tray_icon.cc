#include "app/tray_icon.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QString>
#include <QSystemTrayIcon>
#include <QVariant>
#include <QWidget>

#include "app/app_icon.h"

namespace brenlow {
namespace {

// Qt shows the icon as a StatusNotifierItem when a host for such items is registered with the
// session's watcher, and in an XEmbed tray otherwise; only the latter reports double clicks.
bool TrayReportsOnlyActivation() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
  if (!bus.isConnected() || !bus.interface()->isServiceRegistered(watcher))
    return false;
  QDBusInterface properties(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
  return properties.property("IsStatusNotifierHostRegistered").toBool();
}

}  // namespace

bool AddTrayIcon(QSystemTrayIcon& tray, QWidget& window) {
  if (!QSystemTrayIcon::isSystemTrayAvailable())
    return false;
  tray.setIcon(BrenlowIcon());
  tray.setToolTip(QStringLiteral("课程表"));
  const QSystemTrayIcon::ActivationReason restoring =
      TrayReportsOnlyActivation() ? QSystemTrayIcon::Trigger : QSystemTrayIcon::DoubleClick;
  QObject::connect(&tray, &QSystemTrayIcon::activated,
                   [&window, restoring](QSystemTrayIcon::ActivationReason reason) {
                     if (reason != restoring)
                       return;
                     window.showNormal();
                     window.raise();
                     window.activateWindow();
                   });
  tray.show();
  return tray.isVisible();
}

}  // namespace brenlow
