# Installs the build under a fresh prefix and checks that the program, its
# menu entry and icon, the packaging tools and the sample kit are there.
#   cmake -DBUILD=<build dir> -DPREFIX=<empty dir> -P check_install.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD}" --prefix "${PREFIX}"
                RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${errors}")
endif()
set(expected
    bin/kitcomp
    share/applications/kitcomp.desktop
    share/icons/hicolor/48x48/apps/kitcomp.png
    share/icons/hicolor/128x128/apps/kitcomp.png
    share/icons/hicolor/scalable/apps/kitcomp.svg
    share/kitcomp/kit/kitcomp/kitcomp.ini
    share/kitcomp/kit/kitcomp/default.dkb
    share/kitcomp/kit/kitcomp/squash.exe
    share/kitcomp/kit/kitcomp/pkgindex.exe
    share/kitcomp/kit/kitcomp/sfxmaker.exe
    share/kitcomp/kit/source/install/setup.ini)
foreach(path ${expected})
  if(NOT EXISTS "${PREFIX}/${path}")
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
file(READ "${PREFIX}/share/applications/kitcomp.desktop" entry)
foreach(line "Exec=kitcomp --from-menu" "Icon=kitcomp" "Type=Application")
  string(FIND "${entry}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "kitcomp.desktop lacks \"${line}\"")
  endif()
endforeach()
file(REMOVE_RECURSE "${PREFIX}")
