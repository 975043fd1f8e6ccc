# ocable_add_gtest(<name> SOURCES ... [LIBS ...] [GUI])
# One GoogleTest executable; GUI tests get a main() that creates a QApplication.
function(ocable_add_gtest name)
    cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    if(T_GUI)
        set(main ocable_test_main_gui)
    else()
        set(main ocable_test_main)
    endif()
    target_link_libraries(${name} PRIVATE ${T_LIBS} ${main} GTest::gtest GTest::gmock)
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;OCABLE_SOURCE_DIR=${PROJECT_SOURCE_DIR}"
                   TIMEOUT 300)
endfunction()
