// Small builders shared by the administration dialogs, so that every edit is tied to its label
// and every numbered control carries its number as objectName. User-interface thread only.
#pragma once

#include <QString>
#include <initializer_list>

class QBoxLayout;
class QFormLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace brenlow {

// Controls are made with their dialog as parent in the order the user tabs through them: the
// focus chain follows creation order, and a dialog starts with the focus on the first.

// A line edit named objectName, added to the form under label (the label becomes its buddy).
QLineEdit* AddEdit(QWidget* dialog, QFormLayout& form, const QString& label,
                   const QString& objectName);

// A push button that Enter does not press unless it is made the default.
QPushButton* AddButton(QWidget* dialog, const QString& text, const QString& objectName);

// The same without a parent: it joins its window, and the focus chain, where a layout puts it.
QPushButton* NewButton(const QString& text, const QString& objectName);

// A row of buttons pushed to the right.
QBoxLayout* ButtonRow(std::initializer_list<QPushButton*> buttons);

}  // namespace brenlow
