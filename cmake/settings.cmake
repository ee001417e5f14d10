# One interface target carries the language level, the warnings and the Qt
# defines, so every library, program and test is built the same way.
add_library(morvane_settings INTERFACE)
target_compile_features(morvane_settings INTERFACE cxx_std_20)
target_compile_options(morvane_settings INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Wnon-virtual-dtor
  $<$<BOOL:${MORVANE_WERROR}>:-Werror>
  # GCC 12 at -O3 takes a std::string concatenation ("a" + name + "b") for an
  # overlapping copy (GCC bug 105329, fixed in 13); the Release build would
  # fail on it under -Werror.
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>:-Wno-restrict>)
target_compile_definitions(morvane_settings INTERFACE
  QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER QT_NO_KEYWORDS
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)

# The engine is held to stricter numeric warnings: it does all the index arithmetic.
add_library(morvane_engine_settings INTERFACE)
target_link_libraries(morvane_engine_settings INTERFACE morvane_settings)
target_compile_options(morvane_engine_settings INTERFACE -Wconversion -Wshadow)

if(MORVANE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
