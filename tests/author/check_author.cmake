# The checker as a build of installers runs it: the demo's sample and the
# reference's worked example have no finding at all (--strict); the files
# with one of each mistake give exactly the expected lines and exit 1; a
# file that cannot be read, or an unknown option, exits 2. Paths are relative to the source tree,
# as the expected lines name them.
function(check expected_code expected_output)
  execute_process(COMMAND ${CHECK} ${ARGN} WORKING_DIRECTORY ${SOURCE} RESULT_VARIABLE code OUTPUT_VARIABLE output)
  if(NOT code EQUAL expected_code)
    message(FATAL_ERROR "uninstall-check ${ARGN}: exit code ${code}, not ${expected_code}\n${output}")
  endif()
  if(NOT output STREQUAL expected_output)
    message(FATAL_ERROR "uninstall-check ${ARGN} said:\n${output}\ninstead of:\n${expected_output}")
  endif()
endfunction()

check(0 "0 errors, 0 warnings\n" --strict docs/examples/editor.dat docs/examples/worked-example.dat)
file(READ ${SOURCE}/tests/author/mistakes.expected expected)
check(1 "${expected}" tests/author/mistakes.dat -- tests/author/more-mistakes.dat)
check(2 "0 errors, 0 warnings\n" tests/author/no-such-file.dat)
check(0 "uninstall-check 1.0\n" --version)
check(2 "" --strcit docs/examples/editor.dat)
