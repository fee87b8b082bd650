#pragma once

// Palm Desktop's side of OnInitialize for the in-process add-in tests: the
// stand-in's host object and a new add-in.

#include <windows.h>

#include <utility>

#include <gtest/gtest.h>

#include "addin/brannock_addin.h"
#include "sections/palm_desktop.h"
#include "standin/host_object.h"
#include "win/com_ptr.h"

/// A new add-in object, made in this process.
inline win::ComPtr<IDesktopAddin> newAddin() {
    win::ComPtr<IDesktopAddin> addin;
    EXPECT_EQ(S_OK, CBrannockAddin::create(nullptr, IID_IDesktopAddin, addin.putVoid()));
    return addin;
}
