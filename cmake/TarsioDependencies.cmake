# Debian's JUCE leaves the codecs out: link the system's own.
pkg_check_modules(TARSIO_CODECS REQUIRED IMPORTED_TARGET flac vorbis vorbisfile vorbisenc ogg)
add_library(tarsio::codecs ALIAS PkgConfig::TARSIO_CODECS)

pkg_check_modules(TARSIO_EBUR128 REQUIRED IMPORTED_TARGET libebur128)
add_library(tarsio::ebur128 ALIAS PkgConfig::TARSIO_EBUR128)

# Finds an installed face for each character the embedded typeface lacks.
pkg_check_modules(TARSIO_FONTCONFIG REQUIRED IMPORTED_TARGET fontconfig)
add_library(tarsio::fontconfig ALIAS PkgConfig::TARSIO_FONTCONFIG)
