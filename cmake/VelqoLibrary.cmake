# velqo_library(TARGET SOURCES src... [LINK lib...] [LINK_PRIVATE lib...])
# One static library of the product. Its users include its headers by their
# path from the tree's root (box/BoxSession.h), and get what it links publicly.
function(velqo_library target)
    cmake_parse_arguments(L "" "" "SOURCES;LINK;LINK_PRIVATE" ${ARGN})
    add_library(${target} STATIC ${L_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${L_LINK} PRIVATE ${L_LINK_PRIVATE})
endfunction()
