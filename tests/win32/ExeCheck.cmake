cmake_policy(VERSION 3.20)
# Reads a built Fenrallo1.0.exe without running it: a Windows GUI image of the expected kind that
# imports only DLLs Windows loads from its own directory, with its version record, icon and
# manifest.  cmake -DEXE=<exe> -DOBJDUMP=<objdump> -DWINDRES=<windres> -DFORMAT=<pei-i386|pei-x86-64> -P ExeCheck.cmake
function(fail what)
    message(FATAL_ERROR "${EXE}: ${what}")
endfunction()

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
execute_process(COMMAND ${WINDRES} -i ${EXE} -O rc OUTPUT_VARIABLE resources)
if(failed OR NOT resources)
    fail("not readable")
endif()
foreach(wanted "file format ${FORMAT}\n" "Subsystem\t\t00000002\t(Windows GUI)")
    string(FIND "${headers}" "${wanted}" at)
    if(at EQUAL -1)
        fail("headers lack '${wanted}'")
    endif()
endforeach()

# Anything but these KnownDLLs would be looked up beside the exe first, where a planted copy runs.
set(allowed kernel32.dll user32.dll gdi32.dll shell32.dll shlwapi.dll ole32.dll oleaut32.dll
            advapi32.dll msvcrt.dll)
string(REGEX MATCHALL "DLL Name: [^\r\n]+" imports "${headers}")
if(NOT imports)
    fail("no imports found")
endif()
foreach(line IN LISTS imports)
    string(REGEX REPLACE "DLL Name: (.*)" "\\1" name "${line}")
    string(TOLOWER "${name}" name)
    if(NOT name IN_LIST allowed)
        fail("imports ${name}; load it with loadSystemLibrary")
    endif()
endforeach()

foreach(wanted [["\020\020\000\000", 1, 24,]] [["\040\040\000\000", 1, 24,]]
               [["\060\060\000\000", 1, 24,]] [["\100\100\000\000", 1, 24,]]
               [[FILEVERSION 1, 0, 0, 0]] [[BLOCK "080404B0"]] [[VALUE "FileVersion", "1.00"]]
               [[VALUE "ProductVersion", "1.00"]] [[VALUE "InternalName", "Fenrallo1.0"]]
               [[VALUE "OriginalFilename", "Fenrallo1.0.exe"]] [[VALUE "Translation", 0x804, 1200]]
               [[Microsoft.Windows.Common-Controls]] [[>true/pm<]] [[>PerMonitorV2,PerMonitor<]]
               [[<longPathAware]] [[asInvoker]])
    string(FIND "${resources}" "${wanted}" at)
    if(at EQUAL -1)
        fail("resources lack ${wanted}")
    endif()
endforeach()
message(STATUS "${EXE}: ${FORMAT}, GUI, imports ${imports}")
