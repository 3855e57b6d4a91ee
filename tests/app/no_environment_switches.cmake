# Fails when the program named by PROGRAM still reads a switch for scripts or developers from the
# environment, where a user's environment could turn it on.
file(STRINGS "${PROGRAM}" names REGEX "FERNKARTEI_(AUTO_CONFIRM|SCREENSHOT|STARTUP_TIMING)")
if(names)
  message(FATAL_ERROR "${PROGRAM} reads environment switches: ${names}")
endif()
