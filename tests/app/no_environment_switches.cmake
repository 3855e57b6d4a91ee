# Fails when the program named by PROGRAM names an environment variable of ours.
file(STRINGS "${PROGRAM}" names REGEX "FERNKARTEI_[A-Z_]+")
if(names)
  message(FATAL_ERROR "${PROGRAM} reads environment switches: ${names}")
endif()
