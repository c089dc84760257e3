# The Windows downloads, made by `cpack` in the windows build
# (scripts/check_windows_installer.sh checks both):
#   varnholt-<version>-win64.zip  the programs, the help, and the README and
#                                 licence as text files with Windows line ends;
#   varnholt-<version>-win64.exe  a 64-bit installer of the same files into
#                                 Program Files\Varnholt, with a Start-menu entry,
#                                 "Open with" for .csv and .json files and an
#                                 uninstaller.
foreach(document README.md LICENSE)
    file(READ ${PROJECT_SOURCE_DIR}/${document} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    get_filename_component(stem ${document} NAME_WE)
    file(WRITE ${CMAKE_BINARY_DIR}/package/${stem}.txt "${text}")
    install(FILES ${CMAKE_BINARY_DIR}/package/${stem}.txt DESTINATION .)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${document})
endforeach()

find_program(MAKENSIS makensis)
if(MAKENSIS)
    set(CPACK_GENERATOR ZIP NSIS)
else()
    message(STATUS "makensis not found (Debian package nsis): cpack makes the ZIP only")
    set(CPACK_GENERATOR ZIP)
endif()
# The NSIS text below reaches the installer script exactly as written here.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME varnholt)
set(CPACK_PACKAGE_VENDOR "The Varnholt developers")
set(CPACK_PACKAGE_FILE_NAME varnholt-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)

# The installer. It is a 64-bit program itself, so $PROGRAMFILES64 is
# C:\Program Files and its registry writes land in the 64-bit view without
# SetRegView; Debian's NSIS has the amd64 stubs and plug-ins for it. The name
# under the pages is the program's (CPACK_NSIS_BRANDING_TEXT would add a /TRIM
# option, which NSIS built for Linux refuses).
set(CPACK_NSIS_DEFINES "Target amd64-unicode
BrandingText \"Varnholt ${PROJECT_VERSION}\"
!include FileFunc.nsh")
set(CPACK_PACKAGE_INSTALL_DIRECTORY Varnholt)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Varnholt)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_PACKAGE_NAME Varnholt)
set(CPACK_NSIS_DISPLAY_NAME Varnholt)
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_BINARY_DIR}/package/LICENSE.txt)
set(CPACK_PACKAGE_EXECUTABLES varnholt Varnholt)
set(CPACK_NSIS_EXECUTABLES_DIRECTORY .)
set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
set(CPACK_NSIS_MANIFEST_DPI_AWARE ON)
# The program's icon (16, 32 and 64 pixels, drawn by the window's build) for the
# installer and the uninstaller; Add/Remove Programs shows varnholt.exe's.
set(CPACK_NSIS_MUI_ICON ${VARNHOLT_WINDOWS_ICON})
set(CPACK_NSIS_MUI_UNIICON ${VARNHOLT_WINDOWS_ICON})
set(CPACK_NSIS_INSTALLED_ICON_NAME varnholt.exe)

# Registry keys, all under SHCTX: the machine's keys when installed for all
# users, where CPack registers the rest of the installation (HKCR shows the
# classes among them).
set(uninstall_key
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}")
set(vendor_key "Software\\${CPACK_PACKAGE_VENDOR}")
set(application_key "Software\\Classes\\Applications\\varnholt.exe")
set(csv_key "Software\\Classes\\.csv")
set(json_key "Software\\Classes\\.json")
# SHCNE_ASSOCCHANGED: Explorer shows the changed "Open with" at once.
set(notify_explorer "System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'")

# CPack writes NoModify and NoRepair as text, which Add/Remove Programs does
# not read: they are numbers there, as is the size in KiB. Then "Open with
# Varnholt" for .csv and .json files.
set(CPACK_NSIS_EXTRA_INSTALL_COMMANDS "
  WriteRegDWORD SHCTX \"${uninstall_key}\" \"NoModify\" 1
  WriteRegDWORD SHCTX \"${uninstall_key}\" \"NoRepair\" 1
  WriteRegStr SHCTX \"${uninstall_key}\" \"InstallLocation\" \"$INSTDIR\"
  \${GetSize} \"$INSTDIR\" \"/S=0K\" $0 $1 $2
  WriteRegDWORD SHCTX \"${uninstall_key}\" \"EstimatedSize\" $0
  WriteRegStr SHCTX \"${application_key}\" \"FriendlyAppName\" \"Varnholt\"
  WriteRegStr SHCTX \"${application_key}\\shell\\open\\command\" \"\" '\"$INSTDIR\\varnholt.exe\" \"%1\"'
  WriteRegStr SHCTX \"${application_key}\\SupportedTypes\" \".csv\" \"\"
  WriteRegStr SHCTX \"${application_key}\\SupportedTypes\" \".txt\" \"\"
  WriteRegStr SHCTX \"${application_key}\\SupportedTypes\" \".json\" \"\"
  WriteRegStr SHCTX \"${csv_key}\\OpenWithList\\varnholt.exe\" \"\" \"\"
  WriteRegStr SHCTX \"${json_key}\\OpenWithList\\varnholt.exe\" \"\" \"\"
  ${notify_explorer}
")
# The "Open with" keys go, and the .csv and .json keys too where nothing else
# is left in them (/ifempty: no subkeys and no values); so does the vendor's
# key, which CPack's own commands leave behind.
set(CPACK_NSIS_EXTRA_UNINSTALL_COMMANDS "
  DeleteRegKey SHCTX \"${application_key}\"
  DeleteRegKey SHCTX \"${csv_key}\\OpenWithList\\varnholt.exe\"
  DeleteRegKey /ifempty SHCTX \"${csv_key}\\OpenWithList\"
  DeleteRegKey /ifempty SHCTX \"${csv_key}\"
  DeleteRegKey SHCTX \"${json_key}\\OpenWithList\\varnholt.exe\"
  DeleteRegKey /ifempty SHCTX \"${json_key}\\OpenWithList\"
  DeleteRegKey /ifempty SHCTX \"${json_key}\"
  DeleteRegKey SHCTX \"${vendor_key}\\${CPACK_PACKAGE_INSTALL_REGISTRY_KEY}\"
  DeleteRegKey /ifempty SHCTX \"${vendor_key}\"
  ${notify_explorer}
")
include(CPack)
