# A CMake toolchain file that builds a project's C++ code with Vorn for its
# target, AArch64 FreeBSD:
#
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=/path/to/vorn-toolchain.cmake \
#         -DVORN_PREFIX=/opt/vorn -S . -B build
#
# VORN_PREFIX is the installation prefix (the directory that holds
# bin/vorn-cxx); without it, the vorn-cxx found on PATH decides.  The
# archives are made with vorn-ar and vorn-ranlib, so that they can hold
# link-time-optimisation objects too.
set(CMAKE_SYSTEM_NAME FreeBSD)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

if(NOT VORN_PREFIX)
  find_program(_vorn_cxx vorn-cxx REQUIRED)
  get_filename_component(VORN_PREFIX "${_vorn_cxx}" DIRECTORY)
  get_filename_component(VORN_PREFIX "${VORN_PREFIX}" DIRECTORY)
endif()
# CMake reads this file again for every check it compiles.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORN_PREFIX)

set(CMAKE_CXX_COMPILER "${VORN_PREFIX}/bin/vorn-cxx")
set(CMAKE_AR "${VORN_PREFIX}/bin/vorn-ar" CACHE FILEPATH "Archiver")
set(CMAKE_RANLIB "${VORN_PREFIX}/bin/vorn-ranlib" CACHE FILEPATH "Archive indexer")

# CMake does not know Vorn by name, so it is told how Vorn writes the
# header dependencies that Ninja and make read: a make rule per object.
set(CMAKE_DEPFILE_FLAGS_CXX "-MD -MT <DEP_TARGET> -MF <DEP_FILE>")
