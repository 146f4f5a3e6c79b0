#include "control/ChartLink.h"

void CChartLink::Attach(IDispatch* handle) {
    chart_.Reset();
    if (!handle) RaiseError(E_POINTER, InterfaceTraits<IChartControl>::Id());
    HRESULT hr = ComPtr<IDispatch>(handle).As(chart_);
    if (hr == E_NOINTERFACE || (SUCCEEDED(hr) && !chart_)) RaiseError(E_POINTER, InterfaceTraits<IChartControl>::Id());
    if (FAILED(hr)) RaiseError(hr, InterfaceTraits<IChartControl>::Id());
}

DispatchDriver CChartLink::Driver() const {
    if (!chart_) RaiseError(E_POINTER, InterfaceTraits<IChartControl>::Id());
    return DispatchDriver(chart_.Get(), InterfaceTraits<IChartControl>::Id());
}

void CChartLink::PutGrid(DISPID id, const COleSafeArray& grid) const {
    DispatchDriver chart = Driver();
    COleVariant copy(static_cast<const VARIANT&>(grid));
    chart.PutProperty(id, copy);
}

void CChartLink::PutGrid(DISPID id, COleSafeArray&& grid) const {
    DispatchDriver chart = Driver();
    COleSafeArray sent;
    sent.Attach(grid);
    chart.PutProperty(id, sent);
}

void CChartLink::PutLong(DISPID id, LONG value) const { Driver().PutProperty(id, COleVariant(value, VT_I4)); }

LONG CChartLink::GetLong(DISPID id) const { return Driver().GetProperty(id, VT_I4).lVal; }

void CChartLink::GetGrid(DISPID id, COleSafeArray& grid, GridShape shape) const {
    COleVariant value = Driver().GetProperty(id, VT_VARIANT);
    // The answer is ours: an array it holds by value becomes the grid as it
    // is, without a second copy of a large grid.
    if ((value.vt & VT_BYREF) == 0 && HasGridShape(value, shape))
        grid.Attach(value);
    else
        AdoptGrid(value, grid, shape);
}

// A getter's chart value must have the getter's grid shape: a 2-D array of
// variants, or for the blob a 1-D array of bytes. Any other value, an array
// of other elements or dimensions included, counts as one that holds no
// array: the grid stays empty, so a write-back into a kept table fails on
// the grid's bounds with E_INVALIDARG before the table is touched. Reading a
// byte array as variants, cell by cell, would read past its elements.
bool CChartLink::HasGridShape(const VARIANT& value, GridShape shape) noexcept {
    return shape == GridShape::Rows ? ArrayOfShape(value, VT_VARIANT, 2) : ArrayOfShape(value, VT_UI1, 1);
}

void CChartLink::AdoptGrid(const VARIANT& value, COleSafeArray& grid, GridShape shape) {
    if (HasGridShape(value, shape)) grid = value;
}

void CChartLink::PutIndexed(DISPID id, const VARIANT& index, const VARIANT& value) const {
    Driver().PutIndexed(id, index, value);
}

COleVariant CChartLink::Call(DISPID id, std::initializer_list<VARIANT> args, VARTYPE result) const {
    return Driver().CallMethod(id, args, result);
}

COleVariant CChartLink::Call(DISPID id, std::span<const VARIANT> args, VARTYPE result) const {
    return Driver().CallMethod(id, args, result);
}
