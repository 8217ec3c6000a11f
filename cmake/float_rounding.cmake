# Single-precision results must not depend on the compiler or on the flags a
# user or a packager passes: no product fused into a sum, nothing
# reassociated, no subnormal number flushed to zero.

# -Ofast and -funsafe-math-optimizations also link a start file that flushes
# subnormal numbers to zero, whatever follows them: they are taken out, -Ofast
# as -O3.
foreach(variable CMAKE_CXX_FLAGS CMAKE_EXE_LINKER_FLAGS)
  foreach(config "" _DEBUG _RELEASE _RELWITHDEBINFO _MINSIZEREL)
    set(flags "${${variable}${config}}")
    string(REGEX REPLACE "(^| )-Ofast( |$)" "\\1-O3\\2" flags "${flags}")
    string(REGEX REPLACE "(^| )-funsafe-math-optimizations( |$)" "\\1\\2" flags "${flags}")
    if(NOT flags STREQUAL "${${variable}${config}}")
      message(STATUS "${variable}${config}: \"${flags}\", as -Ofast and -funsafe-math-optimizations "
        "would change the digits")
      set(${variable}${config} "${flags}")
    endif()
  endforeach()
endforeach()

# Flags in the compiler's own variable (CXX="g++ -Ofast") cannot be taken out:
# the flags below follow them, and what the start file they link sets is
# undone when the program starts: it sets the floating-point environment to
# its default.
if(CMAKE_CXX_COMPILER_ARG1 MATCHES "-Ofast|-ffast-math|-funsafe-math-optimizations")
  message(STATUS "CXX holds \"${CMAKE_CXX_COMPILER_ARG1}\": undone, as far as the digits go")
endif()

# -ffast-math and every flag it stands for are undone by -fno-fast-math after
# them, and -ffp-contract=fast by -ffp-contract=off.
add_compile_options(-fno-fast-math -ffp-contract=off)
add_link_options(-fno-fast-math)

# 32-bit x86, whatever the host, would compute on the x87 stack, whose wider
# intermediates change the last digits: SSE rounds every operation to float.
include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_QUIET ON)
check_cxx_source_compiles("#if !defined(__i386__)\n#error\n#endif\nint main() {}" CHORD_TARGETS_X86_32)
if(CHORD_TARGETS_X86_32)
  message(STATUS "32-bit x86: the arithmetic on SSE")
  add_compile_options(-msse2 -mfpmath=sse)
endif()
