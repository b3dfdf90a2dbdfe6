# qern_version_header(VERSION): writes platform/Version.h under BUILD/generated from
# cmake/Version.h.in, the one place the program's version reaches the code.
function(qern_version_header version)
  set(PROJECT_VERSION ${version})
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/Version.h.in
                 ${CMAKE_BINARY_DIR}/generated/platform/Version.h @ONLY)
endfunction()
