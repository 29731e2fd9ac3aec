# `cpack -G DEB` in the build folder of the package preset: the installed tree (libraries, headers,
# CMake package, drive profiles) as one Debian development package under /usr, the libraries in the
# multiarch folder. That preset builds without debug information, so there is nothing to split off
# into a -dbg package.
set(CPACK_PACKAGE_NAME libvormotorctl-dev)
set(CPACK_PACKAGE_VENDOR "VorMotorCtl")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Motor settings panel and CRegistry for drive set-up applications (static libraries, headers, CMake package)")
set(CPACK_PACKAGE_CONTACT "VorMotorCtl developers <vormotorctl@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
# What find_package(VorMotorCtl) looks for on the consumer's side.
set(debian_depends libsqlite3-dev)
if(VOR_BUILD_QT)
  list(APPEND debian_depends qt6-base-dev)
endif()
list(JOIN debian_depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
set(CPACK_GENERATOR DEB)
include(CPack)
