# Fails when Fenrallo1.0.exe imports a DLL outside the KnownDLLs it may load at start: anything
# else would be looked up beside the exe first, where a planted copy would run.
#   cmake -DEXE=<exe> -DOBJDUMP=<objdump> -P WindowImportsCheck.cmake
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} could not read ${EXE}")
endif()
set(allowed kernel32.dll user32.dll gdi32.dll shell32.dll shlwapi.dll ole32.dll oleaut32.dll
            advapi32.dll msvcrt.dll)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${dump}")
if(NOT imports)
    message(FATAL_ERROR "no imports found in ${EXE}")
endif()
foreach(line IN LISTS imports)
    string(REPLACE "DLL Name: " "" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" name)
    list(FIND allowed "${name}" found)
    if(found EQUAL -1)
        message(FATAL_ERROR "Fenrallo1.0.exe imports ${name}; load it with loadSystemLibrary")
    endif()
    message(STATUS "imports ${name}")
endforeach()
