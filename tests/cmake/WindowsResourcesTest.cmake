# The resource generators of cmake/WindowsModule.cmake, run in script mode:
# the identifiers and string table taken from a C++ resource header, and the
# bitmap's header, colours and pixel order taken from a text picture.
#   cmake -DSOURCE_DIR=<project> -DWORK_DIR=<scratch> -P WindowsResourcesTest.cmake
include(${SOURCE_DIR}/cmake/WindowsModule.cmake)
file(MAKE_DIRECTORY ${WORK_DIR})
include(${CMAKE_CURRENT_LIST_DIR}/ExpectEqual.cmake)

# A header in the style of the module's, with comments after the values.
file(WRITE ${WORK_DIR}/Resources.h [=[
constexpr UINT IDS_NAME = 1;        // a comment; with a semicolon
constexpr UINT IDD_PAGE = 200;
inline constexpr StringResource kStringTable[] = {
    {IDS_NAME, OLESTR("A name, with a comma")},
    {IDS_CAPTION, OLESTR("")},
};
]=])
tessel_rc_from_header(${WORK_DIR}/Resources.h ${WORK_DIR}/Resources.rci)
file(STRINGS ${WORK_DIR}/Resources.rci lines REGEX "^[^/]")
expect_equal("identifiers and string table" "${lines}"
  "#define IDS_NAME 1;#define IDD_PAGE 200;STRINGTABLE;BEGIN;    IDS_NAME \"A name, with a comma\";    IDS_CAPTION \"\";END")

# Every entry of the module's own table (one a line) reaches the .rc.
tessel_rc_from_header(${SOURCE_DIR}/src/control/TesselAdapterResources.h ${WORK_DIR}/Module.rci)
file(READ ${SOURCE_DIR}/src/control/TesselAdapterResources.h header)
string(REGEX MATCHALL "\n    {" in_header "${header}")
file(STRINGS ${WORK_DIR}/Module.rci in_table REGEX "^    IDS_[A-Z_]+ \"")
list(LENGTH in_header want)
list(LENGTH in_table got)
expect_equal("strings of the module's header in its table" "${got}" "${want}")

# The words of a generated bitmap resource.
function(bitmap_words out_var art)
  file(WRITE ${WORK_DIR}/picture.txt "# a comment line is not a row\n${art}")
  tessel_rc_bitmap(${WORK_DIR}/picture.txt ${WORK_DIR}/picture.rci ID 7)
  file(READ ${WORK_DIR}/picture.rci rc)
  string(REGEX MATCH "BEGIN\n    ([^\n]*)\nEND" data "${rc}")
  string(REPLACE ", " ";" words "${CMAKE_MATCH_1}")
  set(${out_var} "${words}" PARENT_SCOPE)
endfunction()

bitmap_words(words "01234567\n89ABCDEF\n")
list(LENGTH words count)
# 40 bytes of header, 16 colours of 4 bytes, 2 rows of 4 bytes: in words.
expect_equal("bitmap size in words" "${count}" 56)
list(SUBLIST words 0 20 header)
expect_equal("bitmap header: 40 bytes, 8 by 2, 1 plane, 4 bits, 8 bytes of pixels, 16 colours" "${header}"
  "0x28;0x0;0x8;0x0;0x2;0x0;0x1;0x4;0x0;0x0;0x8;0x0;0x0;0x0;0x0;0x0;0x10;0x0;0x0;0x0")
# Colour 1 is maroon (blue 0, green 0, red 0x80), colour 14 aqua.
list(SUBLIST words 22 2 maroon)
expect_equal("colour 1 as blue, green, red, 0" "${maroon}" "0x0;0x80")
list(SUBLIST words 48 2 aqua)
expect_equal("colour 14 as blue, green, red, 0" "${aqua}" "0xffff;0x0")
# Rows from the bottom up, the left pixel of a byte in its high half.
list(SUBLIST words 52 4 pixels)
expect_equal("pixels bottom-up, two to a byte" "${pixels}" "0xab89;0xefcd;0x2301;0x6745")

# A row width the bitmap cannot hold without padding is refused.
file(WRITE ${WORK_DIR}/narrow.txt "0123\n")
file(WRITE ${WORK_DIR}/narrow.cmake
  "include(${SOURCE_DIR}/cmake/WindowsModule.cmake)\ntessel_rc_bitmap(${WORK_DIR}/narrow.txt ${WORK_DIR}/narrow.rci ID 1)\n")
execute_process(COMMAND ${CMAKE_COMMAND} -P ${WORK_DIR}/narrow.cmake RESULT_VARIABLE refused OUTPUT_QUIET ERROR_QUIET)
expect_equal("a picture 4 pixels wide is refused" "${refused}" 1)
