# cmake -DBUILD_DIR=<build tree> -DPREFIX=<empty folder to install to> -P InstallCheck.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

function(expect_file path)
  if(NOT EXISTS ${PREFIX}/${path})
    message(SEND_ERROR "missing after the install: ${path}")
  endif()
endfunction()

# The program's folder holds the program, its configurations and its help, as in the build.
file(REAL_PATH ${PREFIX}/bin/kestrim program)
cmake_path(GET program PARENT_PATH folder)
if(NOT folder STREQUAL "${PREFIX}/lib/kestrim")
  message(SEND_ERROR "bin/kestrim leads to ${program}, not to the program's folder lib/kestrim")
endif()
foreach(file lib/kestrim/kestrim.html lib/kestrim/kestrim_browser.so lib/kestrim/conf/Perl.ini lib/kestrim/conf/perl.txt lib/kestrim/conf/url.txt
             lib/kestrim/conf/Python.ini lib/kestrim/conf/Ruby.ini lib/kestrim/conf/Awk.ini lib/kestrim/conf/Sh.ini
             share/applications/kestrim.desktop share/mime/packages/kestrim-workbench.xml
             share/icons/hicolor/256x256/apps/kestrim.png
             share/icons/hicolor/scalable/apps/kestrim.svg)
  expect_file(${file})
endforeach()

file(STRINGS ${PREFIX}/share/applications/kestrim.desktop entry)
foreach(line "Exec=kestrim %F" "Icon=kestrim" "MimeType=application/x-kestrim-workbench;")
  if(NOT line IN_LIST entry)
    message(SEND_ERROR "kestrim.desktop lacks ${line}")
  endif()
endforeach()
find_program(VALIDATE desktop-file-validate)
if(VALIDATE)
  execute_process(COMMAND ${VALIDATE} ${PREFIX}/share/applications/kestrim.desktop
                  RESULT_VARIABLE result OUTPUT_VARIABLE report ERROR_VARIABLE report)
  if(NOT result EQUAL 0 OR report MATCHES "error")
    message(SEND_ERROR "kestrim.desktop is not valid:\n${report}")
  endif()
endif()

# The workbench file's type reads as the desktop's type database reads it: well-formed, and
# compiled into a glob and a magic rule.
find_program(XMLLINT xmllint)
if(XMLLINT)
  execute_process(COMMAND ${XMLLINT} --noout ${PREFIX}/share/mime/packages/kestrim-workbench.xml
                  RESULT_VARIABLE result ERROR_VARIABLE report)
  if(NOT result EQUAL 0)
    message(SEND_ERROR "kestrim-workbench.xml is not well-formed:\n${report}")
  endif()
endif()
find_program(UPDATE_MIME update-mime-database)
if(UPDATE_MIME)
  execute_process(COMMAND ${UPDATE_MIME} ${PREFIX}/share/mime RESULT_VARIABLE result ERROR_VARIABLE report)
  file(STRINGS ${PREFIX}/share/mime/globs2 globs REGEX "x-kestrim-workbench")
  file(READ ${PREFIX}/share/mime/magic magic HEX)
  string(HEX "application/x-kestrim-workbench" type)
  if(NOT result EQUAL 0 OR report MATCHES "rror|arning" OR NOT globs MATCHES "application/x-kestrim-workbench:\\*\\.kestrim"
     OR NOT magic MATCHES "${type}")
    message(SEND_ERROR "kestrim-workbench.xml does not compile to a glob and a magic rule:\n${report}")
  endif()
endif()

# Started through bin/, the program comes up and is still running when it is ended.
execute_process(COMMAND timeout 5 ${PREFIX}/bin/kestrim RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
if(NOT result EQUAL 124)
  message(SEND_ERROR "the installed program ended by itself with ${result}")
endif()
