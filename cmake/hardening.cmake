# Hardened as a Linux distribution's programs are: a position-independent
# executable, full RELRO with immediate binding, stack protector, fortified
# calls where the build optimises, stack clash protection, no executable
# stack.
if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()
include(CheckPIESupported)
check_pie_supported()
set(CMAKE_POSITION_INDEPENDENT_CODE ON)
add_compile_options(-fstack-protector-strong)
# Not every compiler has it for every processor (clang 14 for ARM has not).
include(CheckCXXCompilerFlag)
check_cxx_compiler_flag(-fstack-clash-protection CHORD_STACK_CLASH_PROTECTION)
if(CHORD_STACK_CLASH_PROTECTION)
  add_compile_options(-fstack-clash-protection)
endif()
add_link_options(-Wl,-z,relro -Wl,-z,now -Wl,-z,noexecstack)
# The sanitizers check those calls themselves; a packager may have chosen a
# level already.
if(NOT CHORD_SANITIZE AND NOT CHORD_FUZZ AND NOT CMAKE_CXX_FLAGS MATCHES "_FORTIFY_SOURCE")
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
endif()
