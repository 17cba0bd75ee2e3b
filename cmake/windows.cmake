# Windows-only targets: the program, its in-process GUI tests and the black-box driver.
enable_language(RC)
set(VESK_WINE_RUN ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh)

file(GLOB win_srcs CONFIGURE_DEPENDS
  platform/win32/*.cpp shell/win32/*.cpp univariate/win32/*.cpp multivariate/win32/*.cpp app/win32/*.cpp)
list(FILTER win_srcs EXCLUDE REGEX ".*/winmain\\.cpp$")
list(FILTER win_srcs EXCLUDE REGEX ".*/platform/win32/durable_file\\.cpp$")
list(FILTER win_srcs EXCLUDE REGEX ".*/pc_window\\.cpp$")
add_library(vesk_win STATIC ${win_srcs})
target_link_libraries(vesk_win PUBLIC app_portable comctl32 comdlg32 gdi32 user32 kernel32)
target_compile_definitions(vesk_win PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# The console programs' window: the PC's screen, keyboard and mouse for users.
add_library(pc_window STATIC ${CMAKE_SOURCE_DIR}/platform/win32/pc_window.cpp)
target_link_libraries(pc_window PUBLIC platform gdi32 user32 kernel32)
target_compile_definitions(pc_window PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

set(VESK_RC ${CMAKE_SOURCE_DIR}/resources/vesk.rc)
add_executable(vesk WIN32 app/win32/winmain.cpp ${VESK_RC})
target_link_libraries(vesk PRIVATE vesk_win)

# The help file beside the program (the programs of this tree all land in its top folder), where
# Help > Contents and Help on Help look for it.
set(VESK_HELP_FILE ${CMAKE_BINARY_DIR}/VESK.HLP)
add_custom_command(OUTPUT ${VESK_HELP_FILE}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/resources/VESK.HLP ${VESK_HELP_FILE}
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/VESK.HLP
  COMMENT "Copying the help file beside vesk.exe" VERBATIM)
add_custom_target(vesk_help_file ALL DEPENDS ${VESK_HELP_FILE})
add_dependencies(vesk vesk_help_file)

add_test(NAME win_unit_tests COMMAND ${VESK_WINE_RUN} 300 $<TARGET_FILE:unit_tests> --gtest_brief=1)
set_tests_properties(win_unit_tests PROPERTIES RESOURCE_LOCK wine)
add_test(NAME win_alloc_failure_tests COMMAND ${VESK_WINE_RUN} 120 $<TARGET_FILE:alloc_failure_tests> --gtest_brief=1)
set_tests_properties(win_alloc_failure_tests PROPERTIES RESOURCE_LOCK wine)
add_test(NAME win_console_tests COMMAND ${VESK_WINE_RUN} 300 $<TARGET_FILE:console_tests> --gtest_brief=1)
set_tests_properties(win_console_tests PROPERTIES RESOURCE_LOCK wine)

# The console window under Wine, in process: keys, clicks and closing reach the primitives.
file(GLOB console_window_test_srcs CONFIGURE_DEPENDS tests/console/win32/*.cpp)
add_executable(console_window_tests ${console_window_test_srcs})
target_link_libraries(console_window_tests PRIVATE console pc_window gtest_main_local)
add_test(NAME win_console_window_tests COMMAND ${VESK_WINE_RUN} 120 $<TARGET_FILE:console_window_tests> --gtest_brief=1)
set_tests_properties(win_console_window_tests PROPERTIES RESOURCE_LOCK wine)


# Types keys into a console program's window from another process (scripts/ospe-screenshot.sh).
add_executable(console_keys tests/screens/console_keys.cpp)
target_link_libraries(console_keys PRIVATE user32)
target_link_options(console_keys PRIVATE -municode)

# A console program that shows a text page and a drawn frame (scripts/console-screenshot.sh, make run-console_demo).
add_executable(console_demo WIN32 tests/screens/console_demo.cpp)
target_link_libraries(console_demo PRIVATE console pc_window)
target_link_options(console_demo PRIVATE -municode)

file(GLOB gui_test_srcs CONFIGURE_DEPENDS tests/gui/*.cpp)
if(gui_test_srcs)
  # gui_tests.rc holds the program's resources and the tests' own templates.
  add_executable(gui_tests ${gui_test_srcs} ${CMAKE_SOURCE_DIR}/tests/gui/gui_tests.rc)
  target_link_libraries(gui_tests PRIVATE vesk_win gtest_local)
  target_include_directories(gui_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/gui ${CMAKE_SOURCE_DIR}/resources)
  add_dependencies(gui_tests vesk_help_file)
  set_source_files_properties(${CMAKE_SOURCE_DIR}/tests/gui/gui_tests.rc PROPERTIES OBJECT_DEPENDS ${VESK_RC})
  add_test(NAME win_gui_tests COMMAND ${VESK_WINE_RUN} 300 $<TARGET_FILE:gui_tests> --gtest_brief=1)
  set_tests_properties(win_gui_tests PROPERTIES RESOURCE_LOCK wine)
endif()

file(GLOB blackbox_srcs CONFIGURE_DEPENDS tests/blackbox/*.cpp)
if(blackbox_srcs)
  add_executable(blackbox_tests ${blackbox_srcs})
  target_link_libraries(blackbox_tests PRIVATE gtest_main_local user32 kernel32)
  target_compile_definitions(blackbox_tests PRIVATE UNICODE _UNICODE NOMINMAX
                             VESK_TEST_DATA="${CMAKE_SOURCE_DIR}/tests/data")
  add_test(NAME win_blackbox_tests COMMAND ${VESK_WINE_RUN} 300 $<TARGET_FILE:blackbox_tests> --gtest_brief=1
           --gtest_filter=-Scenario.*)
  set_tests_properties(win_blackbox_tests PROPERTIES RESOURCE_LOCK wine)
  # The main-road scenario; its screen pictures are kept in scenario-shots as build artefacts.
  set(VESK_SCENARIO_SHOTS ${CMAKE_BINARY_DIR}/scenario-shots)
  file(MAKE_DIRECTORY ${VESK_SCENARIO_SHOTS})
  add_test(NAME win_scenario COMMAND ${VESK_WINE_RUN} 400 $<TARGET_FILE:blackbox_tests> --gtest_brief=1
           --gtest_filter=Scenario.*)
  set_tests_properties(win_scenario PROPERTIES RESOURCE_LOCK wine ENVIRONMENT VESK_SCENARIO_SHOTS=${VESK_SCENARIO_SHOTS}
                       FAIL_REGULAR_EXPRESSION "Unhandled exception|Unhandled page fault|Unhandled stack overflow")
endif()

# A program that opens a plot window and a report window for screenshots (scripts/plot-screenshot.sh).
add_executable(plot_screens WIN32 tests/screens/plot_screens.cpp ${VESK_RC})
target_link_libraries(plot_screens PRIVATE vesk_win)
target_link_options(plot_screens PRIVATE -municode)

# The statistics views of a univariate project for screenshots (scripts/statistics-screenshot.sh).
add_executable(statistics_screens WIN32 tests/screens/statistics_screens.cpp ${VESK_RC})
target_link_libraries(statistics_screens PRIVATE vesk_win)
target_link_options(statistics_screens PRIVATE -municode)

# A console program in its window with keys typed ahead from a script (scripts/console-script-screenshot.sh).
add_executable(console_script_window WIN32 tests/screens/console_script_window.cpp)
target_link_libraries(console_script_window PRIVATE console pc_window)
target_link_options(console_script_window PRIVATE -municode)

# The long-series benchmark: the real frame driven in process through the GUI tests' harness
# (scripts/bench/views_under_wine.sh runs it). Not a test: it prints timings.
add_executable(view_bench ${CMAKE_SOURCE_DIR}/bench/win32/view_bench.cpp ${CMAKE_SOURCE_DIR}/tests/gui/gui_harness.cpp
               ${CMAKE_SOURCE_DIR}/tests/gui/gui_tests.rc)
target_link_libraries(view_bench PRIVATE vesk_win gtest_local)
target_include_directories(view_bench PRIVATE ${CMAKE_SOURCE_DIR}/tests/gui ${CMAKE_SOURCE_DIR}/resources)
target_link_options(view_bench PRIVATE -municode)
