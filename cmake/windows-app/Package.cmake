# What the Windows program needs beside it, and its installer.
#
# quillmark_deploy (part of every build): the Qt DLLs, the compiler's
# runtime DLLs and the Qt plugins the program loads are copied beside the
# programs in bin/, as an installation has them, so the programs and tests
# run from bin/ (under Wine here).
#
# quillmark_package: stage/Quillmark holds exactly what is installed; the
# NSIS installer Quillmark-<version>-setup.exe and the portable zip
# Quillmark-<version>-windows.zip are made from it.
set(_qt ${QUILLMARK_QT_WINDOWS})
find_file(QUILLMARK_MINGW_LIBSTDCXX libstdc++-6.dll PATHS /usr/lib/gcc/x86_64-w64-mingw32/12-posix
  /usr/lib/gcc/x86_64-w64-mingw32 NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
get_filename_component(_gcc_dir ${QUILLMARK_MINGW_LIBSTDCXX} DIRECTORY)
set(QUILLMARK_WINDOWS_DLLS
  ${_qt}/bin/Qt6Core.dll ${_qt}/bin/Qt6Gui.dll ${_qt}/bin/Qt6Widgets.dll
  ${_qt}/bin/Qt6Sql.dll ${_qt}/bin/Qt6PrintSupport.dll
  ${_gcc_dir}/libstdc++-6.dll ${_gcc_dir}/libgcc_s_seh-1.dll
  /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll)
# plugin folder -> files
set(QUILLMARK_WINDOWS_PLUGINS
  platforms/qwindows.dll
  styles/qwindowsvistastyle.dll
  sqldrivers/qsqlodbc.dll sqldrivers/qsqlite.dll
  imageformats/qjpeg.dll)
# Only the tests load these.
set(_test_only ${_qt}/bin/Qt6Test.dll)
set(_test_plugins platforms/qoffscreen.dll platforms/qminimal.dll)

# Qt's own texts in Chinese: Debian's translation of the same Qt version
# (qt6-translations-l10n); .qm files are the same on every system.
find_file(QUILLMARK_QTBASE_ZH_QM qtbase_zh_CN.qm PATHS /usr/share/qt6/translations
  NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)

set(_bin ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(_deploy_commands)
if(QUILLMARK_QTBASE_ZH_QM)
  list(APPEND _deploy_commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_bin}/translations
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${QUILLMARK_QTBASE_ZH_QM} ${_bin}/translations/)
endif()
foreach(dll ${QUILLMARK_WINDOWS_DLLS} ${_test_only})
  list(APPEND _deploy_commands COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dll} ${_bin}/)
endforeach()
foreach(plugin ${QUILLMARK_WINDOWS_PLUGINS} ${_test_plugins})
  get_filename_component(dir ${plugin} DIRECTORY)
  list(APPEND _deploy_commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_bin}/${dir}
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${_qt}/plugins/${plugin} ${_bin}/${dir}/)
endforeach()
add_custom_target(quillmark_deploy ALL ${_deploy_commands} VERBATIM)

# The installed tree.
set(_stage ${PROJECT_BINARY_DIR}/stage/Quillmark)
set(_stage_commands
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${PROJECT_BINARY_DIR}/stage
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}/wav
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:quillmark> $<TARGET_FILE:quillmark-demo-erp> ${_stage}/
  COMMAND ${CMAKE_COMMAND} -E copy ${QUILLMARK_WINDOWS_DLLS} ${_stage}/
  COMMAND ${CMAKE_COMMAND} -E copy ${QUILLMARK_ROOT}/assets/sd.png ${QUILLMARK_ROOT}/assets/zd.png ${_stage}/
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUILLMARK_ROOT}/assets/wav ${_stage}/wav
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${QUILLMARK_ROOT}/assets/skin ${_stage}/skin)
if(QUILLMARK_QTBASE_ZH_QM)
  list(APPEND _stage_commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}/translations
    COMMAND ${CMAKE_COMMAND} -E copy ${QUILLMARK_QTBASE_ZH_QM} ${_stage}/translations/)
endif()
foreach(plugin ${QUILLMARK_WINDOWS_PLUGINS})
  get_filename_component(dir ${plugin} DIRECTORY)
  list(APPEND _stage_commands
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_stage}/${dir}
    COMMAND ${CMAKE_COMMAND} -E copy ${_qt}/plugins/${plugin} ${_stage}/${dir}/)
endforeach()
# The programs lose their symbols in the installed tree (the build keeps them).
find_program(QUILLMARK_MINGW_STRIP x86_64-w64-mingw32-strip)
if(QUILLMARK_MINGW_STRIP)
  list(APPEND _stage_commands COMMAND ${QUILLMARK_MINGW_STRIP} ${_stage}/quillmark.exe ${_stage}/quillmark-demo-erp.exe)
endif()

find_program(QUILLMARK_MAKENSIS makensis)
find_program(QUILLMARK_ZIP zip)
set(QUILLMARK_INSTALLER ${PROJECT_BINARY_DIR}/Quillmark-${PROJECT_VERSION}-setup.exe)
set(QUILLMARK_ZIP_FILE ${PROJECT_BINARY_DIR}/Quillmark-${PROJECT_VERSION}-windows.zip)
set(_package_commands ${_stage_commands})
if(QUILLMARK_MAKENSIS)
  list(APPEND _package_commands
    COMMAND ${QUILLMARK_MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${_stage}
            -DOUTFILE=${QUILLMARK_INSTALLER} ${CMAKE_CURRENT_SOURCE_DIR}/installer.nsi)
else()
  message(STATUS "makensis not found (Debian: nsis): quillmark_package makes no installer")
endif()
if(QUILLMARK_ZIP)
  list(APPEND _package_commands
    COMMAND ${CMAKE_COMMAND} -E rm -f ${QUILLMARK_ZIP_FILE}
    COMMAND ${CMAKE_COMMAND} -E chdir ${PROJECT_BINARY_DIR}/stage ${QUILLMARK_ZIP} -q -r -X ${QUILLMARK_ZIP_FILE} Quillmark)
endif()
add_custom_target(quillmark_package ${_package_commands}
  DEPENDS quillmark quillmark-demo-erp
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  COMMENT "Staging Quillmark and building its installer and zip"
  VERBATIM)
