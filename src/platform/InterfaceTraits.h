// Maps an interface type to its identifier and name, for QueryInterface and
// for the component errors that name the interface whose call failed.
//
// Each interface declares its traits next to its declaration with
// TESSEL_INTERFACE_TRAITS(Type, iid-object).
#pragma once

#include "platform/ComponentError.h"

template <class T>
struct InterfaceTraits;  // specialised per interface

#define TESSEL_INTERFACE_TRAITS(Type, IidObject)                           \
    template <>                                                            \
    struct InterfaceTraits<Type> {                                         \
        static const IID& Iid() noexcept { return IidObject; }             \
        static InterfaceId Id() noexcept { return {#Type, &(IidObject)}; } \
    }

TESSEL_INTERFACE_TRAITS(IUnknown, IID_IUnknown);
TESSEL_INTERFACE_TRAITS(IDispatch, IID_IDispatch);
