# Makes the Debian package into WORK and checks its control fields and files.
#   cmake -DCPACK_CONFIG=<build>/CPackConfig.cmake -DWORK=<empty dir> -P check_package.cmake
file(REMOVE_RECURSE "${WORK}")
execute_process(COMMAND "${CMAKE_CPACK_COMMAND}" -G DEB --config "${CPACK_CONFIG}" -B "${WORK}"
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${output}")
endif()
file(GLOB debs "${WORK}/kitcomp_*.deb")
list(LENGTH debs count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one kitcomp_*.deb in ${WORK}, found: ${debs}")
endif()
execute_process(COMMAND dpkg-deb -f "${debs}" Depends OUTPUT_VARIABLE depends OUTPUT_STRIP_TRAILING_WHITESPACE
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND dpkg-deb -c "${debs}" OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)

set(problems "")
# package | why it must be declared
foreach(row "libqt6widgets6|kitcomp's windows" "libarchive13|squash.exe and sfxmaker.exe write archives"
            "libssl3|pkgindex.exe hashes with libcrypto")
  string(REPLACE "|" ";" row "${row}")
  list(GET row 0 package)
  list(GET row 1 why)
  if(NOT depends MATCHES "(^|, )${package}( |,|$)")
    string(APPEND problems "Depends lacks ${package} (${why}): ${depends}\n")
  endif()
endforeach()
foreach(path usr/bin/kitcomp usr/share/applications/kitcomp.desktop usr/share/doc/kitcomp/copyright
             usr/share/kitcomp/kit/kitcomp/kitcomp.ini usr/share/kitcomp/kit/kitcomp/squash.exe
             usr/share/kitcomp/kit/kitcomp/pkgindex.exe usr/share/kitcomp/kit/kitcomp/sfxmaker.exe
             usr/share/kitcomp/kit/source/install/setup.ini)
  string(FIND "${listing}" " ./${path}\n" at)
  if(at EQUAL -1)
    string(APPEND problems "the package lacks /${path}\n")
  endif()
endforeach()
# Everything lives under /usr; nothing of the build tree or the tests comes along.
string(REGEX MATCHALL " \\./[^\n]*" entries "${listing}")
foreach(entry IN LISTS entries)
  if(NOT entry MATCHES "^ \\./(usr/.*)?$" OR entry MATCHES "choices\\.tmp|setup\\.pkg|_tests$")
    string(APPEND problems "unexpected entry:${entry}\n")
  endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
