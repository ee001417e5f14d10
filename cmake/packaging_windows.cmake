# The Windows package: one folder that runs on a Windows machine with nothing
# installed, packed as a zip (cpack -G ZIP, or the morvane_windows_zip target):
#   morvane.exe and morvane-convert.exe, the Qt and MinGW runtime DLLs they load, qt.conf,
#   platforms/qwindows.dll, styles/qwindowsvistastyle.dll,
#   translations/qtbase_zh_CN.qm and qtbase_zh_TW.qm (Qt's own texts in Chinese),
#   the manual page and the copyright as text files with Windows line ends.
# The DLLs are stripped of their debugging sections on the way in.
set(morvane_packaging_dir ${PROJECT_SOURCE_DIR}/packaging)
set(morvane_configured_dir ${CMAKE_BINARY_DIR}/packaging)
set(MORVANE_MAN_PAGE ${morvane_configured_dir}/man/morvane-convert.1)
configure_file(${morvane_packaging_dir}/morvane-convert.1 ${MORVANE_MAN_PAGE} @ONLY)
configure_file(${morvane_packaging_dir}/copyright ${morvane_configured_dir}/copyright @ONLY)

# Qt's translations are the same files on every system: Debian's
# qt6-translations-l10n has them.
set(MORVANE_QT_TRANSLATIONS_DIR /usr/share/qt6/translations
    CACHE PATH "Folder with Qt's qtbase_*.qm translations for the Windows package")

if(NOT MORVANE_GUI)
  return()
endif()

# Text files for Notepad: CR LF line ends. The manual page is laid out by
# groff as plain text (no bold or underline by overstriking).
find_program(MORVANE_GROFF groff REQUIRED)
set(morvane_text_dir ${CMAKE_BINARY_DIR}/packaging/windows)
add_custom_command(
  OUTPUT ${morvane_text_dir}/morvane-convert.txt ${morvane_text_dir}/copyright.txt
  COMMAND ${CMAKE_COMMAND} -DGROFF=${MORVANE_GROFF} -DMAN_PAGE=${MORVANE_MAN_PAGE}
          -DCOPYRIGHT=${morvane_configured_dir}/copyright -DOUT_DIR=${morvane_text_dir}
          -P ${PROJECT_SOURCE_DIR}/cmake/windows_text_files.cmake
  DEPENDS ${MORVANE_MAN_PAGE} ${morvane_configured_dir}/copyright
          ${PROJECT_SOURCE_DIR}/cmake/windows_text_files.cmake
  COMMENT "Writing the manual page and the copyright as Windows text files"
  VERBATIM)
add_custom_target(morvane_windows_text ALL
  DEPENDS ${morvane_text_dir}/morvane-convert.txt ${morvane_text_dir}/copyright.txt)
install(FILES ${morvane_text_dir}/morvane-convert.txt ${morvane_text_dir}/copyright.txt
        DESTINATION .)

# Qt finds its plugins and translations beside the program.
file(WRITE ${morvane_text_dir}/qt.conf "[Paths]\r\nPrefix=.\r\nPlugins=.\r\nTranslations=translations\r\n")
install(FILES ${morvane_text_dir}/qt.conf DESTINATION .)

install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
        DESTINATION .)
install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION platforms)
install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION styles)
foreach(language zh_CN zh_TW)
  set(qm ${MORVANE_QT_TRANSLATIONS_DIR}/qtbase_${language}.qm)
  if(NOT EXISTS ${qm})
    message(FATAL_ERROR "${qm} is missing (Debian package qt6-translations-l10n)")
  endif()
  install(FILES ${qm} DESTINATION translations)
endforeach()

# The compiler's own runtime: the C++ library, the unwinder and the POSIX
# threads the MinGW-w64 POSIX compiler builds on.
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
                  OUTPUT_VARIABLE dll_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${dll_path}" OR NOT EXISTS "${dll_path}")
    message(FATAL_ERROR "The compiler's ${dll} was not found")
  endif()
  install(FILES ${dll_path} DESTINATION .)
endforeach()

install(CODE "
  file(GLOB_RECURSE morvane_dlls \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/*.dll\")
  foreach(dll \${morvane_dlls})
    execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded \"\${dll}\" RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR \"could not strip \${dll}\")
    endif()
  endforeach()")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME morvane)
set(CPACK_PACKAGE_VENDOR Tarnwick)
set(CPACK_PACKAGE_FILE_NAME morvane-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
