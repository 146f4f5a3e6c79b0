// CChartLink: the control's one counted pointer to the chart, and the calls
// made on it by dispatch identifier.
//
// Every call on an empty link raises E_POINTER; callers that must skip their
// call silently without a chart ask IsAttached first. A failing chart call
// is raised with the chart's code and description.
#pragma once

#include <initializer_list>
#include <span>

#include "control/ChartInterface.h"
#include "platform/ComPtr.h"
#include "platform/DispatchDriver.h"
#include "platform/OleSafeArray.h"

class CChartLink {
public:
    // Asks the handle for the chart interface; the result replaces what the
    // link held. A null handle or one without the interface empties the link
    // and raises E_POINTER; any other query failure raises its own code.
    void Attach(IDispatch* handle);
    bool IsAttached() const noexcept { return static_cast<bool>(chart_); }
    void Reset() noexcept { chart_.Reset(); }

    // Puts a copy of the grid; the grid itself is left as it was.
    void PutGrid(DISPID id, const COleSafeArray& grid) const;
    // Puts a grid its owner has finished with: the grid itself becomes the
    // copy that travels, emptied when the call ends, so a table of a million
    // rows is not held twice on its way to the chart.
    void PutGrid(DISPID id, COleSafeArray&& grid) const;
    void PutLong(DISPID id, LONG value) const;
    LONG GetLong(DISPID id) const;
    // The shapes a getter accepts from the chart: a grid of rows by columns,
    // or the blob's bytes.
    enum class GridShape { Rows, Bytes };
    // Makes `grid` a copy of the chart property when it has the shape; any
    // other value leaves the grid as it was (empty, for a getter).
    void GetGrid(DISPID id, COleSafeArray& grid, GridShape shape = GridShape::Rows) const;
    static void AdoptGrid(const VARIANT& value, COleSafeArray& grid, GridShape shape);
    static bool HasGridShape(const VARIANT& value, GridShape shape) noexcept;
    // Indexed put: property id(index) = value.
    void PutIndexed(DISPID id, const VARIANT& index, const VARIANT& value) const;
    COleVariant Call(DISPID id, std::initializer_list<VARIANT> args = {}, VARTYPE result = VT_EMPTY) const;
    COleVariant Call(DISPID id, std::span<const VARIANT> args, VARTYPE result) const;

private:
    DispatchDriver Driver() const;

    ComPtr<IChartControl> chart_;
};
