// COleVariant: a VARIANT that owns its value.
//
// It is a VARIANT (same size and layout), so it can be passed wherever the
// API takes one. Copies are deep (strings duplicated, arrays copied,
// interfaces AddRef'd); moves take the value and leave VT_EMPTY behind.
// Failures of the underlying API are raised as ComponentError.
#pragma once

#include <cstddef>

#include "platform/Automation.h"
#include "platform/ComponentError.h"

class COleVariant : public tagVARIANT {
public:
    COleVariant() noexcept;
    COleVariant(const VARIANT& src);
    COleVariant(const COleVariant& src);
    COleVariant(COleVariant&& src) noexcept;
    ~COleVariant();

    // VT_BSTR; a null text gives an empty string.
    explicit COleVariant(const OLECHAR* text);
    COleVariant(const OLECHAR* text, UINT length);
    // VT_BSTR from single-byte text of the ANSI code page (one allocation).
    static COleVariant FromAnsi(const char* text, std::size_t length);
    // vt is VT_I4 (default) or VT_ERROR.
    explicit COleVariant(LONG value, VARTYPE vt = VT_I4);
#ifdef _WIN32
    // LONG is long there, so a plain int would match the LONG, SHORT and
    // double constructors equally well.
    explicit COleVariant(int value, VARTYPE vt = VT_I4) : COleVariant(static_cast<LONG>(value), vt) {}
#endif
    // vt is VT_I2 (default) or VT_BOOL (nonzero gives VARIANT_TRUE).
    explicit COleVariant(SHORT value, VARTYPE vt = VT_I2);
    explicit COleVariant(double value);
    // VT_DISPATCH; adds a reference.
    explicit COleVariant(IDispatch* value);

    COleVariant& operator=(const VARIANT& src);
    COleVariant& operator=(const COleVariant& src);
    COleVariant& operator=(COleVariant&& src) noexcept;

    void Clear() noexcept;
    // Takes over src's value; src becomes VT_EMPTY without being cleared.
    void Attach(VARIANT& src) noexcept;
    // Hands the value to the caller, who must clear it.
    [[nodiscard]] VARIANT Detach() noexcept;
    // Changes this variant (or a copy of src) to vt in place; raises on failure
    // with the conversion's code, and then leaves this variant unchanged.
    void ChangeType(VARTYPE vt, const VARIANT* src = nullptr);
};

static_assert(sizeof(COleVariant) == sizeof(VARIANT));
