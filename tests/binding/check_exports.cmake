# Checks the dynamic symbols of LIBRARY with NM: the defined ones are exactly
# the three entry points; the OCI and external-procedure services are left
# for the host to provide.
execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
  OUTPUT_VARIABLE defined RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${LIBRARY}")
endif()
string(REGEX MATCHALL "[^\n]+" lines "${defined}")
set(names)
foreach(line IN LISTS lines)
  # Address, type, name; "A" entries are version nodes, not code or data.
  if(line MATCHES "^[0-9a-fA-F]* *([A-Za-z]) (.+)$" AND NOT CMAKE_MATCH_1 STREQUAL "A")
    list(APPEND names "${CMAKE_MATCH_2}")
  endif()
endforeach()
list(SORT names)
set(expected calltovrel calltovrel_xml calltovrel_xml_file)
if(NOT names STREQUAL expected)
  message(FATAL_ERROR "exported: ${names}\nexpected: ${expected}")
endif()

execute_process(COMMAND ${NM} -D --undefined-only ${LIBRARY}
  OUTPUT_VARIABLE undefined RESULT_VARIABLE rc)
string(REGEX MATCHALL "(OCI[A-Za-z]+|ociep[a-z]+)" services "${undefined}")
list(SORT services)
set(expected_services OCIContextGetValue OCIContextSetValue OCIErrorGet
    OCIExtractInit OCIExtractSetNumKeys OCIExtractTerm OCIFileInit OCIFileTerm
    OCIMemoryAlloc ociepacm ociepgoe ociepmsg)
list(SORT expected_services)
if(NOT services STREQUAL expected_services)
  message(FATAL_ERROR "services needed: ${services}\nexpected: ${expected_services}")
endif()
message(STATUS "exports: ${names}; services: ${services}")
