// The control's answers to malformed calls beside the runtime's standard
// dispatcher's answers to the same calls.
#pragma once

#include "platform/Automation.h"
#include "tests/wine/ClientReport.h"

// One check a call, each the control's answer beside the answer wanted.
// `chart` is an attached chart, passed once by reference.
void CheckBadInput(ClientReport& report, IDispatch* control, IDispatch* chart);
