#pragma once
// Errors at the edge of Brannock.dll, the same on the i686 and x86_64 builds.
//
// - No exception leaves Brannock.dll. On i686, exceptions unwind with DWARF-2
//   tables and every module that links libgcc statically has its own
//   unwinder, so an exception thrown inside the DLL could not unwind through
//   an engine's frames: the engine would terminate instead of catching it.
// - The one documented exception, the system error code (`unsigned long`)
//   that the constructors of CommandBase, CommandMaster and CommandSlave
//   throw when the zone cannot be opened, is thrown by inline code in the
//   header: the DLL returns the code and the caller's own module throws it.
// - Running out of memory is not caught inside the library. It is stopped
//   only at an edge, and becomes that edge's failure result where it has
//   one: a CommandMaster operation returns ResponseFailed; inside Palm
//   Desktop the command in hand is answered ResponseFailed and a COM method
//   reports E_OUTOFMEMORY as its failure (the class factory, with nothrow
//   allocation, returns it). Record and Repeat have no failure result: their
//   members are noexcept, so running out of memory in them ends the process
//   (std::terminate).

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
