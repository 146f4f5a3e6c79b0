// The classes CoCreateInstance can make. Off Windows there is no system
// registry: whoever provides a class (a stand-in, a test) registers a factory
// for its class identifier, and unregisters it when it goes away.
#pragma once

#include <functional>

#include "platform/Automation.h"

namespace platform {

// Makes a new object and returns its riid interface through the void**, as
// IClassFactory::CreateInstance does (*ppv null on failure).
using ClassFactory = std::function<HRESULT(REFIID, void**)>;

// Replaces any factory already registered for the class.
void RegisterClassFactory(REFCLSID clsid, ClassFactory factory);
void UnregisterClassFactory(REFCLSID clsid);

}  // namespace platform
