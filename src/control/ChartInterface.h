// The chart control's dispatch interface. The chart is reached only through
// IDispatch::Invoke by fixed dispatch identifiers; the interface identifier
// is what HandleTesselCtrl asks the host's handle for.
#pragma once

#include "platform/Automation.h"
#include "platform/InterfaceTraits.h"

extern const IID IID_IChartControl;

struct IChartControl : IDispatch {
protected:
    ~IChartControl() = default;
};

TESSEL_INTERFACE_TRAITS(IChartControl, IID_IChartControl);
