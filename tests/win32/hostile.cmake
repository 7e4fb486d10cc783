# Hostile input against the real file system: hashes of every file before and after each batch.
add_executable(hostile_input_tests HostileInputTest.cpp)
target_include_directories(hostile_input_tests PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(hostile_input_tests PRIVATE fenrallo_win32 GTest::gtest_main)
fenrallo_warnings(hostile_input_tests)
add_test(NAME hostile_input_tests COMMAND hostile_input_tests)
