# Fails when an include between folders of src/ runs up or sideways, or when a core file
# includes a Qt Widgets header.
# cmake -DSRC=src -DLAYERS="a,b|c|d,e" -DCORE_LAYERS=2 -DWIDGETS_DIR=<QtWidgets include dir>
#       -P check_layers.cmake
# LAYERS lists the folders from the bottom up, "|" between layers and "," between the folders
# of one layer; a folder includes its own headers and those of lower layers only. The first
# CORE_LAYERS layers make up the core library and its programs.
string(REPLACE "|" ";" layers "${LAYERS}")

set(folders "")
set(rank 0)
foreach(layer ${layers})
    string(REPLACE "," ";" members "${layer}")
    foreach(dir ${members})
        list(APPEND folders ${dir})
        set(rank_${dir} ${rank})
    endforeach()
    math(EXPR rank "${rank} + 1")
endforeach()

# The folder a header belongs to: the longest folder its path starts with.
function(folder_of header out)
    set(found "")
    foreach(dir ${folders})
        string(LENGTH "${dir}" length)
        string(LENGTH "${found}" found_length)
        if(header MATCHES "^${dir}/[^/]+$" AND length GREATER found_length)
            set(found ${dir})
        endif()
    endforeach()
    set(${out} "${found}" PARENT_SCOPE)
endfunction()

set(faults "")
foreach(dir ${folders})
    # Only the folder's own files: a subfolder is a folder of its own.
    file(GLOB sources "${SRC}/${dir}/*.h" "${SRC}/${dir}/*.cpp")
    foreach(source ${sources})
        file(RELATIVE_PATH where "${SRC}" "${source}")
        file(STRINGS "${source}" includes REGEX "^[ \t]*#[ \t]*include")
        foreach(line ${includes})
            string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]+)[>\"].*" "\\1" header "${line}")
            if(rank_${dir} LESS CORE_LAYERS)
                if(header MATCHES "^QtWidgets/" OR (WIDGETS_DIR AND NOT header MATCHES "/"
                                                    AND EXISTS "${WIDGETS_DIR}/${header}"))
                    string(APPEND faults "  ${where}: ${header} (a widget header in the core)\n")
                endif()
            endif()
            folder_of("${header}" target)
            if(target AND NOT target STREQUAL dir AND NOT rank_${target} LESS rank_${dir})
                string(APPEND faults "  ${where}: ${header} (${target} is not below ${dir})\n")
            endif()
        endforeach()
    endforeach()
endforeach()

if(faults)
    message(FATAL_ERROR "Includes that do not point down:\n${faults}")
endif()
