# The Windows packages, made by `cpack -G NSIS` and `cpack -G ZIP` in a Windows build:
#
#   amrconvert-VERSION-win64.exe   an installer into Program Files, with a Start-menu
#                                  entry and an uninstaller
#   amrconvert-VERSION-win64.zip   the same files to unpack anywhere: amrconvert.exe,
#                                  the tool folder amr\ with madplay.exe, its module
#                                  ffmpeg-formats.dll and converter.exe, and the
#                                  folder licences\ (see packaging/Licences.cmake)
#
# Both take the installation's layout: the program at the top, the tool folder beside it.
unset(CPACK_PACKAGING_INSTALL_PREFIX)
set(CPACK_PACKAGE_NAME amrconvert)
set(CPACK_PACKAGE_VENDOR "Free Tarvik")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Free Tarvik AMR Format Converter")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY amrconvert)
set(CPACK_PACKAGE_EXECUTABLES amrconvert "Free Tarvik AMR Format Converter")
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)

# A 64-bit installer, like the program: it needs no 32-bit Windows layer (which Wine
# may lack) and sees the 64-bit Program Files and registry as they are.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_DISPLAY_NAME "Free Tarvik AMR Format Converter")
set(CPACK_NSIS_PACKAGE_NAME "Free Tarvik AMR Format Converter")
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_INSTALLED_ICON_NAME amrconvert.exe)
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/ui/main/pictures/AMRConvert.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/ui/main/pictures/AMRConvert.ico)
# The installer's licence page shows the program's licence.
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
# The program writes its script, the intermediate WAV file and the last run's lock,
# report and tool messages into the tool folder when it may (an administrator's run);
# the uninstaller knows none of them and would leave the folder behind with them in it.
# CPack copies the value into CPackConfig.cmake as it is, so its quotes and backslashes
# carry the escapes of a CMake string.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS [[
  Delete \"$INSTDIR\\amr\\WAV2AMR.bat\"
  Delete \"$INSTDIR\\amr\\temp.wav\"
  Delete \"$INSTDIR\\amr\\WAV2AMR.lock\"
  Delete \"$INSTDIR\\amr\\WAV2AMR.run\"
  Delete \"$INSTDIR\\amr\\WAV2AMR.msg\"
]])
