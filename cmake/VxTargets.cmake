# Sources are picked up by directory so that a new file needs no edit here.
function(vx_glob_sources out)
  set(result)
  foreach(dir IN LISTS ARGN)
    file(GLOB found CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/${dir}/*.cpp")
    list(APPEND result ${found})
  endforeach()
  list(SORT result)
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# A layer built once as objects (<name>_objects), which the driver plug-in
# takes whole, and as the static archive <name>, which tests, benchmarks and
# the installer link; both see the project root as include root.
function(vx_add_layer name)
  add_library(${name}_objects OBJECT ${ARGN})
  add_library(${name} STATIC $<TARGET_OBJECTS:${name}_objects>)
  foreach(target ${name}_objects ${name})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${target} PUBLIC _FILE_OFFSET_BITS=64)
  endforeach()
endfunction()
