#include "timetable/teacher_list.h"

#include <QAbstractItemView>
#include <QCollator>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>

namespace brenlow {
namespace {

// Teacher names are mostly Chinese: the Chinese collation orders them as a Chinese reader looks
// them up, and Latin letters regardless of case.
const QCollator& EntryCollator() {
  static const QCollator collator = [] {
    QCollator c(QLocale(QLocale::Chinese, QLocale::China));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    c.setNumericMode(true);
    return c;
  }();
  return collator;
}

}  // namespace

TeacherList::TeacherList(QWidget* parent) : QComboBox(parent) {
  setEditable(true);
  // Typed text never becomes an entry: teachers are made in the teacher list dialog only.
  setInsertPolicy(QComboBox::NoInsert);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  setMinimumContentsLength(15);
  // Qt's own handler, connected when the list became editable, runs first: it chooses an entry
  // whose text the user typed in full.
  connect(lineEdit(), &QLineEdit::editingFinished, this, &TeacherList::dropUnchosenText);
}

void TeacherList::addEntry(const QString& text) {
  const QCollator& collator = EntryCollator();
  int low = 0;
  int high = count();
  while (low < high) {
    int middle = (low + high) / 2;
    if (collator.compare(itemText(middle), text) <= 0) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  bool wasEmpty = count() == 0;
  insertItem(low, text);
  // A list that receives its first entry would choose it by itself; only a choice counts.
  if (wasEmpty)
    setCurrentIndex(-1);
}

void TeacherList::removeAllEntries() {
  clear();
  clearChoice();
}

int TeacherList::selectByPrefix(const QString& prefix) {
  int found = -1;
  if (!prefix.isEmpty()) {
    int entries = count();
    for (int step = 1; step <= entries && found < 0; ++step) {
      int index = step % entries;
      if (itemText(index).startsWith(prefix, Qt::CaseInsensitive))
        found = index;
    }
  }
  if (found < 0) {
    clearChoice();
  } else {
    setCurrentIndex(found);
  }
  return found;
}

void TeacherList::clearChoice() {
  setCurrentIndex(-1);
  setEditText(QString());
}

QString TeacherList::chosenText() const {
  int index = currentIndex();
  if (index < 0)
    return QString();
  QString entry = itemText(index);
  return currentText() == entry ? entry : QString();
}

void TeacherList::showPopup() {
  QAbstractItemView* entries = view();
  int scrollBar = entries->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, entries);
  entries->setMinimumWidth(entries->sizeHintForColumn(0) + scrollBar + 8);
  QComboBox::showPopup();
}

void TeacherList::dropUnchosenText() {
  if (chosenText().isEmpty())
    clearChoice();
}

}  // namespace brenlow
