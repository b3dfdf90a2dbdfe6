# qern_library(NAME DIR [DEPS...])
# Builds every .cpp directly in DIR (not in sub-folders) into a static library.
# A folder without sources yet becomes an interface library so that the tree
# always configures while it grows.
function(qern_library name dir)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(_srcs)
    add_library(${name} STATIC ${_srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARGN})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARGN})
  endif()
endfunction()

# qern_test(NAME DIR DEPS...): one GoogleTest executable from the .cpp files of DIR.
function(qern_test name dir)
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(_srcs)
    add_executable(${name} ${_srcs})
    target_link_libraries(${name} PRIVATE ${ARGN} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
      QERN_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
      QERN_BINARY_DIR="${CMAKE_BINARY_DIR}")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
      WORKING_DIRECTORY ${CMAKE_BINARY_DIR})
  endif()
endfunction()
