# add_gzipped_files(TARGET DIR FILE...): a target, built by default, that writes DIR/NAME.gz
# for each FILE with gzip -9n, as Debian wants manual pages and changelogs: no name and no
# time stamp inside, so that a rebuild gives the same bytes. TARGET_files lists what it
# writes, for install().
include_guard(GLOBAL)
find_program(GZIP_PROGRAM gzip REQUIRED)

function(add_gzipped_files target dir)
  set(outputs)
  foreach(file ${ARGN})
    get_filename_component(source ${file} ABSOLUTE)
    get_filename_component(name ${file} NAME)
    set(output ${dir}/${name}.gz)
    add_custom_command(OUTPUT ${output}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
      COMMAND ${GZIP_PROGRAM} -9n -c ${source} > ${output}
      DEPENDS ${source}
      VERBATIM)
    list(APPEND outputs ${output})
  endforeach()
  add_custom_target(${target} ALL DEPENDS ${outputs})
  set(${target}_files ${outputs} PARENT_SCOPE)
endfunction()
