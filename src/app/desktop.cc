#include "app/desktop.h"

#include <QApplication>
#include <QEventLoop>
#include <QLibraryInfo>
#include <QLocale>
#include <QSystemTrayIcon>
#include <QTranslator>
#include <atomic>
#include <functional>
#include <optional>
#include <vector>

#include "app/app_icon.h"
#include "app/qt_message_handler.h"
#include "app/server.h"
#include "app/taskbar.h"
#include "app/termination_signals.h"
#include "app/tray_icon.h"
#include "core/clock.h"
#include "core/messages.h"
#include "core/shared_state.h"
#include "credentials/credentials.h"
#include "credentials/credentials_location.h"
#include "credentials/login_dlg.h"
#include "credentials/modify_pass_word_dlg.h"
#include "data/database_access.h"
#include "dialogs/bj_mes_dlg.h"
#include "dialogs/calendar_window.h"
#include "dialogs/kc_import_dlg.h"
#include "dialogs/th_mes_dlg.h"
#include "timetable/kc_dlg.h"
#include "timetable/room_status_window.h"

namespace brenlow {
namespace {

// Qt's own Chinese texts, so that standard buttons read 确定, 取消, 是, 否 like the rest.
void LoadChineseTranslations(QApplication& application, QTranslator& translator) {
  if (translator.load(QLocale(QLocale::Chinese, QLocale::China), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    application.installTranslator(&translator);
  }
}

// While the program ends on a termination signal, no new box may wait for an answer: whatever
// start-up step is still running reports to stderr instead.
class EndingMessages final : public MessageHandler {
 public:
  explicit EndingMessages(MessageHandler& boxes) : boxes_(boxes) {}
  MessageAnswer show(const Message& message) override {
    if (!ending_.load())
      return boxes_.show(message);
    WriteStderrLine(message.text);
    return message.buttons == MessageButtons::kYesNo ? MessageAnswer::kNo : MessageAnswer::kOk;
  }
  void end() { ending_.store(true); }
  bool ending() const { return ending_.load(); }

 private:
  MessageHandler& boxes_;
  std::atomic<bool> ending_{false};
};

// Rejects every modal dialog over the main window (the teacher list, a message box), innermost
// first, so that every nested event loop returns.
void RejectModalDialogs(const QWidget* window) {
  while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
    if (dialog == window)
      break;
    dialog->reject();
    if (QApplication::activeModalWidget() == dialog)
      break;  // it refused to close
  }
}

// The one message that stops the desktop program before its login: shown in a box and written
// to stderr, for whoever started it from a terminal.
int RefuseToStart(const std::string& text) {
  WriteStderrLine(text);
  ShowMessage(Message(text, MessageIcon::kWarning));
  return 1;
}

}  // namespace

int RunDesktop(int argc, char** argv, const CommandLine& line, const Store& store,
               DesktopRole role) {
  QApplication application(argc, argv);
  application.setApplicationName(kApplicationTitle);
  application.setWindowIcon(BrenlowIcon());
  application.setQuitOnLastWindowClosed(false);
  QTranslator translator;
  LoadChineseTranslations(application, translator);
  QtMessageHandler boxes;
  EndingMessages messages(boxes);
  InstallMessageHandler(&messages);
  struct Uninstall {
    ~Uninstall() { InstallMessageHandler(nullptr); }
  } uninstall;

  // A termination signal ends the program normally in every phase, message boxes of start-up
  // included: open dialogs are rejected, innermost first, then the main window once it exists,
  // and no later step of start-up shows or starts anything.
  CKcDlg* mainWindow = nullptr;
  TerminationSignals terminationSignals([&messages, &mainWindow] {
    messages.end();
    RejectModalDialogs(mainWindow);
    if (mainWindow != nullptr)
      mainWindow->reject();
  });

  if (std::optional<std::string> problem = DatabaseAccessProblem(store.path()))
    return RefuseToStart(*problem);
  Credentials credentials = LoadCredentials(CredentialsFileOfThisProgram(line.credentialsPath));
  if (!credentials.problem.empty())
    return RefuseToStart(kUnreadableCredentialsText + credentials.problem);
  if (credentials.storedUserName.isEmpty() && credentials.storedPassWord.isEmpty())
    return RefuseToStart(kNoCredentialsText);
  if (messages.ending())
    return 0;

  // One attempt: a wrong text or "取消" ends the program before the main window exists.
  if (!RunLogin(credentials) || messages.ending())
    return 0;

  const bool editor = role == DesktopRole::kEditor;
  SystemClock clock;
  CKcDlg window(store);
  // The window may end during start-up already (a termination signal while a box of start-up
  // is open): that must be seen, so it is watched from the start.
  bool windowEnded = false;
  QEventLoop untilClosed;
  QObject::connect(&window, &QDialog::finished, [&windowEnded, &untilClosed] {
    windowEnded = true;
    untilClosed.quit();
  });
  mainWindow = &window;
  std::optional<Server> server;
  if (!editor)
    server.emplace(line.listenAddress, clock, store, line.maxConnectionsPerAddress,
                   line.keepEventDays, line.catchUp, line.replyCache);
  QSystemTrayIcon tray;

  teacherDialogOpen = 0;
  if (editor)
    window.setWindowTitle(QString::fromUtf8(kEditorWindowTitle));
  window.setClassListRunner([&store](QWidget* parent) {
    CBJMesDlg dialog(store, parent);
    dialog.exec();
  });
  window.setTeacherListRunner([editor, &store](QWidget* parent) {
    CTHMesDlg dialog(store, parent);
    // The running service's listener receives the swipes; numbers are typed by hand here.
    if (editor)
      dialog.showCardNumbersUnavailable();
    dialog.exec();
  });
  window.setPasswordRunner([&credentials](QWidget* parent) {
    CModifyPassWord dialog(credentials.filePath, parent);
    dialog.exec();
  });
  // Made at its first opening, then shown again; the main window owns it.
  RoomStatusWindow* roomStatus = nullptr;
  window.setRoomStatusRunner([&roomStatus, &clock, &store](QWidget* parent) {
    if (roomStatus == nullptr)
      roomStatus = new RoomStatusWindow(clock, store, parent);
    roomStatus->show();
    roomStatus->raise();
    roomStatus->activateWindow();
  });
  CalendarWindow* calendar = nullptr;
  window.setCalendarRunner([&calendar, &store](QWidget* parent) {
    if (calendar == nullptr)
      calendar = new CalendarWindow(store, parent);
    calendar->show();
    calendar->raise();
    calendar->activateWindow();
  });
  window.setImportRunner([&store](QWidget* parent) {
    CKCImportDlg dialog(store, parent);
    dialog.exec();
  });
  // Off the taskbar only while the tray icon is there to bring the window back.
  if (AddTrayIcon(tray, window))
    RemoveTaskbarButton(window);
  // The editor leaves the store as the service keeps it: no status reset, no default periods.
  const std::vector<std::function<void()>> startUp = {
      [&] {
        if (server)
          server->prepareStore();
      },
      [&] { window.FillClassList(); },
      [&] { window.FillTeacherLists(); },
      [&] { window.selectFirstClass(); },
      [&] { window.LoadTimetable(); },
  };
  for (const auto& step : startUp) {
    if (!windowEnded)
      step();
  }
  if (!windowEnded && server) {
    server->startWorkers();
    server->startMinuteTimer();
  }
  // The window runs until it ends like a modal dialog, but without blocking the application's
  // other top-level windows: the tray icon must still take its double-click.
  if (!windowEnded) {
    window.show();
    untilClosed.exec();
  }
  mainWindow = nullptr;
  tray.hide();
  boxes.stopQueuingBoxes();
  if (server)
    server->stop();
  return 0;
}

}  // namespace brenlow
