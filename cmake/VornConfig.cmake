# Build-time configuration of Vorn.  Every value here is a cache variable, so
# an integrator can override it with -D on the cmake command line; all of them
# end up in the one generated header config.h.

set(VORN_TARGET_MACHINE "aarch64-unknown-freebsd14.0" CACHE STRING "Target machine name")
set(VORN_VERSION "1.0.0" CACHE STRING "Version string")
set(VORN_PKGVERSION "(Vorn) " CACHE STRING
    "Package-version string, with its own parentheses and trailing blank")
set(VORN_BUGURL "<https://vorn.invalid/bugs>" CACHE STRING "Bug-report location")
set(VORN_THREAD_MODEL "posix" CACHE STRING "Thread model")
# Defined with the other values, so that a first configure already hands it
# to the package test, which is added before the packaging rules.
set(VORN_MAINTAINER "The Vorn authors <vorn@vorn.invalid>" CACHE STRING
    "Maintainer named in the packages")
set(VORN_DEFAULT_ASSEMBLER "" CACHE STRING "Full path of the default assembler (empty: not configured)")
set(VORN_DEFAULT_LINKER "" CACHE STRING "Full path of the default linker (empty: not configured)")
set(VORN_CROSS_COMPILE "0" CACHE STRING "Cross-compile setting (0 for a native compiler)")
set(VORN_TOOL_PREFIX "../../../../" CACHE STRING
    "Tool directory prefix, relative to the executable prefix's machine/version directory")

# The installation layout, relative to the installation prefix.
set(VORN_INSTALL_BINDIR "bin")
set(VORN_INSTALL_EXEC_SUBDIR "lib/vorn")
set(VORN_INSTALL_LIBEXEC_SUBDIR "libexec/vorn")
set(VORN_INSTALL_LIBDIR "lib")
set(VORN_INSTALL_LOCALEDIR "share/locale")
set(VORN_INSTALL_MANDIR "share/man")
set(VORN_INSTALL_DOCDIR "share/doc/vorn")

# Absolute configured directories.  The installed tree is relocatable: the
# programs compute their real directories from their own location relative to
# these, so a tree installed with --prefix elsewhere still works.
string(REGEX REPLACE "/+$" "" _vorn_prefix "${CMAKE_INSTALL_PREFIX}")
set(VORN_STANDARD_PREFIX "${_vorn_prefix}/")
set(VORN_BINDIR "${_vorn_prefix}/${VORN_INSTALL_BINDIR}/")
set(VORN_EXEC_PREFIX "${_vorn_prefix}/${VORN_INSTALL_EXEC_SUBDIR}/")
set(VORN_LIBEXEC_PREFIX "${_vorn_prefix}/${VORN_INSTALL_LIBEXEC_SUBDIR}/")
set(VORN_LIBDIR "${_vorn_prefix}/${VORN_INSTALL_LIBDIR}")
set(VORN_LOCALEDIR "${_vorn_prefix}/${VORN_INSTALL_LOCALEDIR}")

# The configure line reported by -v: the settings that shape this build.
set(VORN_CONFIGURE_LINE
    "cmake -DCMAKE_INSTALL_PREFIX=${_vorn_prefix} -DVORN_TARGET_MACHINE=${VORN_TARGET_MACHINE} -DVORN_VERSION=${VORN_VERSION} -DVORN_THREAD_MODEL=${VORN_THREAD_MODEL}")

set(VORN_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/cmake/config.h.in ${VORN_GENERATED_DIR}/config.h @ONLY)
