# pelko_engine_part(NAME [DEPS lib...])
# Makes the static library pelko_NAME from every .cpp in src/engine/NAME.
# A folder without sources yet becomes an interface library, so later work only
# has to drop files in.
function(pelko_engine_part name)
  cmake_parse_arguments(P "" "" "DEPS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/${name}/*.cpp")
  set(target pelko_${name})
  if(srcs)
    add_library(${target} STATIC ${srcs})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${target} PUBLIC ${P_DEPS} Threads::Threads)
    pelko_forbid_qt(${target})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(${target} INTERFACE ${P_DEPS})
  endif()
  set_property(GLOBAL APPEND PROPERTY PELKO_ENGINE_PARTS ${target})
endfunction()

# The engine links no Qt: stop the configure step if a Qt library sneaks into
# an engine target's link list.
function(pelko_forbid_qt target)
  get_target_property(libs ${target} LINK_LIBRARIES)
  foreach(lib IN LISTS libs)
    if(lib MATCHES "^Qt")
      message(FATAL_ERROR "${target} links ${lib}: the engine must not depend on Qt")
    endif()
  endforeach()
endfunction()
