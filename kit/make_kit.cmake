# Makes the sample kit tree (run by the build: cmake -P make_kit.cmake).
# In: KIT_SOURCE (kit/), KIT_DIR (the tree to make), KIT_DRIVE (the letter of
# the kit's own drive: the folder holding KIT_DIR), KIT_WINDOWS_ROOT and
# KIT_WINDOWS_OUTPUT (Windows paths of the tree and of its default output
# folder on that drive), TOOLS_DIR (where squash.exe, pkgindex.exe and sfxmaker.exe are),
# SPLASH (the generated splash bitmap).
foreach(var KIT_SOURCE KIT_DIR KIT_DRIVE KIT_WINDOWS_ROOT KIT_WINDOWS_OUTPUT TOOLS_DIR SPLASH)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "make_kit.cmake: ${var} is not set")
  endif()
endforeach()

# Made afresh: a build from the kit writes into it (custom\, additional
# installers' modules), and the kit must start clean. Only the kit's own
# folders go: the build system keeps files of its own in the same folder.
file(REMOVE_RECURSE "${KIT_DIR}/kitcomp" "${KIT_DIR}/source" "${KIT_DIR}/samples" "${KIT_DIR}/custom")
file(MAKE_DIRECTORY "${KIT_DIR}/kitcomp" "${KIT_DIR}/source/install" "${KIT_DIR}/source/modules")

# Windows INI text: CRLF line ends.
configure_file("${KIT_SOURCE}/kitcomp/kitcomp.ini.in" "${KIT_DIR}/kitcomp/kitcomp.ini" @ONLY NEWLINE_STYLE CRLF)
configure_file("${KIT_SOURCE}/kitcomp/default.dkb.in" "${KIT_DIR}/kitcomp/default.dkb" @ONLY NEWLINE_STYLE CRLF)
configure_file("${KIT_SOURCE}/kitcomp/drives.ini.in" "${KIT_DIR}/kitcomp/drives.ini" @ONLY NEWLINE_STYLE CRLF)
configure_file("${KIT_SOURCE}/install/setup.ini" "${KIT_DIR}/source/install/setup.ini" COPYONLY)
file(READ "${KIT_DIR}/source/install/setup.ini" setup_ini)
string(REPLACE "\r\n" "\n" setup_ini "${setup_ini}")
string(REPLACE "\n" "\r\n" setup_ini "${setup_ini}")
file(WRITE "${KIT_DIR}/source/install/setup.ini" "${setup_ini}")

foreach(tool squash.exe pkgindex.exe sfxmaker.exe)
  file(COPY "${TOOLS_DIR}/${tool}" DESTINATION "${KIT_DIR}/kitcomp" USE_SOURCE_PERMISSIONS)
endforeach()

file(COPY "${KIT_SOURCE}/install/setup.exe" DESTINATION "${KIT_DIR}/source/install" USE_SOURCE_PERMISSIONS)
file(COPY "${KIT_SOURCE}/install/readme.txt" "${KIT_SOURCE}/install/license.txt"
     DESTINATION "${KIT_DIR}/source/install")
file(COPY "${KIT_SOURCE}/samples" DESTINATION "${KIT_DIR}" USE_SOURCE_PERMISSIONS)
file(COPY "${SPLASH}" DESTINATION "${KIT_DIR}/samples")
file(COPY "${KIT_SOURCE}/modules/addinst.ini" DESTINATION "${KIT_DIR}/source/modules")

# Every module: its archive made by squash.exe from its folder, its script when
# it has one, its settings file. The tools read Windows paths: the host root is
# drive Z: for them here, whatever drive table the user has.
file(GLOB module_dirs LIST_DIRECTORIES true "${KIT_SOURCE}/modules/*")
foreach(dir IN LISTS module_dirs)
  if(NOT IS_DIRECTORY "${dir}")
    continue()
  endif()
  get_filename_component(stem "${dir}" NAME)
  string(REPLACE "/" "\\" win_dir "Z:${dir}")
  string(REPLACE "/" "\\" win_archive "Z:${KIT_DIR}/source/modules/${stem}.z")
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env KITCOMP_DRIVES=z=/
            "${TOOLS_DIR}/squash.exe" -i -o -sh "${win_dir}\\*.*" "${win_archive}"
    RESULT_VARIABLE status ERROR_VARIABLE errors OUTPUT_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "squash.exe could not make ${stem}.z (${status}): ${errors}")
  endif()
  foreach(ext ins ini)
    if(EXISTS "${KIT_SOURCE}/modules/${stem}.${ext}")
      file(COPY "${KIT_SOURCE}/modules/${stem}.${ext}" DESTINATION "${KIT_DIR}/source/modules")
    endif()
  endforeach()
endforeach()
