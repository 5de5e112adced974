# ZAREL_DATA_VERSION: the version of the data the builder writes (what `zarel-dict --data-version`
# prints without a suffix), read from the builder's source so the launcher knows it without
# starting the builder. CMake runs again when that source changes, so the two never differ; a
# test compares them. Left empty when it cannot be found: the launcher then asks the builder.
set(ZAREL_DATA_VERSION_SOURCE ${PROJECT_SOURCE_DIR}/tools/zarel-dict/cli.cpp)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ZAREL_DATA_VERSION_SOURCE})
file(STRINGS ${ZAREL_DATA_VERSION_SOURCE} ZAREL_DATA_VERSION_LINE
     REGEX "kDataVersion = \"[^\"]+\"")
set(ZAREL_DATA_VERSION "")
list(LENGTH ZAREL_DATA_VERSION_LINE ZAREL_DATA_VERSION_LINES)
if(ZAREL_DATA_VERSION_LINES EQUAL 1
   AND ZAREL_DATA_VERSION_LINE MATCHES "kDataVersion = \"([A-Za-z0-9._-]+)\"")
    set(ZAREL_DATA_VERSION "${CMAKE_MATCH_1}")
else()
    message(WARNING "The data version was not found in ${ZAREL_DATA_VERSION_SOURCE}; "
                    "the launcher asks zarel-dict for it on every start.")
endif()
