// The two steps that prepare the store at start-up, before the editor's first load and before
// the workers start (the desktop program and the headless server alike). Each opens the store
// handed in; a failure has been shown, and start-up carries on.
#pragma once

#include "data/store.h"

namespace brenlow {

// Every class's Status becomes 0.
void ResetClassStatus(const Store& store);
// When tblkcTime holds no row at all, every class receives its 35 blank periods (seven a
// weekday, Monday to Friday). A failed insertion ends the step; the rows inserted stay.
void CreateDefaultPeriods(const Store& store);

}  // namespace brenlow
