# What the Windows build adds to kestrane.exe and around it: the icon and the
# version information as Windows resources, and the two ways the program is
# handed out, under the build folder:
#   kestrane-VERSION-x64.msi           the installer (wixl, from kestrane.wxs)
#   kestrane-VERSION-windows-x64.zip   the program, the sample log and the notices
# Both are built with the program; the targets kestrane_msi and kestrane_zip
# build one of them alone.
#
# The icon is drawn by the same code as the window's icon. A cross build
# cannot run what it builds, so the Linux build's renderer draws it:
# KESTRANE_RENDER_ICON names that program (the Linux build goes first).

set(KESTRANE_RENDER_ICON "${PROJECT_SOURCE_DIR}/build/Source/resources/kestrane_render_icon" CACHE FILEPATH
    "The Linux build's kestrane_render_icon, which draws the icon for the Windows resources")
if(NOT EXISTS "${KESTRANE_RENDER_ICON}")
  message(FATAL_ERROR "The Windows icon is drawn by the Linux build's renderer, and there is none at "
                      "${KESTRANE_RENDER_ICON}: build the Linux side first (make build), or set KESTRANE_RENDER_ICON.")
endif()
find_program(KESTRANE_ICOTOOL icotool REQUIRED)          # icoutils
find_program(KESTRANE_WIXL wixl REQUIRED)
find_program(KESTRANE_STRIP NAMES x86_64-w64-mingw32-strip REQUIRED)

set(KESTRANE_PUBLISHER "The Kestrane developers" CACHE STRING
    "Who publishes Kestrane: the exe's company name and the installer's publisher")
# The copyright line exists once, in the notices every package carries.
file(STRINGS ${CMAKE_CURRENT_LIST_DIR}/copyright KESTRANE_COPYRIGHT REGEX "^Copyright " LIMIT_COUNT 1)
string(REGEX REPLACE "\\.$" "" KESTRANE_COPYRIGHT "${KESTRANE_COPYRIGHT}")
# Windows counts versions in three or four numbers: 1.0 is 1.0.0.
set(patch 0)
if(NOT "${PROJECT_VERSION_PATCH}" STREQUAL "")
  set(patch ${PROJECT_VERSION_PATCH})
endif()
set(KESTRANE_WINDOWS_VERSION ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${patch})
set(KESTRANE_VERSION_COMMAS ${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${patch},0)

set(windows_dir ${PROJECT_BINARY_DIR}/windows)

# The icon: 16, 32 and 48 pixels as bitmaps, which every part of Windows
# reads, and 256 as PNG, as Windows keeps its large icons.
set(KESTRANE_ICO ${windows_dir}/kestrane.ico)
set(icon_pngs)
foreach(size 16 32 48 256)
  set(png ${windows_dir}/icon/kestrane-${size}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${KESTRANE_RENDER_ICON} ${size} ${png}
    DEPENDS ${KESTRANE_RENDER_ICON}
    COMMENT "Rendering the ${size}-pixel Windows icon"
    VERBATIM)
  list(APPEND icon_pngs ${png})
endforeach()
list(POP_BACK icon_pngs png256)
add_custom_command(OUTPUT ${KESTRANE_ICO}
  COMMAND ${KESTRANE_ICOTOOL} --create --output=${KESTRANE_ICO} ${icon_pngs} --raw=${png256}
  DEPENDS ${icon_pngs} ${png256}
  COMMENT "Packing the Windows icon"
  VERBATIM)
add_custom_target(kestrane_windows_icon DEPENDS ${KESTRANE_ICO})

enable_language(RC)
configure_file(${CMAKE_CURRENT_LIST_DIR}/kestrane.rc.in ${windows_dir}/kestrane.rc @ONLY)
target_sources(kestrane PRIVATE ${windows_dir}/kestrane.rc)
set_source_files_properties(${windows_dir}/kestrane.rc TARGET_DIRECTORY kestrane PROPERTIES OBJECT_DEPENDS ${KESTRANE_ICO})
add_dependencies(kestrane kestrane_windows_icon)

# The notices, with Windows' line ends so that every editor there shows them,
# and the full text of the licences Qt is used under, since it is linked in.
set(KESTRANE_QT_VERSION ${Qt6_VERSION})
configure_file(${CMAKE_CURRENT_LIST_DIR}/NOTICES.txt.in ${windows_dir}/NOTICES.txt.lf @ONLY)
set(licences /usr/share/common-licenses/LGPL-3 /usr/share/common-licenses/GPL-3)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${licences})
file(READ ${windows_dir}/NOTICES.txt.lf notices)
foreach(licence ${licences})
  file(READ ${licence} text)
  string(APPEND notices "\n\n${text}")
endforeach()
string(REPLACE "\n" "\r\n" notices "${notices}")
file(WRITE ${windows_dir}/NOTICES.txt.new "${notices}")
# rewritten only when it changes, so the packages are not made again for nothing
file(COPY_FILE ${windows_dir}/NOTICES.txt.new ${windows_dir}/NOTICES.txt ONLY_IF_DIFFERENT)
set(notices_file ${windows_dir}/NOTICES.txt)

