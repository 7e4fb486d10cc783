# Fails when the exe links the C++ runtime's unwinder or a helper that throws: together they are
# most of an exe that should stay under 64 KiB, and one stray call to a throwing standard
# function brings them all back.   cmake -DEXE=<unstripped exe> -DNM=<nm> -P NoUnwinder.cmake
execute_process(COMMAND ${NM} ${EXE} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${EXE}: no symbol table to read")
endif()
string(REGEX MATCHALL "[^\n]* (_Unwind_[A-Za-z_]+|__gxx_personality[a-z0-9_]*|__cxa_throw|__cxa_allocate_exception|_ZSt[0-9]+__throw_[A-Za-z_0-9]+|__emutls[a-z_]*|pthread_[a-z_]+)\n" found "${symbols}")
list(FILTER found EXCLUDE REGEX "__wrap_")
if(found)
    string(REPLACE "\n" "" found "${found}")
    message(FATAL_ERROR "${EXE} links the unwinder or a throwing helper:\n${found}")
endif()
