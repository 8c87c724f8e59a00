# vantor_link_listed_libraries(TARGET SOURCE MARKER)
# Links TARGET with the project libraries that SOURCE names in a comment line such as
# "// bench-libs: s5mon vantor_app" (MARKER is "bench-libs" there).
function(vantor_link_listed_libraries target source marker)
  file(STRINGS ${source} libs_line REGEX "^// ${marker}:")
  if(libs_line)
    string(REPLACE "// ${marker}:" "" libs "${libs_line}")
    separate_arguments(libs)
    target_link_libraries(${target} PRIVATE ${libs})
  endif()
endfunction()
