# Compiler and linker settings shared by every target.

add_compile_options(-Wall -Wextra)

if(WIN32)
  # Brannock.dll and every program import only Windows system DLLs:
  # libgcc, libstdc++ and winpthread are linked in.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
elseif(BRANNOCK_NATIVE AND BRANNOCK_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Static libraries from which Brannock.dll is made; the DLL takes each of
# them whole so that every exported class lands in it.
set_property(GLOBAL PROPERTY BRANNOCK_DLL_PARTS "")
function(brannock_dll_part target)
  set_property(GLOBAL APPEND PROPERTY BRANNOCK_DLL_PARTS ${target})
endfunction()
