# `cmake --install` copies what a build made and builds nothing itself.  So
# that a tree is installed whole or not at all, every file the build makes
# for the installation is recorded (vorn_install_built), and the first
# install rule checks that each exists before anything is copied
# (VornInstallCheck.cmake).  The `product` target builds all of them; the
# demo depends on it, so the README's install right after the demo works.

set(VORN_BUILT_FILES_LIST ${PROJECT_BINARY_DIR}/installed-built-files.txt)
add_custom_target(product)

# install(FILES ...) for files the build makes; the same arguments.
function(vorn_install_built)
  cmake_parse_arguments(PARSE_ARGV 0 arg "" "DESTINATION;RENAME" "FILES")
  set_property(GLOBAL APPEND PROPERTY VORN_BUILT_FILES ${arg_FILES})
  if(arg_RENAME)
    install(FILES ${arg_FILES} DESTINATION ${arg_DESTINATION} RENAME ${arg_RENAME})
  else()
    install(FILES ${arg_FILES} DESTINATION ${arg_DESTINATION})
  endif()
endfunction()

# The programs and the recorded files, one a line, for the check and its
# test; called once, after every directory has made its install rules.
function(vorn_finish_install_list programs targets)
  get_property(files GLOBAL PROPERTY VORN_BUILT_FILES)
  set(lines)
  foreach(program ${programs})
    list(APPEND lines "$<TARGET_FILE:${program}>")
  endforeach()
  list(APPEND lines ${files})
  list(JOIN lines "\n" content)
  file(GENERATE OUTPUT ${VORN_BUILT_FILES_LIST} CONTENT "${content}\n")
  add_dependencies(product ${programs} ${targets})
endfunction()

install(CODE "set(VORN_BUILT_FILES_LIST \"${VORN_BUILT_FILES_LIST}\")
include(\"${CMAKE_CURRENT_LIST_DIR}/VornInstallCheck.cmake\")")
