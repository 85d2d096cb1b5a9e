# VELQO_VERSION: the program's version ("1.001"), for the packages. Read from
# the one header that the version resource, the login and the log take it from,
# so that the .exe and every package carry the same number.
set(VELQO_VERSION_SOURCE ${PROJECT_SOURCE_DIR}/base/Version.h)
set(VELQO_VERSION_PATTERN "#define VELQO_VERSION_TEXT \"([0-9]+\\.[0-9]+)\"")

file(STRINGS ${VELQO_VERSION_SOURCE} version_line REGEX "${VELQO_VERSION_PATTERN}")
if(NOT version_line MATCHES "${VELQO_VERSION_PATTERN}")
    message(FATAL_ERROR "No version found in ${VELQO_VERSION_SOURCE}")
endif()
set(VELQO_VERSION ${CMAKE_MATCH_1})
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${VELQO_VERSION_SOURCE})
