# The layers of the program: one static library per source folder, sources
# picked up by folder, each linking only the layers below it that it
# includes. korvo_layers(PREFIX ROOT) makes them as PREFIX<folder> from the
# tree at ROOT (the main build and the fuzz build).
#   recordio      record formatter and reader, units and files
#   subs99        numerical routines
#   model         the rotor model, its file records, the analysis options
#   matrx99       finite-element set-up: the system matrices of a run and of a speed
#   analyses      the step and end-of-pass work of each analysis, result files
#   inputs99      front end: menus, prompts, dialogs, editor, listing
#   report        the run report and the closing messages of a run
#   driver        main loop, analysis run and speed sweep
# (subs99/arrays.h, the table types, is a header of its own that model uses
# without linking subs99.)
function(korvo_layers prefix root)
  # The sweep runs its speed steps on standard-library threads.
  find_package(Threads REQUIRED)
  set(below_subs99 recordio)
  set(below_model recordio)
  set(below_matrx99 model subs99)
  set(below_analyses matrx99 model subs99 recordio)
  set(below_inputs99 model recordio)
  set(below_report analyses inputs99 matrx99 model recordio)
  set(below_driver analyses inputs99 matrx99 model report subs99 recordio)
  foreach(lib recordio subs99 model matrx99 analyses inputs99 report driver)
    file(GLOB sources CONFIGURE_DEPENDS ${root}/${lib}/*.cpp)
    list(FILTER sources EXCLUDE REGEX ".*/korvo\\.cpp$")
    add_library(${prefix}${lib} STATIC ${sources})
    target_include_directories(${prefix}${lib} PUBLIC ${root})
    foreach(below IN LISTS below_${lib})
      target_link_libraries(${prefix}${lib} PUBLIC ${prefix}${below})
    endforeach()
    if(lib STREQUAL "driver")
      target_link_libraries(${prefix}${lib} PUBLIC Threads::Threads)
    endif()
  endforeach()
endfunction()
