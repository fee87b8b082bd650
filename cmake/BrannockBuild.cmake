# Compiler and linker settings shared by every target.

add_compile_options(-Wall -Wextra)

if(WIN32)
  # Brannock.dll and every program import only Windows system DLLs:
  # libgcc, libstdc++ and winpthread are linked in. Windows XP SP3 is the
  # oldest system it loads on, so nothing newer compiles.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501)
elseif(BRANNOCK_NATIVE AND BRANNOCK_SANITIZE)
  # enum is part of undefined; named so that it is not dropped by mistake:
  # values from the wire must never be stored in an enum that cannot hold them.
  add_compile_options(-fsanitize=address,undefined,enum -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined,enum)
  add_link_options(-fsanitize=address,undefined,enum)
endif()

# Static libraries from which Brannock.dll is made; the DLL takes each of
# them whole so that every exported class lands in it.
set_property(GLOBAL PROPERTY BRANNOCK_DLL_PARTS "")
function(brannock_dll_part target)
  set_property(GLOBAL APPEND PROPERTY BRANNOCK_DLL_PARTS ${target})
endfunction()

# nlohmann-json (header-only, from the distribution) for the Windows builds:
# only its own folder is put on the include path, so that the cross
# compilers never see the host's other headers.
if(WIN32)
  set(BRANNOCK_JSON_INCLUDE ${CMAKE_BINARY_DIR}/third_party/include)
  file(MAKE_DIRECTORY ${BRANNOCK_JSON_INCLUDE})
  if(NOT EXISTS ${BRANNOCK_JSON_INCLUDE}/nlohmann)
    file(CREATE_LINK /usr/include/nlohmann ${BRANNOCK_JSON_INCLUDE}/nlohmann SYMBOLIC)
  endif()
  add_library(nlohmann_json_headers INTERFACE)
  target_include_directories(nlohmann_json_headers SYSTEM INTERFACE ${BRANNOCK_JSON_INCLUDE})
endif()

# widl from mingw-w64-tools turns IDL into C++ headers, interface
# identifiers and type libraries, as MIDL would.
if(WIN32)
  find_program(BRANNOCK_WIDL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-widl widl REQUIRED)
endif()
