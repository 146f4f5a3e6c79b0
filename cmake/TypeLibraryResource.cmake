# tessel_typelib_resource(<idl> <output.cpp>)
#   reads the library block of <idl> and writes the C++ definition of
#   platform::ModuleTypeLibrary() (src/platform/posix/TypeLibraryResource.h):
#   the library's identifier, version, locale, help string and flags, and
#   the interfaces its registration names, so that the registration off
#   Windows comes from the same source as the library the Windows module
#   carries.

# The attributes in the [...] block right before "<keyword> <name>": uuid,
# version, lcid and helpstring as out_<attribute>, the bare flags as
# out_flags.
function(_tessel_idl_attributes out block)
  foreach(attribute uuid version lcid helpstring)
    set(value "")
    if(block MATCHES "${attribute}\\(\"?([^\")]*)\"?\\)")
      set(value "${CMAKE_MATCH_1}")
    endif()
    set(${out}_${attribute} "${value}" PARENT_SCOPE)
  endforeach()
  string(REGEX REPLACE "[a-z]+\\([^)]*\\)" "" bare "${block}")
  string(REGEX MATCHALL "[a-z]+" flags "${bare}")
  set(${out}_flags "${flags}" PARENT_SCOPE)
endfunction()

function(tessel_typelib_resource idl output)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${idl}")
  file(READ "${idl}" text)
  # Comments may hold brackets and keywords.
  string(REGEX REPLACE "//[^\n]*" "" text "${text}")
  set(space "[ \t\r\n]")

  if(NOT text MATCHES "\\[([^]]*)\\]${space}*library${space}+[A-Za-z_0-9]+")
    message(FATAL_ERROR "${idl}: no library block")
  endif()
  _tessel_idl_attributes(lib "${CMAKE_MATCH_1}")
  string(REPLACE "." ";" version "${lib_version}")
  list(GET version 0 major)
  list(GET version 1 minor)
  # LIBFLAGS: restricted 1, control 2, hidden 4; a library read from a file
  # also has a disk image (8).
  set(flags 8)
  foreach(flag restricted:1 control:2 hidden:4)
    string(REPLACE ":" ";" flag "${flag}")
    list(GET flag 0 name)
    list(GET flag 1 bit)
    if(name IN_LIST lib_flags)
      math(EXPR flags "${flags} | ${bit}")
    endif()
  endforeach()

  # Dispatch interfaces go through the dispatch marshaller, interfaces
  # described for automation through the type-library marshaller.
  set(dispatch_proxy "{00020420-0000-0000-C000-000000000046}")
  set(typelib_proxy "{00020424-0000-0000-C000-000000000046}")
  set(rows "")
  string(REGEX MATCHALL "\\[[^]]*\\]${space}*(disp)?interface${space}+[A-Za-z_0-9]+[^;{]*\\{" blocks "${text}")
  foreach(block IN LISTS blocks)
    string(REGEX MATCH "\\[([^]]*)\\]${space}*((disp)?interface)${space}+([A-Za-z_0-9]+)" unused "${block}")
    set(kind "${CMAKE_MATCH_2}")
    set(name "${CMAKE_MATCH_4}")
    _tessel_idl_attributes(type "${CMAKE_MATCH_1}")
    if(kind STREQUAL "dispinterface")
      set(proxy "${dispatch_proxy}")
    elseif("dual" IN_LIST type_flags OR "oleautomation" IN_LIST type_flags)
      set(proxy "${typelib_proxy}")
    else()
      continue()
    endif()
    string(TOUPPER "${type_uuid}" iid)
    string(APPEND rows "    {u\"${name}\", u\"{${iid}}\", u\"${proxy}\"},\n")
  endforeach()

  string(TOUPPER "${lib_uuid}" libid)
  math(EXPR lcid "${lib_lcid}" OUTPUT_FORMAT HEXADECIMAL)
  file(CONFIGURE OUTPUT "${output}" CONTENT [=[
// Generated from @idl@.
#include "platform/posix/TypeLibraryResource.h"

namespace {

const platform::TypeLibraryInterface kInterfaces[] = {
@rows@};

}  // namespace

const platform::TypeLibraryResource& platform::ModuleTypeLibrary() {
    static const TypeLibraryResource library = {
        u"{@libid@}", @major@, @minor@, @lcid@, u"@lib_helpstring@", @flags@, kInterfaces};
    return library;
}
]=] @ONLY)
endfunction()
