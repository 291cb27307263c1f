// The character limit of the modify dialogs' edits. Typing stops at the limit, but an edit may
// be filled with a longer text (a record made elsewhere); such a text can be shortened, and
// confirming the dialog with it shows the length message instead of closing.
#pragma once

#include <QString>
#include <initializer_list>

#include "records/text_characters.h"

class QLineEdit;

namespace brenlow {

// Refuses typed or pasted input that would make the edit's text longer than limit characters
// and longer than it already is. Call it once the edit holds its first text.
void LimitTyping(QLineEdit& edit, int limit = kModifyTextLimit);

// "输入的字符请不要多于 %1 个。" with the limit in place of %1.
QString LengthMessageText(int limit = kModifyTextLimit);

// Checks the edits in order; at the first one holding more than limit characters it shows the
// length message (exclamation icon), puts the focus on that edit and returns false.
bool CheckLengths(std::initializer_list<QLineEdit*> edits, int limit = kModifyTextLimit);

}  // namespace brenlow
