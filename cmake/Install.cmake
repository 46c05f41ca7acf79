# What `cmake --install` adds to the three programs (which install
# themselves into lib/pelorin-tessaly): the program folder's content, the
# commands in bin, and what makes the aquarium known to a Linux desktop.

# The content the forge wrote beside the programs in the build: every folder
# and every file there that is not itself a program. Programs, tests and
# benchmarks are all ELF files; what they are is decided when installing, so
# whatever the build produced by then goes along.
install(CODE "set(PT_BUILD_PROGRAM_FOLDER \"${CMAKE_RUNTIME_OUTPUT_DIRECTORY}\")")
install(CODE [[
  set(pt_program_folder "${CMAKE_INSTALL_PREFIX}/lib/pelorin-tessaly")
  file(GLOB pt_entries LIST_DIRECTORIES true "${PT_BUILD_PROGRAM_FOLDER}/*")
  foreach(pt_entry IN LISTS pt_entries)
    if(IS_DIRECTORY "${pt_entry}")
      file(INSTALL DESTINATION "${pt_program_folder}" TYPE DIRECTORY FILES "${pt_entry}")
    else()
      file(READ "${pt_entry}" pt_magic LIMIT 4 HEX)
      if(NOT pt_magic STREQUAL "7f454c46")
        file(INSTALL DESTINATION "${pt_program_folder}" TYPE FILE FILES "${pt_entry}")
      endif()
    endif()
  endforeach()
]])

# Commands by their Linux names, and the short name of the screen saver that
# the setup tool registers, as links that stay right wherever the prefix is
# moved.
install(CODE [[
  set(pt_root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  file(MAKE_DIRECTORY "${pt_root}/bin")
  foreach(pt_link "brinewick|Brinewick.scr" "pelorin-tessaly|Pelorin Tessaly.scr" "saversetup|saversetup")
    string(REPLACE "|" ";" pt_parts "${pt_link}")
    list(GET pt_parts 0 pt_name)
    list(GET pt_parts 1 pt_program)
    message(STATUS "Installing: ${pt_root}/bin/${pt_name} -> ${pt_program}")
    file(CREATE_LINK "../lib/pelorin-tessaly/${pt_program}" "${pt_root}/bin/${pt_name}" SYMBOLIC)
  endforeach()
  message(STATUS "Installing: ${pt_root}/lib/pelorin-tessaly/Pelori~1.scr")
  file(CREATE_LINK "Pelorin Tessaly.scr" "${pt_root}/lib/pelorin-tessaly/Pelori~1.scr" SYMBOLIC)
]])

# The desktop entry starts the aquarium free-standing, by the full path of
# the installed command (the prefix as installed, without DESTDIR).
install(CODE "set(PT_DESKTOP_TEMPLATE \"${CMAKE_CURRENT_LIST_DIR}/desktop/pelorin-tessaly.desktop.in\")")
install(CODE "set(PT_DESKTOP_STAGING \"${CMAKE_BINARY_DIR}/install-staging\")")
install(CODE [[
  set(pt_command "${CMAKE_INSTALL_PREFIX}/bin/brinewick")
  if(pt_command MATCHES "[ \t\"]")
    string(REPLACE "\"" "\\\"" pt_command "${pt_command}")
    set(pt_command "\"${pt_command}\"")
  endif()
  file(READ "${PT_DESKTOP_TEMPLATE}" pt_entry)
  string(REPLACE "@BRINEWICK@" "${pt_command}" pt_entry "${pt_entry}")
  file(WRITE "${PT_DESKTOP_STAGING}/pelorin-tessaly.desktop" "${pt_entry}")
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
       FILES "${PT_DESKTOP_STAGING}/pelorin-tessaly.desktop")
]])

install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/pelorin-tessaly.xml DESTINATION share/xscreensaver/config)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/desktop/pelorin-tessaly.svg
        DESTINATION share/icons/hicolor/scalable/apps)
