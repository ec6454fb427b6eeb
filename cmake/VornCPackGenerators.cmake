# Read by cpack once per generator (CPACK_PROJECT_CONFIG_FILE): the Debian
# package installs under /usr, the archive is the bare tree.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_PACKAGING_INSTALL_PREFIX "${CPACK_VORN_DEB_PREFIX}")
else()
  set(CPACK_PACKAGING_INSTALL_PREFIX "")
endif()
