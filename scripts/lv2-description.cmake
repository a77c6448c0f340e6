# Corrects the description that JUCE 7.0.5 writes into the LV2 bundle (dsp.ttl), after each build:
#
# - A stepped parameter's scale points carry the normalised positions 0, 1/(n-1) ... 1, while
#   hosts read them, like lv2:minimum, lv2:maximum and the values they send, in the parameter's
#   own range. Point k of a parameter stepping by 1 from its minimum gets the value minimum + k.
# - The maintainer's homepage and e-mail are written as empty addresses, which hosts resolve to
#   the file's own address. The e-mail is left out; the homepage is the maker's web address, or
#   left out when there is none.
#
# cmake -DDESCRIPTION=<bundle>/dsp.ttl [-DHOMEPAGE=https://...] -P lv2-description.cmake
#
# Turtle is full of semicolons, so the text is never handled as a CMake list.

cmake_minimum_required(VERSION 3.22)

if(NOT EXISTS "${DESCRIPTION}")
    message(FATAL_ERROR "No LV2 description at '${DESCRIPTION}'")
endif()

file(READ "${DESCRIPTION}" original)

# Gives the scale points of one parameter's block the values they stand for.
function(place_scale_points block_variable)
    set(block "${${block_variable}}")
    string(REGEX MATCH "^plug:[^\n]*" parameter "${block}")
    string(REGEX MATCH "lv2:minimum ([^ \t\n]+)" ignored "${block}")
    set(minimum "${CMAKE_MATCH_1}")
    string(REGEX MATCH "lv2:maximum ([^ \t\n]+)" ignored "${block}")
    set(maximum "${CMAKE_MATCH_1}")

    if(NOT minimum MATCHES "^-?[0-9]+$" OR NOT maximum MATCHES "^-?[0-9]+$")
        message(FATAL_ERROR "${parameter}: scale points need a range of whole numbers, not ${minimum} to ${maximum}")
    endif()

    set(placed "")
    set(count 0)

    while(TRUE)
        string(FIND "${block}" "rdf:value " at)

        if(at EQUAL -1)
            break()
        endif()

        math(EXPR number_start "${at} + 10")
        string(SUBSTRING "${block}" 0 ${number_start} head)
        string(SUBSTRING "${block}" ${number_start} -1 block)
        string(REGEX MATCH "^[-+.0-9eE]+" number "${block}")
        string(LENGTH "${number}" number_length)
        string(SUBSTRING "${block}" ${number_length} -1 block)

        math(EXPR value "${minimum} + ${count}")
        string(APPEND placed "${head}${value}")
        math(EXPR count "${count} + 1")
    endwhile()

    math(EXPR span "${maximum} - ${minimum} + 1")

    if(NOT count EQUAL span)
        message(FATAL_ERROR "${parameter}: ${count} scale points do not step by 1 from ${minimum} to ${maximum}")
    endif()

    set(${block_variable} "${placed}${block}" PARENT_SCOPE)
endfunction()

# The file is a run of blocks separated by blank lines, one block per parameter.
set(corrected "")
set(rest "${original}")

while(NOT rest STREQUAL "")
    string(FIND "${rest}" "\n\n" cut)

    if(cut EQUAL -1)
        set(block "${rest}")
        set(rest "")
    else()
        math(EXPR cut "${cut} + 2")
        string(SUBSTRING "${rest}" 0 ${cut} block)
        string(SUBSTRING "${rest}" ${cut} -1 rest)
    endif()

    if(block MATCHES "^plug:[^\n]*\n\ta lv2:Parameter" AND block MATCHES "lv2:scalePoint")
        place_scale_points(block)
    endif()

    string(APPEND corrected "${block}")
endwhile()

string(REPLACE "\t\tfoaf:mbox <> ;\n" "" corrected "${corrected}")

if(HOMEPAGE)
    string(REPLACE "\t\tfoaf:homepage <> ;\n" "\t\tfoaf:homepage <${HOMEPAGE}> ;\n" corrected "${corrected}")
else()
    string(REPLACE "\t\tfoaf:homepage <> ;\n" "" corrected "${corrected}")
endif()

if(NOT corrected STREQUAL original)
    file(WRITE "${DESCRIPTION}" "${corrected}")
endif()
