# Installs the build into a fresh prefix, moves the prefix somewhere else and
# runs the installed `tessel demo` from a third folder: the demo must find
# the installed examples from its own executable, whatever the prefix was.
#   cmake -DBUILD_DIR=<build> -DWORK_DIR=<scratch> -P InstallTest.cmake
file(REMOVE_RECURSE "${WORK_DIR}")

function(run what)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err ${run_options})
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${what} failed (${status}):\n${out}${err}")
  endif()
endfunction()

run("cmake --install" "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK_DIR}/staged")
file(RENAME "${WORK_DIR}/staged" "${WORK_DIR}/moved")
set(prefix "${WORK_DIR}/moved")
foreach(file bin/tessel share/tessel/examples/scorecard.session share/doc/tessel/tessel.md share/doc/tessel/reference.md
    share/doc/tessel/picture.md)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "the install has no ${file}")
  endif()
endforeach()

# Every relative link of an installed page leads to an installed file.
file(GLOB pages "${prefix}/share/doc/tessel/*.md")
foreach(page ${pages})
  file(READ "${page}" text)
  # A list element holding a bracket would not split: mark each link first.
  string(REPLACE "](" "\n<link>" text "${text}")
  string(REGEX MATCHALL "<link>[^)#:\n]+" links "${text}")
  foreach(link ${links})
    string(REPLACE "<link>" "" target "${link}")
    if(NOT EXISTS "${prefix}/share/doc/tessel/${target}")
      message(FATAL_ERROR "${page} links to ${target}, which is not installed")
    endif()
  endforeach()
endforeach()

# A file only the installed examples hold shows which ones the demo copied.
file(WRITE "${prefix}/share/tessel/examples/installed.txt" "")
file(MAKE_DIRECTORY "${WORK_DIR}/elsewhere")
set(run_options WORKING_DIRECTORY "${WORK_DIR}/elsewhere")
run("the installed tessel demo" "${prefix}/bin/tessel" demo)
foreach(file installed.txt objectives-back.txt scorecard.trace.jsonl)
  if(NOT EXISTS "${WORK_DIR}/elsewhere/tessel-demo/${file}")
    message(FATAL_ERROR "the demo left no tessel-demo/${file} in the folder it ran from")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK_DIR}")
