# fernkartei-export as a user runs it, on every platform (under Wine for the Windows build):
# - the example contacts give, in each format, the bytes of golden/examples/, also when the folder, the
#   settings, the area-code database and the output file have non-ASCII names;
# - --explain shows the worked example; failures end with status 1 and usage errors with 2.
#   cmake -DPROGRAM=<fernkartei-export> -DEMULATOR=<list, may be empty> -DSOURCE_DIR=<repository>
#         -DDATABASE=<vorwahlen.mdb> -DWORK_DIR=<scratch folder> -P end_to_end_check.cmake
file(REMOVE_RECURSE ${WORK_DIR})
set(umlauts "${WORK_DIR}/Jörg Groß")
file(MAKE_DIRECTORY ${umlauts})
file(GLOB cards ${SOURCE_DIR}/examples/*.vcf)
file(COPY ${cards} ${DATABASE} DESTINATION ${umlauts})
file(RENAME "${umlauts}/vorwahlen.mdb" "${umlauts}/Vorwahlen für Jürgen.mdb")

function(run expected_status)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${ARGN} WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL expected_status)
    message(SEND_ERROR "${ARGN}: exit status ${status}, not ${expected_status}\n${out}${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

function(check_same output format)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${output}
                          ${SOURCE_DIR}/tests/cli/golden/examples/${format}.csv RESULT_VARIABLE different)
  if(different)
    message(SEND_ERROR "${output} differs from golden/examples/${format}.csv")
  endif()
endfunction()

foreach(format nfon siemens outlook simple)
  run(0 --format ${format} --contacts ${SOURCE_DIR}/examples --output ${WORK_DIR}/${format}.csv
      --settings ${WORK_DIR}/keine.ini)
  check_same(${WORK_DIR}/${format}.csv ${format})
  run(0 --format ${format} --contacts ${umlauts} --output "${umlauts}/Jürgen ${format}.csv"
      --settings "${umlauts}/Einstellungen für Jörg.ini" --database "${umlauts}/Vorwahlen für Jürgen.mdb")
  check_same("${umlauts}/Jürgen ${format}.csv" ${format})
endforeach()

run(0 --explain "+49 (0) 6221 12345-6" --settings ${WORK_DIR}/keine.ini)
if(NOT out MATCHES "Ergebnis: +\\+49 \\(6221\\) 123456\n")
  message(SEND_ERROR "--explain shows no result +49 (6221) 123456:\n${out}")
endif()
run(1 --contacts ${SOURCE_DIR}/examples --database ${WORK_DIR}/fehlt.mdb --output ${WORK_DIR}/x.csv)
run(1 --contacts ${WORK_DIR}/fehlt --output ${WORK_DIR}/x.csv --settings ${WORK_DIR}/keine.ini)
if(NOT err MATCHES "Es ist ein Fehler beim öffnene von Outlook aufgetreten\n$")
  message(SEND_ERROR "a missing contacts folder: ${err}")
endif()
run(2 --format excel)
