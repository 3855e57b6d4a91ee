# fernkartei-export --contacts 10 under Wine, against the registered Outlook double: the worked example
# of folders.txt gives the golden simple.csv; without any folder setting the exporter opens no dialog
# (not even Outlook's) and says what to give.
#   cmake -DPROGRAM=<fernkartei-export> -DEMULATOR=<list> -DSOURCE_DIR=<repository> -DWORK_DIR=<scratch>
#         -P command_line_check.cmake
file(REMOVE_RECURSE ${WORK_DIR})
file(COPY ${SOURCE_DIR}/tests/windows/outlook/folders.txt DESTINATION ${WORK_DIR})
set(ENV{FERNKARTEI_OUTLOOK_DOUBLE} ${WORK_DIR}/folders.txt)

execute_process(COMMAND ${EMULATOR} ${PROGRAM} --contacts 10 --format simple --output ${WORK_DIR}/simple.csv
                        --settings ${WORK_DIR}/keine.ini
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT out MATCHES "^Fertig, 1 Adressen exportiert in")
  message(FATAL_ERROR "--contacts 10: exit status ${status}\n${out}${err}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/simple.csv
                        ${SOURCE_DIR}/tests/export/golden/simple.csv RESULT_VARIABLE different)
if(different)
  message(FATAL_ERROR "simple.csv differs from tests/export/golden/simple.csv")
endif()

execute_process(COMMAND ${EMULATOR} ${PROGRAM} --format simple --output ${WORK_DIR}/x.csv
                        --settings ${WORK_DIR}/keine.ini
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(READ ${WORK_DIR}/folders.txt.log journal)
if(NOT status EQUAL 1 OR NOT err MATCHES "--contacts.*Es ist ein Fehler beim öffnene von Outlook aufgetreten"
   OR journal MATCHES "PickFolder")
  message(FATAL_ERROR "no folder: exit status ${status}\n${err}")
endif()
