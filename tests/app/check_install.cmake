# Installs the application component into PREFIX and checks what arrived,
# the desktop entry with VALIDATOR when one is given.
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --component app --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

include(GNUInstallDirs)
foreach(installed
    "${CMAKE_INSTALL_BINDIR}/horatab"
    "${CMAKE_INSTALL_DATADIR}/applications/horatab.desktop"
    "${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps/horatab.svg")
  if(NOT EXISTS "${PREFIX}/${installed}")
    message(FATAL_ERROR "not installed: ${installed}")
  endif()
endforeach()

file(READ "${PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/horatab.desktop" entry)
foreach(line "Exec=horatab %f" "MimeType=application/x-teachers-timetable+xml;")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks: ${line}")
  endif()
endforeach()
if(VALIDATOR)
  execute_process(COMMAND "${VALIDATOR}" "${PREFIX}/${CMAKE_INSTALL_DATADIR}/applications/horatab.desktop"
                  RESULT_VARIABLE status OUTPUT_VARIABLE complaints ERROR_VARIABLE complaints)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "the desktop entry is not valid: ${complaints}")
  endif()
endif()
file(REMOVE_RECURSE "${PREFIX}")
