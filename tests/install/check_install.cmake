# Runs cmake --install into PREFIX (emptied first) and checks that both
# programs, the desktop entry, the icon and the AppStream metainfo arrive where a desktop looks for
# them, that the programs are executable, and that the installed batch tool
# runs from there.
#
#   cmake -DBUILD_DIR=... -DPREFIX=... -DBINDIR=bin -DDATADIR=share -DWITH_APP=ON|OFF
#         -DVERSION=x.y.z -P check_install.cmake

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed (${result}):\n${output}")
endif()

set(bin ${PREFIX}/${BINDIR})
set(share ${PREFIX}/${DATADIR})
set(programs ${bin}/morvane-cli)
if(WITH_APP)
  list(APPEND programs ${bin}/Morvane)
  set(entry ${share}/applications/morvane.desktop)
  set(icon ${share}/icons/hicolor/scalable/apps/morvane.svg)
  set(metainfo ${share}/metainfo/org.morvane.Morvane.metainfo.xml)
endif()

set(problems "")
foreach(file ${programs} ${entry} ${icon} ${metainfo})
  if(NOT EXISTS ${file} OR IS_DIRECTORY ${file})
    list(APPEND problems "missing: ${file}")
  endif()
endforeach()
foreach(program ${programs})
  execute_process(COMMAND test -x ${program} RESULT_VARIABLE notExecutable)
  if(EXISTS ${program} AND NOT notExecutable EQUAL 0)
    list(APPEND problems "not executable: ${program}")
  endif()
endforeach()

if(WITH_APP AND EXISTS ${entry})
  # Whole lines are compared, one call each: the categories hold semicolons,
  # which a list of expected lines would split.
  file(READ ${entry} text)
  string(REPLACE "\r\n" "\n" text "\n${text}\n")
  function(require_line line)
    string(FIND "${text}" "\n${line}\n" at)
    if(at EQUAL -1)
      set(problems ${problems} "${entry} lacks the line '${line}'" PARENT_SCOPE)
    endif()
  endfunction()
  require_line("[Desktop Entry]")
  require_line("Type=Application")
  require_line("Name=Morvane")
  require_line("Exec=Morvane")
  require_line("Icon=morvane")
  require_line("Categories=Engineering;Science;")
endif()
if(WITH_APP AND EXISTS ${icon})
  file(READ ${icon} svg)
  if(NOT svg MATCHES "<svg[^>]*xmlns=\"http://www.w3.org/2000/svg\"" OR NOT svg MATCHES "</svg>[ \t\r\n]*$")
    list(APPEND problems "${icon} is not a whole SVG document")
  endif()
endif()

if(EXISTS ${bin}/morvane-cli)
  execute_process(COMMAND ${bin}/morvane-cli --version
    RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0 OR NOT output STREQUAL "morvane-cli ${VERSION}\n")
    list(APPEND problems "installed morvane-cli --version gave ${result}: '${output}'")
  endif()
endif()

if(problems)
  list(JOIN problems "\n" text)
  message(FATAL_ERROR "${text}")
endif()
file(REMOVE_RECURSE ${PREFIX})
message(STATUS "installed layout is complete")
