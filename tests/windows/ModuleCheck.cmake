# Checks a cross-built module without running it, from what objdump reads of
# its file: the executable format, the undecorated names of the four entry
# points, no import of a MinGW runtime library (a fresh desktop has none),
# and the file and product version of its version resource.
#   cmake -DOBJDUMP=<objdump> -DMODULE=<file> -DFORMAT=<PE32|PE32+>
#         -DVERSION=<major.minor.patch[.tweak]> -P ModuleCheck.cmake
function(objdump out_var)
  execute_process(COMMAND "${OBJDUMP}" ${ARGN} "${MODULE}" OUTPUT_VARIABLE text RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${OBJDUMP} ${ARGN} ${MODULE} failed")
  endif()
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/../cmake/ExpectEqual.cmake)
set(expect_subject "${MODULE}: ")

objdump(headers -p)

string(REGEX MATCH "Magic[\t ]+[0-9a-f]+[\t ]+\\(([^)]*)\\)" magic "${headers}")
expect_equal("format" "${CMAKE_MATCH_1}" "${FORMAT}")

string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n(([\t ]+\\[ *[0-9]+\\] [^\n]*\n)*)" table "${headers}")
# The names without their brackets, which a list would read as grouping.
string(REGEX MATCHALL "\\] [^\n]+" names "${CMAKE_MATCH_1}")
string(REPLACE "] " "" names "${names}")
expect_equal("exported names" "${names}" "DllCanUnloadNow;DllGetClassObject;DllRegisterServer;DllUnregisterServer")

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
list(TRANSFORM imports REPLACE "^DLL Name: " "")
set(runtime ${imports})
list(FILTER runtime INCLUDE REGEX "^lib(gcc|stdc\\+\\+|winpthread)")
expect_equal("MinGW runtime libraries imported (of ${imports})" "${runtime}" "")

# The resource section as one string of hex digits, two a byte.
objdump(section -s -j .rsrc)
# The text columns may hold list separators and brackets.
string(REGEX REPLACE "[][;]" "." section "${section}")
string(REGEX MATCHALL "\n [0-9a-f]+ [^\n]*" lines "${section}")
set(hex "")
foreach(line IN LISTS lines)
  # An address, then 16 bytes as four groups of hex digits, then the text.
  string(REGEX REPLACE "^\n [0-9a-f]+ " "" line "${line}")
  string(SUBSTRING "${line}" 0 35 digits)
  string(REPLACE " " "" digits "${digits}")
  string(APPEND hex "${digits}")
endforeach()

# The fixed part of the version resource starts with the signature
# 0xFEEF04BD and a structure version; then come the file version and the
# product version, each as two 32-bit numbers of two 16-bit parts, high first,
# all little-endian.
string(FIND "${hex}" "bd04effe" at)
if(at LESS 0)
  message(FATAL_ERROR "${MODULE}: no version resource")
endif()
function(version_at out_var offset)
  set(parts "")
  foreach(word 2 0 6 4)
    math(EXPR pos "${offset} + ${word} * 2")
    string(SUBSTRING "${hex}" ${pos} 2 low)
    math(EXPR pos "${pos} + 2")
    string(SUBSTRING "${hex}" ${pos} 2 high)
    math(EXPR part "0x${high}${low}")
    list(APPEND parts ${part})
  endforeach()
  list(JOIN parts "." text)
  set(${out_var} "${text}" PARENT_SCOPE)
endfunction()
string(REGEX MATCHALL "[0-9]+" want "${VERSION}.0.0.0")
list(SUBLIST want 0 4 want)
list(JOIN want "." want)
math(EXPR file_at "${at} + 16")
math(EXPR product_at "${at} + 32")
version_at(file_version ${file_at})
version_at(product_version ${product_at})
expect_equal("file version" "${file_version}" "${want}")
expect_equal("product version" "${product_version}" "${want}")
