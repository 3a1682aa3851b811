# Adds the sources of the calling folder (one layer of the module) to the module's core library. Files
# named Foo_win.cpp or Foo_posix.cpp are the system-service variants of Foo.h; only the one for the
# platform being built is taken. A layer folder without sources is a mistake in the tree, not an
# optional part, so it stops the configuration.
function(corvane_add_layer_sources)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    list(FILTER sources EXCLUDE REGEX "_${CORVANE_OTHER_PLATFORM}\\.cpp$")
    if(NOT sources)
        message(FATAL_ERROR "The layer ${CMAKE_CURRENT_SOURCE_DIR} has no sources for this platform.")
    endif()
    target_sources(corvane_core PRIVATE ${sources})
endfunction()
