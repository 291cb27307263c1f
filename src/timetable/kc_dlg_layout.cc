// The editing surface of the main window: the top line with the class list, the period grid of
// the current weekday on the left, the course grid on the right and the buttons under them.
// Rows of both grids have one height, so period r and course row r stand on one line.
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/weekdays.h"
#include "timetable/auto_power_box.h"
#include "timetable/kc_dlg.h"
#include "timetable/kc_dlg_ids.h"
#include "timetable/teacher_list.h"
#include "timetable/time_edit.h"

namespace brenlow {

using namespace kc_dlg_ids;

namespace {

// Names the control by its number; the number is never shown.
template <typename Widget>
Widget* Numbered(Widget* widget, int id) {
  widget->setObjectName(QString::number(id));
  return widget;
}

QLabel* Caption(const QString& text, int id) {
  auto* label = Numbered(new QLabel(text), id);
  label->setAlignment(Qt::AlignCenter);
  return label;
}

QString PeriodText(int row) {
  return QStringLiteral("第%1节").arg(row);
}

}  // namespace

void CKcDlg::buildEditingSurface() {
  auto* window = new QVBoxLayout(this);
  window->addLayout(buildTopLine());

  auto* body = new QGridLayout;
  body->addWidget(buildPeriodGroup(), 0, 0);
  body->addWidget(buildCourseGroup(), 0, 1);
  body->addLayout(buildApplyLine(), 1, 0);
  body->addLayout(buildSaveLine(), 1, 1);
  body->setColumnStretch(1, 1);
  window->addLayout(body, 1);
  chainTabOrder();
}

QLayout* CKcDlg::buildTopLine() {
  auto* line = new QHBoxLayout;
  auto* label = Numbered(new QLabel(QStringLiteral("班级：")), kClassLabel);
  classList_ = Numbered(new QComboBox, kClassList);
  classList_->setEditable(false);
  classList_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  classList_->setMinimumContentsLength(16);
  label->setBuddy(classList_);
  // Only the user's own choice reloads the grids; a selection made by code does not.
  connect(classList_, &QComboBox::activated, this, [this] { OnSelchangeClass(); });
  line->addWidget(label);
  line->addWidget(classList_);
  line->addWidget(addButton(QStringLiteral("..."), kClassListButton, &CKcDlg::OnClassList));
  line->addWidget(addButton(QStringLiteral("老师"), kTeachersButton, &CKcDlg::OnTeachers));
  line->addWidget(
      addButton(QStringLiteral("导入课程表"), kImportButton, &CKcDlg::OnImportTimetable));
  line->addStretch(1);
  return line;
}

QGroupBox* CKcDlg::buildPeriodGroup() {
  // Created with the caption "星期一", whatever the day of the week is.
  periodGroup_ = Numbered(new QGroupBox(QString::fromUtf8(kSchoolWeekdays[0])), kPeriodGroup);
  auto* grid = new QGridLayout(periodGroup_);
  grid->addWidget(Caption(QStringLiteral("自动开机"), kAutoOnCaption), 0, 0);
  grid->addWidget(Caption(QStringLiteral("上课时间"), kStartCaption), 0, 1, 1, 3);
  grid->addWidget(Caption(QStringLiteral("下课时间"), kEndCaption), 0, 5, 1, 3);
  grid->addWidget(Caption(QStringLiteral("自动关机"), kAutoOffCaption), 0, 8);

  const int timeWidth = fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 14;
  auto timeEdit = [&](int id, const QString& name) {
    auto* edit = Numbered(new TimeEdit, id);
    edit->setFixedWidth(timeWidth);
    edit->setAccessibleName(name);
    return edit;
  };
  auto colon = [] {
    auto* label = new QLabel(QStringLiteral(":"));
    label->setAlignment(Qt::AlignCenter);
    return label;
  };
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    QString period = PeriodText(row);
    auto* autoOn = Numbered(new AutoPowerBox, AutoOnBox(row));
    autoOn->setAccessibleName(period + QStringLiteral("自动开机"));
    auto* autoOff = Numbered(new AutoPowerBox, AutoOffBox(row));
    autoOff->setAccessibleName(period + QStringLiteral("自动关机"));
    auto* teachers = Numbered(new TeacherList, TeacherListId(row));
    teachers->setAccessibleName(period + QStringLiteral("老师"));
    teacherLists_[row - 1] = teachers;

    grid->addWidget(autoOn, row, 0, Qt::AlignCenter);
    grid->addWidget(timeEdit(StartHour(row), period + QStringLiteral("上课时")), row, 1);
    grid->addWidget(colon(), row, 2);
    grid->addWidget(timeEdit(StartMinute(row), period + QStringLiteral("上课分")), row, 3);
    grid->addWidget(teachers, row, 4);
    grid->addWidget(timeEdit(EndHour(row), period + QStringLiteral("下课时")), row, 5);
    grid->addWidget(colon(), row, 6);
    grid->addWidget(timeEdit(EndMinute(row), period + QStringLiteral("下课分")), row, 7);
    grid->addWidget(autoOff, row, 8, Qt::AlignCenter);
    grid->setRowMinimumHeight(row, teachers->sizeHint().height());
  }
  grid->setColumnStretch(4, 1);
  grid->setRowStretch(kLastRow + 1, 1);
  return periodGroup_;
}

