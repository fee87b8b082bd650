#pragma once

// BRANNOCK_API marks the classes that Brannock.dll exports to the
// synchronisation engine: dllexport while the DLL (or one of the static
// libraries it is made of) is built, dllimport for the engine that links the
// import library. Builds off Windows leave it empty.
#if defined(_WIN32)
#  if defined(BRANNOCK_BUILDING_DLL)
#    define BRANNOCK_API __declspec(dllexport)
#  else
#    define BRANNOCK_API __declspec(dllimport)
#  endif
#else
#  define BRANNOCK_API
#endif
