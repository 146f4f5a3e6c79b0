# Building in-process server modules (.dll, .ocx) with the MinGW-w64 cross
# toolchain: type libraries compiled with widl, resources with windres, the
# exports taken from a .def file, everything linked statically so that the
# module needs no MinGW runtime DLLs where it is loaded.
#
#   tessel_typelib(<out_var> <idl> [IMPORTS <idl-folder>...])
#       compiles <idl> into <name>.tlb in the current binary folder, with the
#       header <name>.h and the identifiers <name>_i.c for its clients; sets
#       <out_var>, <out_var>_HEADER and <out_var>_IIDS to their paths.
#   tessel_rc_from_header(<header> <output>)
#       turns the C++ resource header (constexpr UINT NAME = N; and a string
#       table of {NAME, OLESTR("text")} entries) into an .rc include holding
#       #define NAME N for every identifier and the STRINGTABLE, so that the
#       texts are written once, in the header.
#   tessel_rc_bitmap(<art> <output> ID <resource id>)
#       turns a text picture (one hex digit per pixel, indexes into the 16
#       standard colours) into a 4-bit bitmap resource written as .rc data.
#   tessel_windows_module(<target> SUFFIX <.dll|.ocx> DEF <file> RC <file>
#                         [SOURCES ...] [LIBRARIES ...]
#                         [RC_INCLUDES <folder>...] [RC_DEPENDS <file>...])
#       a shared library named <target><suffix> in the top of the build tree.
#       Its resources may include "TesselVersion.rci", the project's version
#       as TESSEL_VERSION_NUMBERS (for FILEVERSION and PRODUCTVERSION) and
#       TESSEL_VERSION_TEXT.
#   tessel_def_for_target(<def> <output>)
#       the exports of <def> as this target links them: on 32-bit Windows
#       every entry point is a stdcall function whose symbol carries its
#       argument bytes (DllGetClassObject@12), so each undecorated name is
#       written as an alias of its decorated symbol.

# In script mode (cmake -P, as the generators' test runs them) there is no
# build to configure: only the generators are defined.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  enable_language(RC)
  # widl writes the library for the target's pointer size.
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(TESSEL_WIDL_TARGET --win32)
    find_program(TESSEL_WIDL NAMES i686-w64-mingw32-widl widl REQUIRED)
  else()
    set(TESSEL_WIDL_TARGET --win64)
    find_program(TESSEL_WIDL NAMES x86_64-w64-mingw32-widl widl REQUIRED)
  endif()
  # widl's importlib("stdole2.tlb") reads the library Wine ships.
  find_path(TESSEL_STDOLE2_DIR stdole2.tlb
    PATHS /usr/lib/x86_64-linux-gnu/wine/x86_64-windows /usr/lib/wine/x86_64-windows /usr/lib64/wine/x86_64-windows
    NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
endif()

# A generated file is made again when its source changes.
function(_tessel_configure_depends source)
  if(NOT CMAKE_SCRIPT_MODE_FILE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
  endif()
endfunction()

function(tessel_typelib out_var idl)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "IMPORTS")
  get_filename_component(name "${idl}" NAME_WE)
  get_filename_component(idl_dir "${idl}" DIRECTORY)
  set(outputs
    "${CMAKE_CURRENT_BINARY_DIR}/${name}.tlb" "${CMAKE_CURRENT_BINARY_DIR}/${name}.h" "${CMAKE_CURRENT_BINARY_DIR}/${name}_i.c")
  set(include_flags -I "${idl_dir}")
  file(GLOB depends CONFIGURE_DEPENDS "${idl_dir}/*.idl")
  foreach(dir IN LISTS arg_IMPORTS)
    list(APPEND include_flags -I "${dir}")
    file(GLOB imported CONFIGURE_DEPENDS "${dir}/*.idl")
    list(APPEND depends ${imported})
  endforeach()
  add_custom_command(OUTPUT ${outputs}
    COMMAND "${TESSEL_WIDL}" ${TESSEL_WIDL_TARGET} -t -h -u ${include_flags} -L "${TESSEL_STDOLE2_DIR}" "${idl}"
    WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}"
    DEPENDS ${depends}
    COMMENT "Type library ${name}.tlb with its header and identifiers"
    VERBATIM)
  # The identifiers file is C that compiles as C++ too.
  list(GET outputs 2 iids)
  set_source_files_properties("${iids}" PROPERTIES LANGUAGE CXX)
  list(GET outputs 0 tlb)
  list(GET outputs 1 header)
  set(${out_var} "${tlb}" PARENT_SCOPE)
  set(${out_var}_HEADER "${header}" PARENT_SCOPE)
  set(${out_var}_IIDS "${iids}" PARENT_SCOPE)
