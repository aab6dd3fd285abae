# The layers of the program, held by the build: each library sees the
# folders of its own layer and, through what it links, those below it, and
# no others. A core file that includes a window header, or the tool that
# includes one, does not compile.
#
#   core            QtCore only: the rules both front ends share
#   cli, platform   over core: the tool; the desktop services
#   ui, inputs, savebar, helpwindows, app   over platform and core: the window
#
# Each library gets a folder of links to its own folders, in place of the
# project's root, so that includes keep their readable form
# (#include "core/jobpath.h").
function(tessiva_layer target)
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    file(MAKE_DIRECTORY ${root})
    foreach(folder IN LISTS ARGN)
        if(NOT EXISTS ${root}/${folder})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
        endif()
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()
