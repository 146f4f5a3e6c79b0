# What `cpack` makes of an installed build: off Windows a Debian package of
# tessel (`cpack -G DEB`), on the Windows build a ZIP archive of the modules
# with a text for administrators (`cpack -G ZIP`). The version is the
# project's.
set(CPACK_PACKAGE_VENDOR "Vantor")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "TesselAdapter maintainers <tesseladapter@vantor.invalid>")
set(CPACK_PACKAGE_CHECKSUM SHA256)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # The archive unpacks into one folder named after the package, with the
  # modules and the text at its top.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(bitness x64)
  else()
    set(bitness x86)
  endif()
  set(CPACK_PACKAGE_NAME TesselAdapter)
  set(CPACK_SYSTEM_NAME ${bitness})
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "TesselAdapter automation control (${bitness})")
  set(CPACK_GENERATOR ZIP)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/ADMINISTRATORS.txt.in
                 ${PROJECT_BINARY_DIR}/ADMINISTRATORS.txt @ONLY NEWLINE_STYLE CRLF)
  # The modules without their import libraries, which no client links;
  # stripped of their debugging information by cpack.
  install(TARGETS TesselAdapter TesselStandIns RUNTIME DESTINATION . ARCHIVE DESTINATION lib EXCLUDE_FROM_ALL)
  install(FILES ${PROJECT_BINARY_DIR}/ADMINISTRATORS.txt ${PROJECT_SOURCE_DIR}/tests/wine/session.vbs DESTINATION .)
else()
  set(CPACK_PACKAGE_NAME tessel)
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "command-line host of the TesselAdapter control")
  set(CPACK_PACKAGE_DESCRIPTION
      "tessel runs host sessions against the TesselAdapter control with host tables\n"
      "loaded from files and a stand-in chart, shows the grids a table sends, describes\n"
      "and checks host tables against their layouts, and runs the bundled example.")
  string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
  set(CPACK_DEBIAN_PACKAGE_SECTION devel)
  # The libraries tessel links (cairo, pango, libjpeg) as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
