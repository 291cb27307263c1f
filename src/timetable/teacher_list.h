// TeacherList: the teacher drop-down of one period row. The user may type into its edit field,
// but only an entry chosen from the list counts: chosenText() is the chosen entry's text, or the
// empty text when nothing is chosen or the typed text no longer is the chosen entry. Entries stay
// sorted by text whatever order they are added in.
#pragma once

#include <QComboBox>
#include <QString>

namespace brenlow {

class TeacherList : public QComboBox {
  Q_OBJECT

 public:
  explicit TeacherList(QWidget* parent = nullptr);

  // Adds `text` at its place in the sorted order (equal texts keep the order they came in).
  void addEntry(const QString& text);
  // Removes every entry; nothing is chosen afterwards.
  void removeAllEntries();

  // Chooses the first entry that begins with `prefix` regardless of letter case, looking from
  // the second entry to the last and then at the first; clears the choice when none matches or
  // the prefix is empty. Returns the index chosen, or -1.
  int selectByPrefix(const QString& prefix);
  // Clears the choice and the edit field.
  void clearChoice();

  // The text that a period row's ThName receives from this list.
  QString chosenText() const;

  // The list opens at least as wide as its longest entry.
  void showPopup() override;

 private:
  // Typed text that names no entry is dropped when the focus leaves the list, so that the row
  // always shows what "应用" would write.
  void dropUnchosenText();
};

}  // namespace brenlow
