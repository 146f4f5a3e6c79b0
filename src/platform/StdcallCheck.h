// Proves at compile time that a method a COM caller reaches through a
// function table uses the caller's convention.
//
// On 32-bit Windows COM methods are stdcall: the callee removes its
// arguments. A method declared without STDMETHODCALLTYPE is cdecl there, and
// a call through the table then leaves the caller's stack off by the
// arguments' size. Only a 32-bit run would show it, so the 32-bit build
// refuses it instead. Elsewhere there is one convention and every binding
// holds.
//
// The compiler already refuses an override whose convention differs from the
// method it overrides, and a function of the wrong convention passed as a
// callback. What it cannot see is an interface this system declares itself:
// there the declaration and every implementation may agree on the wrong
// convention. So each such interface binds its methods here, next to its
// declaration (the placeholders that hold other operations' slots are never
// called):
//
//   TESSEL_STDCALL(IHostRowStore, ReadRow);
#pragma once

#include "platform/Automation.h"

namespace stdcall_check {

// Accepts only a member function pointer of the stdcall convention.
template <class Class, class Result, class... Args>
constexpr bool Bind(Result (STDMETHODCALLTYPE Class::*)(Args...)) noexcept {
    return true;
}

}  // namespace stdcall_check

// Refuses to compile where Interface::Method is not stdcall.
#define TESSEL_STDCALL(Interface, Method) static_assert(::stdcall_check::Bind(&Interface::Method))
