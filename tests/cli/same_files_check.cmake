# fernkartei-export on the example contacts writes, in each format, the bytes of golden/examples/: on
# every platform the same file, also when the folder and the file have non-ASCII names.
#   cmake -DPROGRAM=<fernkartei-export> -DEMULATOR=<list, may be empty> -DSOURCE_DIR=<repository>
#         -DWORK_DIR=<scratch folder> -P same_files_check.cmake
file(REMOVE_RECURSE ${WORK_DIR})
set(umlaut_folder "${WORK_DIR}/Jörg")
file(MAKE_DIRECTORY ${umlaut_folder})
file(GLOB cards ${SOURCE_DIR}/examples/*.vcf)
file(COPY ${cards} DESTINATION ${umlaut_folder})

function(check_export format contacts output)
  execute_process(
    COMMAND ${EMULATOR} ${PROGRAM} --format ${format} --contacts ${contacts} --output ${output}
            --settings ${WORK_DIR}/keine.ini
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(SEND_ERROR "${format} ${contacts}: exit status ${status}\n${out}${err}")
    return()
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${output} ${SOURCE_DIR}/tests/cli/golden/examples/${format}.csv
                  RESULT_VARIABLE different)
  if(different)
    message(SEND_ERROR "${output} differs from golden/examples/${format}.csv")
  endif()
endfunction()

foreach(format nfon siemens outlook simple)
  check_export(${format} ${SOURCE_DIR}/examples ${WORK_DIR}/${format}.csv)
  check_export(${format} ${umlaut_folder} "${umlaut_folder}/Jürgen ${format}.csv")
endforeach()
