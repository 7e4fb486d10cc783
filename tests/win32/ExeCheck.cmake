cmake_policy(VERSION 3.20)
# Reads a built Fenrallo1.0.exe without running it: a Windows 7 GUI image of the expected kind
# with hardened headers that imports only DLLs Windows loads from its own directory, with its
# version record, icon frames and a manifest for its own architecture, all tagged Chinese (PRC).
# And the read-me that goes beside it into the zip, made from the repository's own.
#   cmake -DEXE=<exe> -DOBJDUMP=<objdump> -DWINDRES=<windres> -DFORMAT=<pei-i386|pei-x86-64>
#         -DFLAGS=<DllCharacteristics> -DARCH=<x86|amd64> -DREADME=<made> -DREADME_SOURCE=<kept>
#         -P ExeCheck.cmake

execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
execute_process(COMMAND ${WINDRES} -i ${EXE} -O rc OUTPUT_VARIABLE resources)
if(failed OR NOT resources)
    message(FATAL_ERROR "${EXE}: not readable")
endif()
function(require text what)
    foreach(wanted ${ARGN})
        string(FIND "${text}" "${wanted}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "${EXE}: ${what} lack '${wanted}'")
        endif()
    endforeach()
endfunction()
require("${headers}" headers "file format ${FORMAT}\n" "Subsystem\t\t00000002\t(Windows GUI)"
        "DllCharacteristics\t0000${FLAGS}\n" "MajorOSystemVersion\t6\n" "MinorOSystemVersion\t1\n"
        "MajorSubsystemVersion\t6\n" "MinorSubsystemVersion\t1\n")

# Anything but these KnownDLLs would be looked up beside the exe first, where a planted copy runs.
string(TOLOWER "${headers}" lower)
string(REGEX MATCHALL "dll name: [^\r\n]+" imports "${lower}")
set(others ${imports})
list(FILTER others EXCLUDE REGEX
     "^dll name: (kernel32|user32|gdi32|shell32|shlwapi|ole32|oleaut32|advapi32|msvcrt)\\.dll$")
if(NOT imports OR others)
    message(FATAL_ERROR "${EXE}: imports '${others}' (load them with loadSystemLibrary) or nothing at all")
endif()

# Icon frames 16 to 64 px, the version record and the manifest.
require("${resources}" resources [["\020\020\000\000", 1, 24,]] [["\024\024\000\000", 1, 24,]]
        [["\030\030\000\000", 1, 24,]] [["\040\040\000\000", 1, 32,]] [["\050\050\000\000", 1, 32,]]
        [["\060\060\000\000", 1, 32,]] [["\100\100\000\000", 1, 32,]] [[FILEVERSION 1, 0, 0, 0]]
        [[BLOCK "080404B0"]] [[VALUE "FileVersion", "1.00"]] [[VALUE "ProductVersion", "1.00"]]
        [[VALUE "InternalName", "Fenrallo1.0"]] [[VALUE "OriginalFilename", "Fenrallo1.0.exe"]]
        [[VALUE "Translation", 0x804, 1200]] [[Microsoft.Windows.Common-Controls]] [[>true/pm<]]
        [[>PerMonitorV2,PerMonitor<]] [[<longPathAware]] [[asInvoker]]
        "name=\"\"Fenrallo.Fenrallo\"\" version=\"\"1.0.0.0\"\" processorArchitecture=\"\"${ARCH}\"\"")
string(REGEX MATCHALL "\nLANGUAGE [0-9]+, [0-9]+" languages "${resources}")
list(REMOVE_DUPLICATES languages)
if(NOT languages STREQUAL "\nLANGUAGE 4, 2")
    message(FATAL_ERROR "${EXE}: resources not all tagged Chinese (PRC): ${languages}")
endif()

# Windows 7's Notepad shows LF-only text as one line, and a Chinese system reads UTF-8 without a
# byte-order mark as GBK: the zip's copy has CRLF line ends and the mark, the repository's neither.
file(READ ${README_SOURCE} kept HEX)
file(READ ${README} made HEX)
string(REGEX REPLACE "(..)" "\\1 " kept "${kept}")
string(REPLACE "0a " "0d0a" crlf "${kept}")
string(REPLACE " " "" crlf "${crlf}")
if(kept MATCHES "^ef bb bf |(^| )0d " OR NOT made STREQUAL "efbbbf${crlf}")
    message(FATAL_ERROR "${README}: not ${README_SOURCE} with CRLF line ends and a UTF-8 BOM")
endif()
