#include "app/desktop.h"

#include <QApplication>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QSystemTrayIcon>
#include <QTranslator>

#include "admin/bj_mes_dlg.h"
#include "admin/kc_import_dlg.h"
#include "admin/th_mes_dlg.h"
#include "app/app_icon.h"
#include "app/credentials.h"
#include "app/login_dlg.h"
#include "app/modify_pass_word_dlg.h"
#include "app/qt_message_handler.h"
#include "app/server.h"
#include "app/taskbar.h"
#include "app/termination_signals.h"
#include "core/clock.h"
#include "core/shared_state.h"
#include "timetable/kc_dlg.h"

namespace brenlow {
namespace {

// Qt's own Chinese texts, so that standard buttons read 确定, 取消, 是, 否 like the rest.
void LoadChineseTranslations(QApplication& application, QTranslator& translator) {
  if (translator.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(&translator);
  }
}

// The tray icon (tip "课程表"): a left double-click shows the main window normally again.
void AddTrayIcon(QSystemTrayIcon& tray, CKcDlg& window) {
  if (!QSystemTrayIcon::isSystemTrayAvailable())
    return;  // start-up goes on without it
  tray.setIcon(BrenlowIcon());
  tray.setToolTip(QStringLiteral("课程表"));
  QObject::connect(&tray, &QSystemTrayIcon::activated,
                   [&window](QSystemTrayIcon::ActivationReason reason) {
                     if (reason != QSystemTrayIcon::DoubleClick)
                       return;
                     window.showNormal();
                     window.raise();
                     window.activateWindow();
                   });
  tray.show();
}

// A termination signal ends the program even while dialogs run over the main window (the
// teacher list, a message box): each modal dialog is rejected, innermost first, so that every
// nested event loop returns, and then the window itself.
void EndAllDialogs(CKcDlg& window) {
  while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
    if (dialog == &window)
      break;
    dialog->reject();
    if (QApplication::activeModalWidget() == dialog)
      break;  // it refused to close
  }
  window.reject();
}

}  // namespace

int RunDesktop(int argc, char** argv, const CommandLine& line) {
  QApplication application(argc, argv);
  application.setApplicationName(kApplicationTitle);
  application.setWindowIcon(BrenlowIcon());
  application.setQuitOnLastWindowClosed(false);
  QTranslator translator;
  LoadChineseTranslations(application, translator);
  QtMessageHandler messages;
  InstallMessageHandler(&messages);

  // One attempt: a wrong text or "取消" ends the program before the main window exists, and so
  // does a termination signal (every open dialog is rejected, innermost first).
  Credentials credentials = LoadCredentials(CredentialsFilePath(ExecutablePath()));
  bool loggedIn = false;
  {
    TerminationSignals duringLogin([] {
      while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
        if (QApplication::activeModalWidget() == dialog)
          break;  // it refused to close
      }
    });
    loggedIn = RunLogin(credentials);
  }
  if (!loggedIn) {
    InstallMessageHandler(nullptr);
    return 0;
  }

  SystemClock clock;
  {
    CKcDlg window;
    TerminationSignals terminationSignals([&window] { EndAllDialogs(window); });
    Server server(line.listenAddress, clock, line.maxConnectionsPerAddress);
    QSystemTrayIcon tray;

    teacherDialogOpen = 0;
    window.setClassListRunner([](QWidget* parent) {
      CBJMesDlg dialog(parent);
      dialog.exec();
    });
    window.setTeacherListRunner([](QWidget* parent) {
      CTHMesDlg dialog(parent);
      dialog.exec();
    });
    window.setPasswordRunner([&credentials](QWidget* parent) {
      CModifyPassWord dialog(credentials.filePath, parent);
      dialog.exec();
    });
    window.setImportRunner([](QWidget* parent) {
      CKCImportDlg dialog(parent);
      dialog.exec();
    });
    AddTrayIcon(tray, window);
    RemoveTaskbarButton(window);
    server.prepareStore();
    window.FillClassList();
    window.FillTeacherLists();
    window.selectFirstClass();
    window.LoadTimetable();
    server.startWorkers();
    server.startMinuteTimer();
    // The window runs until it ends like a modal dialog, but without blocking the application's
    // other top-level windows: the tray icon must still take its double-click.
    QEventLoop untilClosed;
    QObject::connect(&window, &QDialog::finished, &untilClosed, &QEventLoop::quit);
    window.show();
    untilClosed.exec();
    tray.hide();
    messages.stopQueuingBoxes();
    server.stop();
  }
  InstallMessageHandler(nullptr);
  return 0;
}

}  // namespace brenlow
