// The form of a dated entry that the school calendar's dialogs add ("添加校历", "添加代课或停课"):
// its controls, its OK and Cancel buttons, and the write that OK runs (the records' own refusal
// first, shown as a warning that keeps the dialog open). Controls are made without a parent and
// join the dialog, and its focus chain, in the order the form lays them out. User-interface
// thread only.
#pragma once

#include <QDate>
#include <functional>
#include <string>

class QComboBox;
class QDateEdit;
class QDialog;
class QFormLayout;

namespace brenlow {

class Database;

// A date edit named name, showing yyyy-MM-dd, with a calendar to pick from.
QDateEdit* NewDateEdit(QDate date, const char* name);

// An empty combo box named name.
QComboBox* NewCombo(const char* name);

// Appends every class name, in ID order, to combo. Throws DatabaseError like the query's
// RecordSet, so that the caller decides what a list that cannot be read leaves.
void AddClassNames(Database& db, QComboBox* combo);

// Lays out form above OK (named "ok": it runs dialog's accept()) and Cancel.
void LayOutWithOkAndCancel(QDialog* dialog, QFormLayout* form);

// Shows text as a warning (the dialog stays open).
void ShowRefusal(const std::string& text);

// What OK does: opens db, runs refusal(db) and, when it refuses nothing, write(db). True once
// written. A refusal is shown as a warning; a store failure has been shown by the store; a store
// that cannot be read shows unreadable.
bool WriteEntry(Database& db, const std::function<std::string(Database&)>& refusal,
                const std::function<bool(Database&)>& write, const std::string& unreadable);

}  // namespace brenlow
