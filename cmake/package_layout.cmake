# Read by cpack for each package kind: the Debian package installs into
# /usr, the tarball keeps the install layout (bin/, share/) as it is.
if(CPACK_GENERATOR STREQUAL "DEB")
  # Without a prefix the package would hold /usr/bin/tail, /usr/bin/cut
  # and /usr/bin/paste, which belong to the system's own tools.
  if("${CPACK_SUITE_INSTALL_NAME_PREFIX}" STREQUAL "")
    message(FATAL_ERROR "The Debian package needs a SUITE_INSTALL_NAME_PREFIX; configure with -DSUITE_INSTALL_NAME_PREFIX=suite-")
  endif()
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
endif()
