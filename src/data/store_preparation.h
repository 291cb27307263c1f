// The two steps that prepare the store at start-up, before the editor's first load and before
// the workers start (the desktop program and the headless server alike). Each opens the default
// store itself; a failure has been shown, and start-up carries on.
#pragma once

namespace brenlow {

// Every class's Status becomes 0.
void ResetClassStatus();
// When tblkcTime holds no row at all, every class receives its 35 blank periods (seven a
// weekday, Monday to Friday). A failed insertion ends the step; the rows inserted stay.
void CreateDefaultPeriods();

}  // namespace brenlow
