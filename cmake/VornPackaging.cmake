# Packages of the installed product: `cpack -G "TGZ;DEB"` in the build
# directory (or `cmake --build <dir> --target package`) makes
# vorn-<version>-Linux.tar.gz and vorn_<version>_<arch>.deb.  They hold what
# `cmake --install` installs: the four programs, the manual pages, the shell
# completion and the message catalogues, never the stand-in toolchain.

set(CPACK_PACKAGE_NAME vorn)
set(CPACK_PACKAGE_VERSION ${VORN_VERSION})
set(CPACK_PACKAGE_VENDOR "The Vorn authors")
set(CPACK_PACKAGE_CONTACT ${VORN_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "C++ compiler driver and LTO-aware archive tools for AArch64 FreeBSD")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "vorn-cxx reads a compiler command line, builds the commands of the\n"
    "compilers proper, the assembler and the linker from its specs, and runs\n"
    "them for an AArch64 FreeBSD target.  vorn-ar, vorn-nm and vorn-ranlib run\n"
    "the archive tools with the link-time-optimisation plug-in.  The compilers\n"
    "proper, the assembler, the linker and the archive tools are installed\n"
    "separately.")
set(CPACK_GENERATOR TGZ DEB)
# Shipped programs carry no debugging information.
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_GENERATOR "")
# The archive unpacks into one directory that is a whole installation tree
# (bin/, lib/, libexec/, share/, <machine>/); the Debian package installs
# under /usr, where a distribution's packages go, whatever prefix the build
# was configured for: both trees are relocatable, so the programs find
# their directories from where they lie.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_VORN_DEB_PREFIX /usr)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/VornCPackGenerators.cmake)

# lintian's verdict on the .deb (the package test runs it): no error, no
# warning, and each override with its reason in this file.
configure_file(${CMAKE_CURRENT_LIST_DIR}/lintian-overrides.in
               ${PROJECT_BINARY_DIR}/lintian-overrides/vorn @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/lintian-overrides/vorn DESTINATION share/lintian/overrides)

set(CPACK_DEBIAN_PACKAGE_NAME vorn)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VORN_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://vorn.invalid/")
# CPack puts the summary in front of this as the description's first line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
# The dependencies are what dpkg-shlibdeps finds the programs need.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
