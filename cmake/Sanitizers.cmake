# The checking build (build-asan): every library and the windowless tests with
# AddressSanitizer and UndefinedBehaviorSanitizer, a finding ending the
# program; the code is also instrumented for coverage so that the same
# libraries serve the libFuzzer programs of tests/fuzz. Line tables are all the
# debug information a report's stack needs, and cost less to build than -g.
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "ABYSTO_SANITIZE demande clang (CC=clang CXX=clang++).")
endif()
add_compile_options(-O1 -gline-tables-only -fno-omit-frame-pointer
  -fsanitize=address,undefined -fno-sanitize-recover=all -fsanitize=fuzzer-no-link)
add_link_options(-fsanitize=address,undefined)
