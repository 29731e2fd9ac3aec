# The installed component: libraries, public headers and the VorMotorCtl CMake package.
#
# A library joins the package with one call in its own CMakeLists.txt:
#   vor_export_library(<target> [PART <part>] [INTERNAL <headers...>] [FIND_DEPENDENCY "<find args>"...]
#                      [GENERATED <headers under ${PROJECT_BINARY_DIR}/generated>...])
# It is installed as VorMotorCtl::<folder name> (vormotor/panel -> VorMotorCtl::panel), archive
# libvormotor_<folder name>.a, with every header of its folder except the INTERNAL ones under
# <prefix>/include/vormotor/<folder>/. FIND_DEPENDENCY names what the consumer's find_package must
# find for the library, one find_dependency() argument list per entry ("SQLite3", "Qt6 COMPONENTS
# Widgets"): its public dependencies and, the libraries being static, the private ones that are linked.
# A PART other than the default "main" is loaded only when its dependencies are found or it is asked
# for by component; vor_write_package() at the end of the top-level CMakeLists.txt writes the package.
include_guard(GLOBAL)
# Debian's multiarch folder (lib/x86_64-linux-gnu) for the libraries and the CMake package, whatever
# the prefix at configure time: cpack chooses /usr only when it packs, too late for GNUInstallDirs.
if(CMAKE_SYSTEM_NAME STREQUAL "Linux" AND CMAKE_LIBRARY_ARCHITECTURE AND EXISTS /etc/debian_version
   AND NOT DEFINED CACHE{CMAKE_INSTALL_LIBDIR})
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE} CACHE PATH "Object code libraries")
endif()
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

# The folder holding vormotor/: every public include is "vormotor/<module>/X.h" relative to it.
cmake_path(GET CMAKE_CURRENT_LIST_DIR PARENT_PATH VOR_SOURCE_ROOT)
set(VOR_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/VorMotorCtl)
set(VOR_DATA_DIR ${CMAKE_INSTALL_DATADIR}/vormotor)

function(vor_export_library target)
  cmake_parse_arguments(ARG "" "PART" "INTERNAL;FIND_DEPENDENCY;GENERATED" ${ARGN})
  if(NOT ARG_PART)
    set(ARG_PART main)
  endif()
  cmake_path(GET CMAKE_CURRENT_SOURCE_DIR FILENAME module)

  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  foreach(internal IN LISTS ARG_INTERNAL)
    list(REMOVE_ITEM headers ${CMAKE_CURRENT_SOURCE_DIR}/${internal})
  endforeach()
  get_target_property(type ${target} TYPE)
  set(scope PUBLIC)
  if(type STREQUAL "INTERFACE_LIBRARY")
    set(scope INTERFACE)
  endif()
  target_sources(${target} ${scope} FILE_SET HEADERS BASE_DIRS ${VOR_SOURCE_ROOT} FILES ${headers})
  target_compile_features(${target} ${scope} cxx_std_20)
  set(file_sets FILE_SET HEADERS)
  if(ARG_GENERATED)
    # A file set of its own: the build folder may lie inside the source tree, and the base folders of
    # one file set must not nest.
    target_sources(${target} ${scope} FILE_SET generated TYPE HEADERS BASE_DIRS ${PROJECT_BINARY_DIR}/generated
      FILES ${ARG_GENERATED})
    list(APPEND file_sets FILE_SET generated)
  endif()
  set_target_properties(${target} PROPERTIES EXPORT_NAME ${module} OUTPUT_NAME vormotor_${module})
  add_library(VorMotorCtl::${module} ALIAS ${target})

  # Default places: the libraries in lib/, the headers in include/.
  install(TARGETS ${target} EXPORT VorMotorCtl-${ARG_PART} ${file_sets})

  set_property(GLOBAL APPEND PROPERTY VOR_PACKAGE_PARTS ${ARG_PART})
  set_property(GLOBAL APPEND PROPERTY VOR_PACKAGE_TARGETS_${ARG_PART} ${module})
  set_property(GLOBAL APPEND PROPERTY VOR_PACKAGE_DEPENDENCIES_${ARG_PART} ${ARG_FIND_DEPENDENCY})
endfunction()

# vor_write_package(): the targets files of every part, VorMotorCtlConfig.cmake and its version file.
function(vor_write_package)
  get_property(parts GLOBAL PROPERTY VOR_PACKAGE_PARTS)
  list(REMOVE_DUPLICATES parts)
  set(VOR_PACKAGE_PARTS "set(_vor_parts ${parts})\n")
  foreach(part IN LISTS parts)
    get_property(targets GLOBAL PROPERTY VOR_PACKAGE_TARGETS_${part})
    get_property(dependencies GLOBAL PROPERTY VOR_PACKAGE_DEPENDENCIES_${part})
    list(REMOVE_DUPLICATES dependencies)
    list(TRANSFORM dependencies PREPEND "[=[")
    list(TRANSFORM dependencies APPEND "]=]")
    list(JOIN dependencies " " dependencies)
    string(APPEND VOR_PACKAGE_PARTS
      "set(_vor_targets_${part} ${targets})\n"
      "set(_vor_dependencies_${part} ${dependencies})\n")
    install(EXPORT VorMotorCtl-${part} NAMESPACE VorMotorCtl:: DESTINATION ${VOR_PACKAGE_DIR}
      FILE VorMotorCtl-${part}-targets.cmake)
  endforeach()

  configure_package_config_file(${VOR_SOURCE_ROOT}/cmake/VorMotorCtlConfig.cmake.in
    ${PROJECT_BINARY_DIR}/VorMotorCtlConfig.cmake INSTALL_DESTINATION ${VOR_PACKAGE_DIR})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/VorMotorCtlConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/VorMotorCtlConfig.cmake ${PROJECT_BINARY_DIR}/VorMotorCtlConfigVersion.cmake
    DESTINATION ${VOR_PACKAGE_DIR})
endfunction()
