# Run by `cmake --install`: writes the desktop menu entry with the installed
# program's full path, for the prefix of this install (`--prefix` decides it
# only now). The menu does not search the prefix's bin folder.
# In: KC_DESKTOP_TEMPLATE, KC_BINDIR and KC_DATADIR (as GNUInstallDirs gives
# them: relative to the prefix, or absolute), KC_WORK_DIR.
foreach(dir BINDIR DATADIR)
  if(IS_ABSOLUTE "${KC_${dir}}")
    set(full_${dir} "${KC_${dir}}")
  else()
    set(full_${dir} "${CMAKE_INSTALL_PREFIX}/${KC_${dir}}")
  endif()
endforeach()

# Exec quoting of the desktop entry format: a program path with a reserved
# character goes in double quotes, with \ " ` $ escaped by a backslash; the
# value's own escapes then double every backslash; % is written %%.
set(program "${full_BINDIR}/kitcomp")
if(program MATCHES "[^-A-Za-z0-9_/.+,:@=]")
  string(REGEX REPLACE "([\\\\\"`$])" "\\\\\\1" program "${program}")
  set(program "\"${program}\"")
endif()
string(REPLACE "\\" "\\\\" program "${program}")
string(REPLACE "%" "%%" KC_EXEC "${program}")

configure_file("${KC_DESKTOP_TEMPLATE}" "${KC_WORK_DIR}/kitcomp.desktop" @ONLY)
file(INSTALL DESTINATION "${full_DATADIR}/applications" TYPE FILE FILES "${KC_WORK_DIR}/kitcomp.desktop")
