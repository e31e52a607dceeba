# The version every Windows program of the project carries, and how the plug-in ships.

set(ORVANE_VERSION_BUILD 0 CACHE STRING "The fourth part of the version: the release's build number")
set(ORVANE_VERSION_TEXT
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}.${ORVANE_VERSION_BUILD}")

# The plug-in's version resource and application manifest, made from the project's version.
function(orvane_make_version_resource out_var)
  set(generated ${CMAKE_BINARY_DIR}/generated)
  set(ORVANE_MANIFEST ${generated}/OrvaneOutlook.manifest)
  configure_file(${CMAKE_SOURCE_DIR}/src/app/OrvaneOutlook.manifest.in ${ORVANE_MANIFEST} @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/src/app/version_info.rc.in ${generated}/version_info.rc @ONLY)
  set(${out_var} ${generated}/version_info.rc PARENT_SCOPE)
endfunction()

# A release of the program ships without debug sections. Built by clang and lld, its symbols are a
# PDB beside it ("<program>.pdb", CodeView, named with its GUID and age in the program's debug
# directory), which WinDbg, Visual Studio and Windows Error Reporting read. Built by gcc, they are
# "<program>.debug", which gdb finds through the program's debug link.
function(orvane_ship_program target)
  target_link_options(${target} PRIVATE -Wl,--tsaware)
  if(NOT CMAKE_BUILD_TYPE STREQUAL "Release")
    return()
  endif()
  if(CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    foreach(part ${ARGN} ${target})
      target_compile_options(${part} PRIVATE -g -gcodeview)
    endforeach()
    # The debug directory names the PDB by its file name alone, not by this machine's path.
    target_link_options(${target} PRIVATE -Wl,--pdb=$<TARGET_FILE_DIR:${target}>/$<TARGET_FILE_BASE_NAME:${target}>.pdb
                        -Wl,-Xlink=-pdbaltpath:%_PDB%)
    # The DWARF sections that come with mingw-w64's static libraries go; the debug directory stays.
    if(CMAKE_OBJCOPY)
      add_custom_command(TARGET ${target} POST_BUILD COMMAND ${CMAKE_OBJCOPY} --strip-debug $<TARGET_FILE:${target}>
                         VERBATIM)
    endif()
    return()
  endif()
  if(NOT CMAKE_OBJCOPY)
    return()
  endif()
  foreach(part ${ARGN} ${target})
    target_compile_options(${part} PRIVATE -g)
  endforeach()
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
    COMMAND ${CMAKE_OBJCOPY} --strip-debug --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
            $<TARGET_FILE_NAME:${target}>
    WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
    VERBATIM)
endfunction()
