# Installs only the docs folder into a scratch prefix and checks that the manual arrives whole
# where Help looks for it: <prefix>/<datadir>/doc/tarnwick/manual/, every file of the source
# folder byte for byte, and nothing else.
foreach(variable DOCS_INSTALL_SCRIPT MANUAL_SOURCE SCRATCH DATADIR)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "${variable} is not set")
  endif()
endforeach()

file(REMOVE_RECURSE "${SCRATCH}")
set(CMAKE_INSTALL_PREFIX "${SCRATCH}")
set(CMAKE_INSTALL_MESSAGE NEVER)
include("${DOCS_INSTALL_SCRIPT}")

set(installed "${SCRATCH}/${DATADIR}/doc/tarnwick/manual")
if(NOT EXISTS "${installed}/index.html")
  message(FATAL_ERROR "no index.html in ${installed}")
endif()

file(GLOB_RECURSE wanted RELATIVE "${MANUAL_SOURCE}" "${MANUAL_SOURCE}/*")
file(GLOB_RECURSE got RELATIVE "${installed}" "${installed}/*")
list(SORT wanted)
list(SORT got)
if(NOT wanted STREQUAL got)
  message(FATAL_ERROR "installed files differ from the source folder:\n"
                      "  source:    ${wanted}\n  installed: ${got}")
endif()
foreach(name IN LISTS wanted)
  file(SHA256 "${MANUAL_SOURCE}/${name}" source_hash)
  file(SHA256 "${installed}/${name}" installed_hash)
  if(NOT source_hash STREQUAL installed_hash)
    message(FATAL_ERROR "${name} differs after installing")
  endif()
endforeach()
list(LENGTH wanted count)
message(STATUS "${count} files installed to ${installed}")
file(REMOVE_RECURSE "${SCRATCH}")
