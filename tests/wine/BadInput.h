// The control's answers to malformed calls beside the runtime's standard
// dispatcher's answers to the same calls.
#pragma once

#include "platform/Automation.h"

// Prints one PASS or FAIL line a call and returns the failures. `chart` is
// an attached chart, passed once by reference.
int CheckBadInput(IDispatch* control, IDispatch* chart);
