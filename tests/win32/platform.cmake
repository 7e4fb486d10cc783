# Tests of the Win32 platform services, drop reading and DLL hardening, each one executable and
# one CTest entry. The helpers below are copied by the tests into folders of their choosing and
# run there; the plants keep neutral names in the build folder so nothing else loads them.

add_executable(platform_probe PlatformProbe.cpp)
target_link_libraries(platform_probe PRIVATE fenrallo_win32)
fenrallo_warnings(platform_probe)

add_executable(plant_explorer plant/PlantedExplorer.cpp)
fenrallo_warnings(plant_explorer)

add_library(plant_dll MODULE plant/PlantedDll.cpp)
set_target_properties(plant_dll PROPERTIES PREFIX "")
if(MINGW)
    # Copied alone into a folder, it must not need libgcc or libstdc++ DLLs beside it.
    target_link_options(plant_dll PRIVATE -static -static-libgcc -static-libstdc++)
endif()
fenrallo_warnings(plant_dll)

function(fenrallo_platform_test name)
    add_executable(${name} ${ARGN})
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE fenrallo_win32 GTest::gtest_main)
    add_dependencies(${name} platform_probe plant_explorer plant_dll)
    fenrallo_warnings(${name})
    add_test(NAME ${name} COMMAND ${name})
endfunction()

fenrallo_platform_test(platform_services_tests PlatformServicesTest.cpp DroppedPathsTest.cpp)
fenrallo_platform_test(dll_hardening_tests DllHardeningTest.cpp)
fenrallo_platform_test(explorer_launch_tests ExplorerLaunchTest.cpp)
# The DLL planting test sets Wine's per-program DLL order in the registry.
target_link_libraries(dll_hardening_tests PRIVATE advapi32)
