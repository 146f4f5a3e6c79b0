# Makes a Windows Installer package in two steps, run as cmake -P:
#   -DSKELETON=<wxs> -DROWS=<folder> -DWXS=<out wxs> -DKEYS=<out sql>
#       the package source: each "<!--rows NAME-->" in the skeleton replaced
#       by <folder>/NAME.wxi, and the key rows of every NAME.sql gathered
#       into one file;
#   -DWXS=<wxs> -DKEYS=<sql> -DMSI=<out msi> -DARCH=x64|x86
#       the package: wixl builds it from the source, msibuild adds the key
#       rows the source cannot hold.
# Both steps run when all of the variables are given.
if(DEFINED SKELETON)
  file(READ "${SKELETON}" source)
  string(REGEX MATCHALL "<!--rows [A-Za-z0-9]+-->" markers "${source}")
  set(keys "")
  foreach(marker IN LISTS markers)
    string(REGEX REPLACE "<!--rows ([A-Za-z0-9]+)-->" "\\1" name "${marker}")
    file(READ "${ROWS}/${name}.wxi" rows)
    string(REPLACE "${marker}" "${rows}" source "${source}")
    file(READ "${ROWS}/${name}.sql" component_keys)
    string(APPEND keys "${component_keys}")
    # The Vantor folder above the module's goes too once it is empty: the
    # component owns it as a created folder, which removal takes away.
    string(REGEX REPLACE "[^0-9]" "" bits "${name}")
    string(APPEND keys "INSERT INTO `CreateFolder` (`Directory_`, `Component_`) VALUES ('Vantor${bits}', '${name}')\n")
  endforeach()
  file(WRITE "${WXS}" "${source}")
  file(WRITE "${KEYS}" "${keys}")
endif()

if(DEFINED MSI)
  find_program(WIXL wixl REQUIRED)
  find_program(MSIBUILD msibuild REQUIRED)
  set(partial "${MSI}.partial")
  file(REMOVE "${partial}")
  # wixl takes no absolute file names: they are given to it relative to the
  # source's folder, where it runs.
  get_filename_component(wxs_dir "${WXS}" DIRECTORY)
  file(READ "${WXS}" source)
  string(REGEX MATCHALL "Source=\"/[^\"]*\"" sources "${source}")
  foreach(attribute IN LISTS sources)
    string(REGEX REPLACE "Source=\"(.*)\"" "\\1" path "${attribute}")
    file(RELATIVE_PATH relative "${wxs_dir}" "${path}")
    string(REPLACE "${attribute}" "Source=\"${relative}\"" source "${source}")
  endforeach()
  set(relative_wxs "${WXS}.relative.wxs")
  file(WRITE "${relative_wxs}" "${source}")
  execute_process(COMMAND "${WIXL}" -a ${ARCH} -o "${partial}" "${relative_wxs}"
    WORKING_DIRECTORY "${wxs_dir}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${relative_wxs}")
  file(STRINGS "${KEYS}" statements)
  foreach(statement IN LISTS statements)
    execute_process(COMMAND "${MSIBUILD}" "${partial}" -q "${statement}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  file(RENAME "${partial}" "${MSI}")
endif()