QGroupBox* CKcDlg::buildCourseGroup() {
  auto* group = Numbered(new QGroupBox(QStringLiteral("课程安排")), kCourseGroup);
  auto* grid = new QGridLayout(group);
  const int rowHeight = teacherLists_[0]->sizeHint().height();
  const int cellWidth = fontMetrics().horizontalAdvance(QStringLiteral("信息技术")) + 16;
  for (int day = 0; day < 5; ++day) {
    QString weekday = QString::fromUtf8(kSchoolWeekdays[day]);
    grid->addWidget(Caption(weekday, kWeekdayCaptions[day]), 0, day);
    grid->setColumnStretch(day, 1);
    for (int row = kFirstRow; row <= kLastRow; ++row) {
      auto* cell = Numbered(new QLineEdit, CourseCell(row, day));
      cell->setAlignment(Qt::AlignCenter);
      cell->setMinimumWidth(cellWidth);
      cell->setMinimumHeight(rowHeight);
      cell->setAccessibleName(PeriodText(row) + weekday);
      grid->addWidget(cell, row, day);
    }
  }
  for (int row = kFirstRow; row <= kLastRow; ++row)
    grid->setRowMinimumHeight(row, rowHeight);
  grid->setRowStretch(kLastRow + 1, 1);
  return group;
}

QLayout* CKcDlg::buildApplyLine() {
  auto* line = new QHBoxLayout;
  line->addWidget(
      addButton(QStringLiteral("修改密码"), kPasswordButton, &CKcDlg::OnChangePassword));
  // Not one of the numbered controls: it has a name of its own.
  auto* roomStatus = new QPushButton(QStringLiteral("教室状态"));
  roomStatus->setObjectName(QStringLiteral("roomStatus"));
  roomStatus->setAutoDefault(false);
  connect(roomStatus, &QPushButton::clicked, this, &CKcDlg::OnRoomStatus);
  line->addWidget(roomStatus);
  auto* calendar = new QPushButton(QStringLiteral("校历"));
  calendar->setObjectName(QStringLiteral("calendar"));
  calendar->setAutoDefault(false);
  connect(calendar, &QPushButton::clicked, this, &CKcDlg::OnCalendar);
  line->addWidget(calendar);
  line->addStretch(1);
  line->addWidget(addButton(QStringLiteral("应用"), kApplyButton, &CKcDlg::OnApply));
  return line;
}

QLayout* CKcDlg::buildSaveLine() {
  auto* line = new QHBoxLayout;
  // "关闭" ends the window like the close box; it exists but is never shown.
  auto* close = addButton(QStringLiteral("关闭"), kCloseButton, nullptr);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  close->setVisible(false);
  line->addWidget(close);
  line->addStretch(1);
  line->addWidget(addButton(QStringLiteral("保存"), kSaveButton, &CKcDlg::OnSave));
  return line;
}

QPushButton* CKcDlg::addButton(const QString& caption, int id, void (CKcDlg::*handler)()) {
  auto* button = Numbered(new QPushButton(caption), id);
  // No button is the default: Enter ends the window instead.
  button->setAutoDefault(false);
  button->setDefault(false);
  if (handler != nullptr)
    connect(button, &QPushButton::clicked, this, handler);
  return button;
}

void CKcDlg::chainTabOrder() {
  QList<int> order = {kClassList, kClassListButton, kTeachersButton, kImportButton};
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    order << AutoOnBox(row) << StartHour(row) << StartMinute(row) << TeacherListId(row)
          << EndHour(row) << EndMinute(row) << AutoOffBox(row);
  }
  order << kApplyButton;
  // Row by row, so that Tab walks a period's five weekdays before the next period.
  for (int row = kFirstRow; row <= kLastRow; ++row) {
    for (int day = 0; day < 5; ++day)
      order << CourseCell(row, day);
  }
  order << kSaveButton << kPasswordButton;
  for (int i = 1; i < order.size(); ++i)
    QWidget::setTabOrder(item(order[i - 1]), item(order[i]));
}

}  // namespace brenlow
