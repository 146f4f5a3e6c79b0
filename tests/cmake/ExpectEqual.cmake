# The comparison of the script-mode checks: a difference fails the script
# at its end (SEND_ERROR), so every difference of one run is reported.
# `expect_subject`, where the caller sets it, names what is checked.
function(expect_equal what got want)
  if(NOT got STREQUAL want)
    message(SEND_ERROR "${expect_subject}${what}:\n  got  [${got}]\n  want [${want}]")
  else()
    message(STATUS "ok ${what}")
  endif()
endfunction()
