# Installs the build under a fresh prefix (with a blank in its name) and checks
# that the program, its menu entry and icon, the packaging tools, the manual
# pages, the bash completion and the sample kit are there, the programs stripped, the menu entry naming the installed
# program; then starts the installed program as the menu does (the first start
# copies the kit to the user's data folder) and builds the copy's images.
#   cmake -DBUILD=<build dir> -DPREFIX=<empty dir> -DREADELF=<readelf> -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()
set(programs bin/kitcomp share/kitcomp/kit/kitcomp/squash.exe share/kitcomp/kit/kitcomp/pkgindex.exe
             share/kitcomp/kit/kitcomp/sfxmaker.exe)
set(expected
    ${programs}
    share/applications/kitcomp.desktop
    share/icons/hicolor/48x48/apps/kitcomp.png
    share/icons/hicolor/128x128/apps/kitcomp.png
    share/icons/hicolor/scalable/apps/kitcomp.svg
    share/kitcomp/kit/kitcomp/kitcomp.ini
    share/kitcomp/kit/kitcomp/drives.ini
    share/kitcomp/kit/kitcomp/default.dkb
    share/kitcomp/kit/source/install/setup.ini
    share/man/man1/kitcomp.1.gz
    share/man/man1/squash.exe.1.gz
    share/man/man1/pkgindex.exe.1.gz
    share/man/man1/sfxmaker.exe.1.gz
    share/bash-completion/completions/kitcomp)
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
foreach(path ${programs})
  execute_process(COMMAND "${READELF}" -S -W "${PREFIX}/${path}" OUTPUT_VARIABLE sections)
  if(sections MATCHES "\\.symtab|\\.debug_info")
    message(FATAL_ERROR "installed unstripped: ${path}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/kitcomp.desktop" entry)
foreach(line "Exec=\"${PREFIX}/bin/kitcomp\" --from-menu" "Icon=kitcomp" "Type=Application")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "kitcomp.desktop lacks \"${line}\":\n${entry}")
  endif()
endforeach()

# The first start from the menu, with the user's default drive table.
set(data "${PREFIX}/user data")
set(env ${CMAKE_COMMAND} -E env --unset=KITCOMP_DRIVES --unset=XDG_CONFIG_HOME "XDG_DATA_HOME=${data}"
        QT_QPA_PLATFORM=offscreen "XDG_RUNTIME_DIR=${BUILD}/xdg-runtime")
execute_process(COMMAND ${env} KITCOMP_EXIT_AFTER_SHOW=1 "${PREFIX}/bin/kitcomp" --from-menu
                RESULT_VARIABLE status ERROR_VARIABLE errors)
file(READ "${data}/kitcomp/kit/kitcomp/kitcomp.ini" ini)
if(NOT status EQUAL 0 OR NOT ini MATCHES "INSTALLED PATH=K:\\\\kit[\r\n]")
  message(FATAL_ERROR "the first start from the menu failed (${status}): ${errors}\n${ini}")
endif()
execute_process(COMMAND ${env} KITCOMP_EMPTY_PAUSE_MS=0 "${PREFIX}/bin/kitcomp" -C "${data}/kitcomp/kit/kitcomp" build
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0 OR NOT EXISTS "${data}/kitcomp/kit-output/network/netsetup.exe")
  message(FATAL_ERROR "the user's copy of the kit does not build (${status}): ${output}${errors}")
endif()
file(REMOVE_RECURSE "${PREFIX}")
