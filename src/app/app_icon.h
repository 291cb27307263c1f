// The application's icon (tray, window), drawn rather than loaded so that no image plugin is
// needed: a timetable sheet with a coloured header row.
#pragma once

#include <QIcon>

namespace brenlow {

QIcon BrenlowIcon();

}  // namespace brenlow
