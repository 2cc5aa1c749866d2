# Read by cpack before each generator runs (CPACK_PROJECT_CONFIG_FILE).
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(KITCOMP_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(NOT KITCOMP_DPKG_SHLIBDEPS)
    message(FATAL_ERROR "dpkg-shlibdeps is missing (install dpkg-dev): the package's dependencies cannot be found")
  endif()
endif()
