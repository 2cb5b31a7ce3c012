# Run by cpack on its staging tree before it packs: gzips the manual pages and
# the changelog as Debian wants them, at the highest level and without the
# file's name and time, so that the same sources give the same package.
set(root ${CPACK_TEMPORARY_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
file(GLOB pages ${root}/share/man/man1/*.1)
foreach(file ${pages} ${root}/share/doc/morvane/changelog)
  execute_process(COMMAND gzip -9 -n -f ${file} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip ${file} failed (${result})")
  endif()
endforeach()
