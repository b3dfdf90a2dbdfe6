# qern_library(NAME DIR [PUBLIC DEPS...] [PRIVATE DEPS...])
# Builds every .cpp directly in DIR (not in sub-folders) into a static library.
# PUBLIC: libraries whose headers DIR's headers include; PRIVATE: those only its
# sources include. The folders a library may include follow from these links
# (scripts/check-includes.py reads them from include-rules.txt in the build tree):
# its own, those of its links, and the PUBLIC links of those, and so on.
# A folder without sources becomes an interface library.
function(qern_library name dir)
  cmake_parse_arguments(PARSE_ARGV 2 _dep "" "" "PUBLIC;PRIVATE")
  file(GLOB _srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp)
  if(_srcs)
    add_library(${name} STATIC ${_srcs})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${_dep_PUBLIC} PRIVATE ${_dep_PRIVATE})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${_dep_PUBLIC} ${_dep_PRIVATE})
  endif()
  qern_include_rule(${name} ${dir} PUBLIC ${_dep_PUBLIC} PRIVATE ${_dep_PRIVATE})
endfunction()

# qern_include_rule(NAME DIR PUBLIC DEPS... PRIVATE DEPS...): one line of
# include-rules.txt, "NAME DIR | PUBLIC DEPS | PRIVATE DEPS" (this project's
# libraries only; Qt, threads and the like are left out).
function(qern_include_rule name dir)
  cmake_parse_arguments(PARSE_ARGV 2 _dep "" "" "PUBLIC;PRIVATE")
  list(FILTER _dep_PUBLIC INCLUDE REGEX "^qern_")
  list(FILTER _dep_PRIVATE INCLUDE REGEX "^qern_")
  list(JOIN _dep_PUBLIC " " _pub)
  list(JOIN _dep_PRIVATE " " _priv)
  set_property(GLOBAL APPEND PROPERTY QERN_INCLUDE_RULES "${name} ${dir} | ${_pub} | ${_priv}")
endfunction()

# Writes the rules of every library to include-rules.txt in the build tree.
function(qern_write_include_rules)
  get_property(_rules GLOBAL PROPERTY QERN_INCLUDE_RULES)
  list(JOIN _rules "\n" _text)
  file(WRITE ${CMAKE_BINARY_DIR}/include-rules.txt "${_text}\n")
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
