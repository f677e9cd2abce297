# The manual pages of the two programs, compressed the way the man tools and Debian expect.
set(VELMORA_MAN_PAGES velmora.1 tarnwick.1)
set(VELMORA_COMPRESSED_MAN_PAGES)
foreach(page IN LISTS VELMORA_MAN_PAGES)
  set(compressed ${CMAKE_BINARY_DIR}/packaging/man/${page}.gz)
  add_custom_command(
      OUTPUT ${compressed}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging/man
      COMMAND gzip -9nc ${CMAKE_CURRENT_LIST_DIR}/man/${page} > ${compressed}
      DEPENDS ${CMAKE_CURRENT_LIST_DIR}/man/${page}
      VERBATIM)
  list(APPEND VELMORA_COMPRESSED_MAN_PAGES ${compressed})
endforeach()
add_custom_target(velmora_man_pages ALL DEPENDS ${VELMORA_COMPRESSED_MAN_PAGES})
install(FILES ${VELMORA_COMPRESSED_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
