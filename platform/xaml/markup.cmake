# zintrel_markup(target files... [TYPES libraries...]): copies markup files beside the
# target's executable, where "ms-appx:///Name.xaml" finds them, again whenever a file changes.
# Markup names types that register themselves during static initialisation, so the target takes
# every object file of the UI layer and of the TYPES libraries (their archive copies are then
# never pulled in).
function(zintrel_markup target)
  cmake_parse_arguments(ARG "" "" "TYPES" ${ARGN})
  foreach(library IN LISTS ARG_TYPES ZINTREL_XAML_LIBRARIES)
    target_sources(${target} PRIVATE $<TARGET_OBJECTS:${library}>)
  endforeach()
  get_target_property(dir ${target} RUNTIME_OUTPUT_DIRECTORY)
  if(NOT dir)
    get_target_property(dir ${target} BINARY_DIR)
  endif()
  set(copies)
  foreach(file IN LISTS ARG_UNPARSED_ARGUMENTS)
    get_filename_component(source ${file} ABSOLUTE)
    get_filename_component(name ${file} NAME)
    add_custom_command(OUTPUT ${dir}/${name}
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${source} ${dir}/${name}
      DEPENDS ${source} VERBATIM)
    list(APPEND copies ${dir}/${name})
  endforeach()
  add_custom_target(${target}_markup DEPENDS ${copies})
  add_dependencies(${target} ${target}_markup)
endfunction()
