# Tests of the widgets and of the real main window, created in the test's own process. The test
# exe carries the program's resources so it runs with the same manifest as Fenrallo1.0.exe.
add_executable(window_tests
    ${CMAKE_CURRENT_LIST_DIR}/WidgetTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/LayoutTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowTest.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowResourceTest.cpp
    ${PROJECT_SOURCE_DIR}/resources/fenrallo.rc)
target_link_libraries(window_tests PRIVATE fenrallo_app GTest::gtest_main version)
fenrallo_warnings(window_tests)
add_test(NAME window_tests COMMAND window_tests)

# The same layout at 1.5 times the size, in a prefix of its own set to 144 DPI.
if(CMAKE_CROSSCOMPILING AND CMAKE_HOST_UNIX)
    add_test(NAME window_layout_144dpi
             COMMAND env FENRALLO_DPI=144 ${PROJECT_SOURCE_DIR}/tools/with-wine
                     wine $<TARGET_FILE:window_tests> --gtest_filter=LayoutTest.*)
endif()

if(MINGW AND CMAKE_OBJDUMP)
    add_test(NAME window_exe_imports
             COMMAND ${CMAKE_COMMAND} -DEXE=$<TARGET_FILE:Fenrallo> -DOBJDUMP=${CMAKE_OBJDUMP}
                     -P ${CMAKE_CURRENT_LIST_DIR}/WindowImportsCheck.cmake)
endif()
