# The layers of the program, held by the build: each library sees the
# folders of its own layer and, through what it links, those below it, and
# no others. A core file that includes a window header, or the tool that
# includes one, does not compile.
#
#   core/...        QtCore only: the rules both front ends share, one
#                   library for each subject (core/CMakeLists.txt)
#   cli, platform   over core: the tool; the desktop services
#   ui              over core: what the window's classes share
#   inputs          over ui and platform: the job's inputs
#   helpwindows     over ui: the help and About windows
#   savebar         over ui and platform: the save button and status line
#   app             over inputs, savebar and helpwindows: start-up, the main
#                   window
#
# The QtCore-only libraries are also kept from the Gui and Widgets headers
# that Qt's include root would reach (tessiva_qtcore_only).
#
# Each library gets a folder of links to its own folders, in place of the
# project's root, so that includes keep their readable form
# (#include "core/job/jobpath.h").
function(tessiva_layer target)
    set(root ${CMAKE_BINARY_DIR}/layers/${target})
    file(MAKE_DIRECTORY ${root})
    foreach(folder IN LISTS ARGN)
        if(NOT EXISTS ${root}/${folder})
            get_filename_component(parent ${root}/${folder} DIRECTORY)
            file(MAKE_DIRECTORY ${parent})
            file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
        endif()
    endforeach()
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
        target_include_directories(${target} PRIVATE ${root})
    elseif(type STREQUAL "INTERFACE_LIBRARY")
        target_include_directories(${target} INTERFACE ${root})
    else()
        target_include_directories(${target} PUBLIC ${root})
    endif()
endfunction()

# A folder ahead of Qt's include root whose QtGui and QtWidgets global
# headers stop the build: every header of those modules includes one first.
add_library(tessiva_qtcore_only INTERFACE)
target_include_directories(tessiva_qtcore_only BEFORE INTERFACE ${PROJECT_SOURCE_DIR}/cmake/qtcoreonly)
