# Everything under resources/ is embedded; the typeface comes from Debian's fonts-league-spartan.
set(TARSIO_FONT_FILE "/usr/share/fonts/opentype/league-spartan/LeagueSpartan-Medium.otf"
    CACHE FILEPATH "The embedded interface typeface (League Spartan Medium)")
if(NOT EXISTS "${TARSIO_FONT_FILE}")
    message(FATAL_ERROR "Typeface not found at ${TARSIO_FONT_FILE}: run ./tarsio.sh setup")
endif()

file(GLOB TARSIO_RESOURCE_FILES CONFIGURE_DEPENDS
     "${CMAKE_SOURCE_DIR}/resources/*.png"
     "${CMAKE_SOURCE_DIR}/resources/*.jpg"
     "${CMAKE_SOURCE_DIR}/resources/*.csv")
juce_add_binary_data(tarsio_binary_data
    HEADER_NAME BinaryData.h
    NAMESPACE BinaryData
    SOURCES ${TARSIO_RESOURCE_FILES} "${TARSIO_FONT_FILE}")
set_target_properties(tarsio_binary_data PROPERTIES POSITION_INDEPENDENT_CODE ON)
