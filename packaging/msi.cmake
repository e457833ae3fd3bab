# Packs one kelvorin.scr into an MSI package with wixl, the same bytes from the
# same inputs on any day and in any folder (cmake -P, from packaging/CMakeLists.txt):
#   WIXL MSIBUILD  the tools;  FAKETIME  faketime, or empty: the dates are then today's
#   WXS SAVER ICON OUTPUT  the WiX source, the .scr and icon to pack, the package to write
#   STAGE  a folder of this package's own for the copies that go in
#   ARCH VERSION PRODUCT_CODE  as packaging/kelvorin.wxs takes them
#   EPOCH  the time every date in the package says (the commit's, SOURCE_DATE_EPOCH)
# wixl takes its dates from the clock and from the files' times, and its package
# code at random, whatever the source says; so the files' times are set, wixl runs
# under faketime, and the package code is set afterwards from what the package holds.
cmake_minimum_required(VERSION 3.21)

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
file(COPY_FILE ${SAVER} ${STAGE}/kelvorin.scr)
file(COPY_FILE ${ICON} ${STAGE}/kelvorin.ico)
file(REMOVE ${OUTPUT})
execute_process(COMMAND touch -d @${EPOCH} ${STAGE}/kelvorin.scr ${STAGE}/kelvorin.ico
                COMMAND_ERROR_IS_FATAL ANY)

# string(TIMESTAMP) gives SOURCE_DATE_EPOCH's time when it is set.
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP clock "%Y-%m-%d %H:%M:%S" UTC)
set(frozen ${CMAKE_COMMAND} -E env TZ=UTC)
# With -f the clock stands still at that time; without it, it starts there and
# runs on, and a package that takes a second longer to write has other dates.
if(FAKETIME)
  list(APPEND frozen ${FAKETIME} -f "${clock}")
endif()

# The package's revision number is its package code: a name-based GUID of the
# saver's bytes, the version and the architecture, so a changed package gets a
# new one, as Windows Installer requires.
file(SHA256 ${STAGE}/kelvorin.scr saver_hash)
string(UUID package_code NAMESPACE 0E5C7D42-93B1-4F6A-8C2E-7A1D95B3F604
       NAME "${saver_hash} ${VERSION} ${ARCH}" TYPE SHA1 UPPER)
if(ARCH STREQUAL "x64")
  set(template "x64;1033")
else()
  set(template "Intel;1033")
endif()

# wixl finds source files only by relative paths.
execute_process(COMMAND ${frozen} ${WIXL} --arch ${ARCH} -o ${OUTPUT}
                        -D Arch=${ARCH} -D Version=${VERSION} -D ProductCode=${PRODUCT_CODE}
                        -D SaverFile=kelvorin.scr -D IconFile=kelvorin.ico ${WXS}
                WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
# wixl leaves the file's version out of the File table; without it Windows
# Installer takes kelvorin.scr as unversioned and keeps a copy already there.
execute_process(COMMAND ${frozen} ${MSIBUILD} ${OUTPUT}
                        -q "UPDATE File SET Version='${VERSION}.0.0', Language='1033' WHERE File='kelvorin.scr'"
                COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${frozen} ${MSIBUILD} ${OUTPUT}
                        -s "Kelvorin Power Saver ${VERSION}" "Kelvorin Software" "${template}" "{${package_code}}"
                COMMAND_ERROR_IS_FATAL ANY)