endfunction()

function(tessel_rc_from_header header output)
  _tessel_configure_depends("${header}")
  file(READ "${header}" text)
  set(rc "// Generated from ${header}.\n")
  string(REGEX MATCHALL "constexpr UINT [A-Za-z_0-9]+ = [0-9]+" ids "${text}")
  foreach(id IN LISTS ids)
    string(REGEX REPLACE "constexpr UINT ([A-Za-z_0-9]+) = ([0-9]+)" "#define \\1 \\2" line "${id}")
    string(APPEND rc "${line}\n")
  endforeach()
  string(REGEX MATCHALL "{[A-Za-z_0-9]+, OLESTR\\(\"[^\"]*\"\\)}" strings "${text}")
  if(strings)
    string(APPEND rc "\nSTRINGTABLE\nBEGIN\n")
    foreach(entry IN LISTS strings)
      string(REGEX REPLACE "{([A-Za-z_0-9]+), OLESTR\\((\"[^\"]*\")\\)}" "    \\1 \\2" line "${entry}")
      string(APPEND rc "${line}\n")
    endforeach()
    string(APPEND rc "END\n")
  endif()
  file(CONFIGURE OUTPUT "${output}" CONTENT "${rc}" @ONLY)
endfunction()

# Resource data are 16-bit little-endian words: every part of the bitmap has
# an even number of bytes, so the low `bytes` bytes of a value, from the
# lowest, make bytes / 2 words.
function(_tessel_words out_var value bytes)
  set(words "")
  math(EXPR last "${bytes} / 2 - 1")
  foreach(i RANGE 0 ${last})
    math(EXPR word "(${value} >> (16 * ${i})) & 0xFFFF" OUTPUT_FORMAT HEXADECIMAL)
    list(APPEND words ${word})
  endforeach()
  set(${out_var} "${words}" PARENT_SCOPE)
endfunction()

function(tessel_rc_bitmap art output)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "ID" "")
  _tessel_configure_depends("${art}")
  file(STRINGS "${art}" rows REGEX "^[0-9A-Fa-f]+$")
  list(LENGTH rows height)
  list(GET rows 0 first)
  string(LENGTH "${first}" width)
  math(EXPR remainder "${width} % 8")
  if(height EQUAL 0 OR NOT remainder EQUAL 0)
    message(FATAL_ERROR "${art}: the picture needs rows whose width is a multiple of 8")
  endif()
  math(EXPR row_bytes "${width} / 2")
  math(EXPR image_bytes "${row_bytes} * ${height}")

  # BITMAPINFOHEADER: size, width, height (bottom-up), planes, bits per
  # pixel, no compression, image size, resolution, colours used, important.
  set(words "")
  foreach(field 40:4 ${width}:4 ${height}:4 1:2 4:2 0:4 ${image_bytes}:4 0:4 0:4 16:4 0:4)
    string(REPLACE ":" ";" field "${field}")
    _tessel_words(part ${field})
    list(APPEND words ${part})
  endforeach()
  # The 16 standard colours as blue, green, red, reserved: the bytes of
  # 0x00RRGGBB from the lowest.
  foreach(rgb 000000 800000 008000 808000 000080 800080 008080 C0C0C0
              808080 FF0000 00FF00 FFFF00 0000FF FF00FF 00FFFF FFFFFF)
    _tessel_words(part 0x${rgb} 4)
    list(APPEND words ${part})
  endforeach()
  # Pixel rows from the bottom up, two pixels a byte, the left one high.
  list(REVERSE rows)
  math(EXPR last_pair "${width} / 4 - 1")
  foreach(row IN LISTS rows)
    foreach(pair RANGE 0 ${last_pair})
      math(EXPR at "${pair} * 4")
      string(SUBSTRING "${row}" ${at} 2 first)
      math(EXPR at "${at} + 2")
      string(SUBSTRING "${row}" ${at} 2 second)
      _tessel_words(part 0x${second}${first} 2)
      list(APPEND words ${part})
    endforeach()
  endforeach()

  list(JOIN words ", " data)
  file(CONFIGURE OUTPUT "${output}"
    CONTENT "// Generated from ${art}.\n${arg_ID} 2 // RT_BITMAP\nBEGIN\n    ${data}\nEND\n" @ONLY)
