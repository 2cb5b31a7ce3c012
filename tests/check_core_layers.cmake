# Fails when a file includes from a folder above it. The layers, from the
# bottom: parser <- util <- signal (the sampled signal itself) <-
# signal/pressure <- signal/import <- events <- timeline form the core; above
# it the window's rooms app/widgets <- app/history <- app/dialogs <- app/report
# <- app/pages <- app/window <- app (its entry point). Each layer may include
# from itself and the layers below it; cli/ and the test, benchmark and fuzz
# folders lie above all of them. The window's widgets know nothing of the engine: they
# include neither events/ nor signal/. A path with ".." would hide where it
# points, so every project include is spelled from the root.
set(layers parser util signal signal/pressure signal/import events timeline
  app/widgets app/history app/dialogs app/report app/pages app/window app)
set(above cli/ tests/ bench/ fuzz/)
set(widget_extra events signal)
set(found "")
list(LENGTH layers count)
math(EXPR last "${count} - 1")
foreach(index RANGE ${last})
  list(GET layers ${index} dir)
  set(forbidden ${above})
  if(index LESS last)
    math(EXPR next "${index} + 1")
    foreach(upper RANGE ${next} ${last})
      list(GET layers ${upper} name)
      # A folder whose rooms are layers of their own: only the files at its top.
      string(REGEX MATCH "(^|;)${name}/" has_rooms "${layers}")
      if(has_rooms)
        list(APPEND forbidden "${name}/[^/>\"]+[>\"]")
      else()
        list(APPEND forbidden "${name}/")
      endif()
    endforeach()
  endif()
  if(dir STREQUAL "app/widgets")
    foreach(name ${widget_extra})
      list(APPEND forbidden "${name}/")
    endforeach()
  endif()
  list(JOIN forbidden "|" alternatives)
  file(GLOB_RECURSE files ${ROOT}/${dir}/*.h ${ROOT}/${dir}/*.cpp)
  foreach(f ${files})
    file(RELATIVE_PATH name ${ROOT} ${f})
    # A file belongs to the deepest layer whose folder holds it (a subfolder
    # that is no layer of its own, as signal/import/mdf4, to the one above it).
    get_filename_component(folder ${name} DIRECTORY)
    list(FIND layers ${folder} deeper)
    while(deeper EQUAL -1 AND NOT folder STREQUAL "")
      get_filename_component(folder ${folder} DIRECTORY)
      list(FIND layers ${folder} deeper)
    endwhile()
    if(NOT folder STREQUAL dir)
      continue()
    endif()
    file(STRINGS ${f} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]((${alternatives})|[^>\"]*\\.\\./)")
    foreach(line ${lines})
      string(STRIP "${line}" line)
      list(APPEND found "${name}: ${line}")
    endforeach()
  endforeach()
endforeach()
if(found)
  list(JOIN found "\n" text)
  list(JOIN layers " <- " order)
  message(FATAL_ERROR "Files including from a folder above them (${order}; cli above all):\n${text}")
endif()
message(STATUS "every folder includes only from itself and the folders below it")
