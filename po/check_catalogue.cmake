# Fails the build when the committed template po/vorn.pot does not hold
# exactly the message texts of the sources (GENERATED), or when a translation
# leaves one of its texts untranslated or fuzzy.  Run with -P; MSGCMP,
# GENERATED, COMMITTED and TRANSLATIONS (a list of .po files) are given.

set(refresh "refresh it: cmake --build <dir> --target pot, then copy <dir>/po/vorn.pot over po/vorn.pot")

# msgcmp DEF REF reports every text of REF that DEF lacks.
function(compare def ref)
  execute_process(COMMAND ${MSGCMP} ${ARGN} ${def} ${ref}
                  RESULT_VARIABLE status ERROR_VARIABLE report)
  set(status ${status} PARENT_SCOPE)
  set(report ${report} PARENT_SCOPE)
endfunction()

compare(${COMMITTED} ${GENERATED} --use-untranslated)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "po/vorn.pot lacks message texts of the sources; ${refresh}\n${report}")
endif()
compare(${GENERATED} ${COMMITTED} --use-untranslated)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "po/vorn.pot holds message texts the sources no longer have; ${refresh}\n${report}")
endif()
foreach(translation ${TRANSLATIONS})
  compare(${translation} ${COMMITTED})
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${translation} does not translate every text of po/vorn.pot (missing, untranslated or fuzzy):\n${report}")
  endif()
endforeach()