endfunction()

# The bytes of arguments each entry point a module may export takes: the
# suffix of its stdcall symbol on 32-bit Windows.
set(_tessel_stdcall_bytes
  DllCanUnloadNow=0 DllGetClassObject=12 DllRegisterServer=0 DllUnregisterServer=0)

function(tessel_def_for_target def output)
  _tessel_configure_depends("${def}")
  file(STRINGS "${def}" lines)
  set(text "")
  foreach(line IN LISTS lines)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND line MATCHES "^([ \t]+)([A-Za-z_][A-Za-z_0-9]*)(.*)$")
      set(name "${CMAKE_MATCH_2}")
      set(entry ${_tessel_stdcall_bytes})
      list(FILTER entry INCLUDE REGEX "^${name}=")
      if(NOT entry)
        message(FATAL_ERROR "${def}: no argument size known for the export ${name} (cmake/WindowsModule.cmake)")
      endif()
      string(REPLACE "=" "@" decorated "${entry}")
      set(line "${CMAKE_MATCH_1}${name} = ${decorated}${CMAKE_MATCH_3}")
    endif()
    string(APPEND text "${line}\n")
  endforeach()
  file(CONFIGURE OUTPUT "${output}" CONTENT "${text}" @ONLY)
endfunction()

# The version every module's resources carry.
if(NOT CMAKE_SCRIPT_MODE_FILE)
  set(TESSEL_VERSION_INCLUDE "${CMAKE_BINARY_DIR}/version")
  set(tweak "${PROJECT_VERSION_TWEAK}")
  if(tweak STREQUAL "")
    set(tweak 0)
  endif()
  file(CONFIGURE OUTPUT "${TESSEL_VERSION_INCLUDE}/TesselVersion.rci" CONTENT [=[
// Generated from the project's version (CMakeLists.txt).
#define TESSEL_VERSION_NUMBERS @PROJECT_VERSION_MAJOR@,@PROJECT_VERSION_MINOR@,@PROJECT_VERSION_PATCH@,@tweak@
#define TESSEL_VERSION_TEXT "@PROJECT_VERSION@"
]=] @ONLY)
endif()

function(tessel_windows_module target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SUFFIX;DEF;RC" "SOURCES;LIBRARIES;RC_INCLUDES;RC_DEPENDS")
  get_filename_component(def_name "${arg_DEF}" NAME)
  set(def "${CMAKE_CURRENT_BINARY_DIR}/${def_name}")
  tessel_def_for_target("${arg_DEF}" "${def}")
  add_library(${target} SHARED ${arg_SOURCES} "${def}" "${arg_RC}")
  set_target_properties(${target} PROPERTIES
    PREFIX ""
    SUFFIX "${arg_SUFFIX}"
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}")
  target_link_libraries(${target} PRIVATE ${arg_LIBRARIES})
  target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  foreach(dir IN LISTS arg_RC_INCLUDES TESSEL_VERSION_INCLUDE)
    set_property(SOURCE "${arg_RC}" APPEND PROPERTY INCLUDE_DIRECTORIES "${dir}")
  endforeach()
  set_property(SOURCE "${arg_RC}" APPEND PROPERTY OBJECT_DEPENDS ${arg_RC_DEPENDS})
endfunction()