# Signing, where the publisher names a certificate (PKCS#12, with the file
# holding its password): kestrane.exe before it is packed, then the MSI,
# Authenticode with SHA-256 by osslsigncode, timestamped where a server is
# named. Without a certificate nothing is signed.
set(KESTRANE_SIGN_PKCS12 "" CACHE FILEPATH "The publisher's code-signing certificate and key (PKCS#12); empty: unsigned")
set(KESTRANE_SIGN_PASSWORD_FILE "" CACHE FILEPATH "The file whose first line is the certificate's password")
set(KESTRANE_SIGN_TIMESTAMP_URL "" CACHE STRING "An RFC 3161 timestamp server; empty: no timestamp")
set(KESTRANE_SIGN_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/sign.sh) # the package check signs with it too
set(sign_exe)
set(sign_msi)
set(sign_inputs)
if(KESTRANE_SIGN_PKCS12)
  if(NOT EXISTS "${KESTRANE_SIGN_PKCS12}" OR NOT EXISTS "${KESTRANE_SIGN_PASSWORD_FILE}")
    message(FATAL_ERROR "Signing needs the certificate and its password file: "
                        "'${KESTRANE_SIGN_PKCS12}', '${KESTRANE_SIGN_PASSWORD_FILE}'")
  endif()
  find_program(KESTRANE_OSSLSIGNCODE osslsigncode REQUIRED)
  set(sign sh ${KESTRANE_SIGN_SCRIPT})
  set(sign_with ${KESTRANE_SIGN_PKCS12} ${KESTRANE_SIGN_PASSWORD_FILE} ${KESTRANE_SIGN_TIMESTAMP_URL})
  set(sign_inputs ${KESTRANE_SIGN_SCRIPT} ${KESTRANE_SIGN_PKCS12} ${KESTRANE_SIGN_PASSWORD_FILE})
endif()

# What both packages hand out is the program without its debugging symbols,
# signed where a certificate is named. One target makes it, so that the two
# packages never write it at once.
set(shipped_exe ${windows_dir}/shipped/kestrane.exe)
if(KESTRANE_SIGN_PKCS12)
  set(sign_exe COMMAND ${sign} ${shipped_exe} ${sign_with})
endif()
add_custom_command(OUTPUT ${shipped_exe}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${windows_dir}/shipped
  COMMAND ${KESTRANE_STRIP} -o ${shipped_exe} $<TARGET_FILE:kestrane>
  ${sign_exe}
  DEPENDS kestrane ${sign_inputs}
  COMMENT "Stripping kestrane.exe for the packages"
  VERBATIM)
add_custom_target(kestrane_shipped_exe DEPENDS ${shipped_exe})

# The product code is the version's own, worked out from the version: the
# same version always gives the same code, and every new one a new code, as
# a major upgrade needs.
string(UUID KESTRANE_PRODUCT_CODE NAMESPACE 0D58BA7B-4875-47B4-9C75-5920567A2063
       NAME "Kestrane ${KESTRANE_WINDOWS_VERSION} x64" TYPE SHA1 UPPER)
set(KESTRANE_MSI ${PROJECT_BINARY_DIR}/kestrane-${PROJECT_VERSION}-x64.msi)
if(KESTRANE_SIGN_PKCS12)
  set(sign_msi COMMAND ${sign} ${KESTRANE_MSI} ${sign_with})
endif()
add_custom_command(OUTPUT ${KESTRANE_MSI}
  COMMAND ${KESTRANE_WIXL} --arch x64 --output ${KESTRANE_MSI}
          --define ProductCode=${KESTRANE_PRODUCT_CODE} --define Version=${KESTRANE_WINDOWS_VERSION}
          --define "Publisher=${KESTRANE_PUBLISHER}" --define ExeFile=shipped/kestrane.exe
          --define IconFile=kestrane.ico --define NoticesFile=NOTICES.txt
          ${CMAKE_CURRENT_LIST_DIR}/kestrane.wxs
  ${sign_msi}
  # wixl finds its files from the folder it works in, and relative names only
  WORKING_DIRECTORY ${windows_dir}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/kestrane.wxs ${shipped_exe} ${KESTRANE_ICO} ${notices_file} ${sign_inputs}
  COMMENT "Building the installer kestrane-${PROJECT_VERSION}-x64.msi"
  VERBATIM)
add_custom_target(kestrane_msi ALL DEPENDS ${KESTRANE_MSI})
add_dependencies(kestrane_msi kestrane_shipped_exe)

# The zip unpacks into one folder of its own.
set(zip_folder kestrane-${PROJECT_VERSION}-windows-x64)
set(KESTRANE_ZIP ${PROJECT_BINARY_DIR}/${zip_folder}.zip)
set(zip_stage ${windows_dir}/zip)
add_custom_command(OUTPUT ${KESTRANE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${zip_stage}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${zip_stage}/${zip_folder}/examples
  COMMAND ${CMAKE_COMMAND} -E copy ${shipped_exe} ${notices_file} ${zip_stage}/${zip_folder}
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/examples/probe-sample.dat ${zip_stage}/${zip_folder}/examples
  COMMAND ${CMAKE_COMMAND} -E rm -f ${KESTRANE_ZIP}
  COMMAND ${CMAKE_COMMAND} -E chdir ${zip_stage} ${CMAKE_COMMAND} -E tar cf ${KESTRANE_ZIP} --format=zip ${zip_folder}
  DEPENDS ${shipped_exe} ${notices_file} ${PROJECT_SOURCE_DIR}/examples/probe-sample.dat
  COMMENT "Packing ${zip_folder}.zip"
  VERBATIM)
add_custom_target(kestrane_zip ALL DEPENDS ${KESTRANE_ZIP})
add_dependencies(kestrane_zip kestrane_shipped_exe)
