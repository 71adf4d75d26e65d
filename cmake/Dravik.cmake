# Shared build helpers.

# Warnings for our own targets only.
function(dravik_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

# A pure static library of one src/ folder.
#   dravik_library(dravik_gateway SOURCES a.cpp b.cpp DEPENDS dravik_app Qt6::Core)
function(dravik_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
    dravik_warnings(${name})
endfunction()

# TAxDravik member files of a folder: they all go into the one dravik_window library,
# so that member functions of different folders may call each other.
function(dravik_window_sources)
    foreach(src ${ARGN})
        get_filename_component(abs ${src} ABSOLUTE)
        set_property(GLOBAL APPEND PROPERTY DRAVIK_WINDOW_SOURCES ${abs})
    endforeach()
endfunction()

# A GoogleTest executable registered with CTest.
#   dravik_test(test_gateway SOURCES ... DEPENDS dravik_gateway)
function(dravik_test name)
    cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPENDS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    # Paths as definitions: a test environment list does not survive test discovery.
    target_compile_definitions(${name} PRIVATE DRAVIK_TEST_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
                                               DRAVIK_TEST_BUILD_DIR="${PROJECT_BINARY_DIR}")
    dravik_warnings(${name})
    if(NOT ARG_TIMEOUT)
        set(ARG_TIMEOUT 300)
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_TIMEOUT 60
        PROPERTIES TIMEOUT ${ARG_TIMEOUT}
                   ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()

# A window test against the reference server binary (support/ServerProcessFixture.h): it links
# the window and the test doubles, may read the server's headers and database, and needs the
# server built first.
function(dravik_server_window_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    find_package(Qt6 REQUIRED COMPONENTS Test)
    find_package(SQLite3 REQUIRED)
    dravik_test(${name} SOURCES ${ARG_SOURCES}
                DEPENDS dravik_window dravik_test_support Qt6::Test PkgConfig::HTTPLIB
                        SQLite::SQLite3 ${ARG_DEPENDS})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/server)
    if(TARGET dravik-server)
        add_dependencies(${name} dravik-server)
    endif()
endfunction()
