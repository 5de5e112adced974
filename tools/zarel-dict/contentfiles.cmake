# The content the data builder installs, compiled into it: every file of data/hlp and the two key
# tables of data/rtf become byte arrays of a generated source, so zarel-dict needs no data folder
# at run time. CMake re-runs when one of the files changes or a help file is added or removed.
# Sets ZAREL_CONTENT_SOURCE to the generated file (in the including folder's binary folder).
file(GLOB ZAREL_HELP_FILES LIST_DIRECTORIES false CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/data/hlp/*)
list(SORT ZAREL_HELP_FILES)
set(ZAREL_CONTENT_FILES
    ${ZAREL_HELP_FILES}
    ${PROJECT_SOURCE_DIR}/data/rtf/trans_lines.tsv
    ${PROJECT_SOURCE_DIR}/data/rtf/abbreviations.tsv)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZAREL_CONTENT_FILES})

set(ZAREL_CONTENT_ARRAYS "")
set(ZAREL_CONTENT_ENTRIES "")
set(index 0)
foreach(file IN LISTS ZAREL_CONTENT_FILES)
    file(RELATIVE_PATH relative ${PROJECT_SOURCE_DIR}/data ${file})
    file(READ ${file} hex HEX)
    string(LENGTH "${hex}" hexLength)
    math(EXPR size "${hexLength} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
    # A final 0 keeps the array non-empty for an empty file.
    string(APPEND ZAREL_CONTENT_ARRAYS "const unsigned char file${index}[] = {\n${bytes}0};\n")
    string(APPEND ZAREL_CONTENT_ENTRIES
           "    { \"${relative}\", { reinterpret_cast<const char *>(file${index}), ${size} } },\n")
    math(EXPR index "${index} + 1")
endforeach()
configure_file(${CMAKE_CURRENT_LIST_DIR}/contentfiles.cpp.in
               ${CMAKE_CURRENT_BINARY_DIR}/contentfiles.cpp @ONLY)
set(ZAREL_CONTENT_SOURCE ${CMAKE_CURRENT_BINARY_DIR}/contentfiles.cpp)
