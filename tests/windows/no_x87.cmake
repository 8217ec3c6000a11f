# Fails if LIBRARY holds any x87 arithmetic instruction. Loads and stores on
cmake_minimum_required(VERSION 3.25)
# the x87 stack are allowed: the 32-bit calling convention returns a float
# there, which does not round anything again.
execute_process(COMMAND ${OBJDUMP} -d --no-show-raw-insn ${LIBRARY} OUTPUT_VARIABLE dump
  COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "\tfi?(add|sub|subr|mul|div|divr)[psl]?[ \t\n]|\tfsqrt" x87 "${dump}")
if(x87)
  message(FATAL_ERROR "x87 arithmetic in ${LIBRARY}: ${x87}")
endif()
string(REGEX MATCHALL "\t(add|sub|mul|div)ss[ \t]" sse "${dump}")
list(LENGTH sse count)
if(count EQUAL 0)
  message(FATAL_ERROR "no SSE arithmetic found in ${LIBRARY}: is the disassembly readable?")
endif()
message(STATUS "${count} SSE arithmetic instructions, no x87 arithmetic")
