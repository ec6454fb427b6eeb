# Run first by `cmake --install` (and by cpack): fails, before anything is
# copied, when a file the installation needs has not been built.
# VORN_BUILT_FILES_LIST names the list (one path a line).
file(STRINGS "${VORN_BUILT_FILES_LIST}" _vorn_built)
foreach(_vorn_file IN LISTS _vorn_built)
  if(NOT EXISTS "${_vorn_file}")
    message(FATAL_ERROR "${_vorn_file} has not been built: build the project "
                        "(cmake --build <dir>, or scripts/dev demo) before installing; "
                        "nothing was installed")
  endif()
endforeach()
