# The date of the newest entry of packaging/changelog: what the manual pages, the metainfo and the
# package say of this release, so that rebuilding the same sources gives the same files.
# Sets DOVETREL_RELEASE_VERSION (the entry's version), DOVETREL_RELEASE_EPOCH (seconds since 1970)
# and DOVETREL_RELEASE_DATE (YYYY-MM-DD, UTC).
set(DOVETREL_CHANGELOG ${PROJECT_SOURCE_DIR}/packaging/changelog)
file(STRINGS ${DOVETREL_CHANGELOG} dovetrel_heading LIMIT_COUNT 1 REGEX "^dovetrel \\(")
file(STRINGS ${DOVETREL_CHANGELOG} dovetrel_trailer LIMIT_COUNT 1 REGEX "^ -- .*>  ")
if(NOT dovetrel_heading MATCHES "^dovetrel \\(([^)]+)\\)" )
  message(FATAL_ERROR "${DOVETREL_CHANGELOG}: the first line is not a \"dovetrel (VERSION)\" entry")
endif()
set(DOVETREL_RELEASE_VERSION ${CMAKE_MATCH_1})
if(NOT dovetrel_trailer MATCHES ">  (.+)$")
  message(FATAL_ERROR "${DOVETREL_CHANGELOG}: the first entry has no \" -- NAME <MAIL>  DATE\" line")
endif()
execute_process(COMMAND date -u -d "${CMAKE_MATCH_1}" +%s
                OUTPUT_VARIABLE DOVETREL_RELEASE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE dovetrel_date_status)
if(NOT dovetrel_date_status EQUAL 0 OR NOT DOVETREL_RELEASE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "${DOVETREL_CHANGELOG}: \"${CMAKE_MATCH_1}\" is not a date")
endif()
execute_process(COMMAND date -u -d @${DOVETREL_RELEASE_EPOCH} +%Y-%m-%d
                OUTPUT_VARIABLE DOVETREL_RELEASE_DATE OUTPUT_STRIP_TRAILING_WHITESPACE)
# A new entry configures the build again.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${DOVETREL_CHANGELOG})
