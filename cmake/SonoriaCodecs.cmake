# Imported targets for the codec libraries the audio formats link: sonoria::ogg,
# sonoria::vorbis, sonoria::vorbisenc and sonoria::flac.
# Windows build: the static MinGW builds of scripts/deps.sh under SONORIA_DEPS_PREFIX (libFLAC
# static, hence FLAC__NO_DLL). Native check build: the sanitizer- and fuzzer-instrumented builds
# of scripts/deps-native.sh under SONORIA_NATIVE_DEPS_PREFIX (make check-native passes it), so
# the codecs' own parsing is covered and checked; without it, Debian's host packages.
include_guard(GLOBAL)

function(_sonoria_codec target prefix file)
  add_library(${target} STATIC IMPORTED GLOBAL)
  set_target_properties(${target} PROPERTIES
    IMPORTED_LOCATION ${prefix}/lib/${file}
    INTERFACE_INCLUDE_DIRECTORIES ${prefix}/include)
endfunction()

function(_sonoria_codecs prefix)
  _sonoria_codec(sonoria::ogg ${prefix} libogg.a)
  _sonoria_codec(sonoria::vorbis ${prefix} libvorbis.a)
  _sonoria_codec(sonoria::vorbisenc ${prefix} libvorbisenc.a)
  _sonoria_codec(sonoria::flac ${prefix} libFLAC.a)
  set_property(TARGET sonoria::vorbis PROPERTY INTERFACE_LINK_LIBRARIES sonoria::ogg)
  set_property(TARGET sonoria::vorbisenc PROPERTY INTERFACE_LINK_LIBRARIES sonoria::vorbis)
  set_target_properties(sonoria::flac PROPERTIES
    INTERFACE_LINK_LIBRARIES sonoria::ogg
    INTERFACE_COMPILE_DEFINITIONS FLAC__NO_DLL)
endfunction()

if(SONORIA_NATIVE AND SONORIA_NATIVE_DEPS_PREFIX)
  _sonoria_codecs(${SONORIA_NATIVE_DEPS_PREFIX})
  set_property(TARGET sonoria::vorbis APPEND PROPERTY INTERFACE_LINK_LIBRARIES m)
  set_property(TARGET sonoria::flac APPEND PROPERTY INTERFACE_LINK_LIBRARIES m)
  return()
endif()

if(SONORIA_NATIVE)
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(SONORIA_PC_OGG REQUIRED IMPORTED_TARGET GLOBAL ogg)
  pkg_check_modules(SONORIA_PC_VORBIS REQUIRED IMPORTED_TARGET GLOBAL vorbis)
  pkg_check_modules(SONORIA_PC_VORBISENC REQUIRED IMPORTED_TARGET GLOBAL vorbisenc)
  pkg_check_modules(SONORIA_PC_FLAC REQUIRED IMPORTED_TARGET GLOBAL flac)
  target_link_libraries(PkgConfig::SONORIA_PC_VORBIS INTERFACE PkgConfig::SONORIA_PC_OGG)
  target_link_libraries(PkgConfig::SONORIA_PC_VORBISENC INTERFACE PkgConfig::SONORIA_PC_VORBIS)
  target_link_libraries(PkgConfig::SONORIA_PC_FLAC INTERFACE PkgConfig::SONORIA_PC_OGG)
  add_library(sonoria::ogg ALIAS PkgConfig::SONORIA_PC_OGG)
  add_library(sonoria::vorbis ALIAS PkgConfig::SONORIA_PC_VORBIS)
  add_library(sonoria::vorbisenc ALIAS PkgConfig::SONORIA_PC_VORBISENC)
  add_library(sonoria::flac ALIAS PkgConfig::SONORIA_PC_FLAC)
  return()
endif()

if(NOT SONORIA_DEPS_PREFIX)
  message(FATAL_ERROR "SONORIA_DEPS_PREFIX is not set: run scripts/deps.sh (make deps)")
endif()

_sonoria_codecs(${SONORIA_DEPS_PREFIX})
