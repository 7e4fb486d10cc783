# Fails when the exe links the C++ runtime's unwinder or a helper that throws: together they are
# most of an exe that should stay under 48 KiB, and one stray call to a throwing standard
# function brings them all back. Fails too when a global object needs a constructor run at
# start, or a reference to an imported variable needs a runtime pseudo-relocation: the exe's own
# entry point (app/Start.cpp) runs no constructors and applies no relocations.
#   cmake -DEXE=<unstripped exe> -DNM=<nm> -P NoUnwinder.cmake
execute_process(COMMAND ${NM} ${EXE} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${EXE}: no symbol table to read")
endif()
# x86 names carry one more leading underscore than x64 ones.
string(REGEX MATCHALL "[^\n]* _?(_Unwind_[A-Za-z_]+|__gxx_personality[a-z0-9_]*|__cxa_throw|__cxa_allocate_exception|_ZSt[0-9]+__throw_[A-Za-z_0-9]+|__emutls[a-z_]*|_?pthread_[a-z_]+)\n" found "${symbols}")
list(FILTER found EXCLUDE REGEX "__wrap_")
if(found)
    string(REPLACE "\n" "" found "${found}")
    message(FATAL_ERROR "${EXE} links the unwinder or a throwing helper:\n${found}")
endif()
string(REGEX MATCHALL "[^\n]* _?_GLOBAL__sub_I_[^\n]*\n" constructors "${symbols}")
if(constructors)
    message(FATAL_ERROR "${EXE} has global objects whose constructors nothing runs:\n${constructors}")
endif()
string(REGEX MATCHALL "[^\n]* _?__fu[0-9]+_[^\n]*\n" fixups "${symbols}")
if(fixups)
    message(FATAL_ERROR "${EXE} needs runtime pseudo-relocations that nothing applies:\n${fixups}")
endif()
