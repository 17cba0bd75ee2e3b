# vesk_console_program(NAME MAIN HEADER [SCRIPT]): the console program NAME, whose dialogue is the
# routine MAIN declared in HEADER (a path from the source tree). For Windows, NAME.exe runs it in
# its window (make run-NAME). Natively, `NAME SCRIPT [FOLDER]` runs it on the headless PC; with
# SCRIPT given, ctest runs the program on that script (path from the source tree), which must end
# it with exit code 0, leaving its files in console-dumps/NAME-script.
function(vesk_console_program name main header)
  if(WIN32)
    add_executable(${name} WIN32 ${CMAKE_SOURCE_DIR}/console/win32/window_program.cpp)
    target_link_libraries(${name} PRIVATE console pc_window)
    target_link_options(${name} PRIVATE -municode)
  else()
    add_executable(${name} ${CMAKE_SOURCE_DIR}/console/main/headless_program.cpp)
    target_link_libraries(${name} PRIVATE console)
    if(ARGC GREATER 3)
      add_test(NAME ${name}_script
               COMMAND ${name} ${CMAKE_SOURCE_DIR}/${ARGV3} ${CMAKE_BINARY_DIR}/console-dumps/${name}-script)
    endif()
  endif()
  string(TOUPPER ${name} title)
  target_compile_definitions(${name} PRIVATE VESK_CONSOLE_MAIN=${main} VESK_CONSOLE_HEADER="${header}"
                             VESK_CONSOLE_NAME="${title}")
endfunction()
