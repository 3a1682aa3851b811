# Adds every source file of a subsystem folder to a target. Files named Foo_win.cpp or Foo_posix.cpp
# are the system-service variants of Foo.h; only the one for the platform being built is taken.
function(corvane_add_folder_sources target folder)
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${folder}/*.cpp)
    foreach(source IN LISTS sources)
        if(source MATCHES "_win\\.cpp$" AND NOT CORVANE_PLATFORM STREQUAL "win")
            continue()
        endif()
        if(source MATCHES "_posix\\.cpp$" AND NOT CORVANE_PLATFORM STREQUAL "posix")
            continue()
        endif()
        target_sources(${target} PRIVATE ${source})
    endforeach()
endfunction()
