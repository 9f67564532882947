# Compiler settings every target of ours shares. Warnings are errors through
# CMAKE_COMPILE_WARNING_AS_ERROR (on in every preset; `--compile-no-warning-as-error`
# turns it off for one build), and the sanitizer build instruments everything it links.
if(ORVANTA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()
if(ORVANTA_THREAD_SANITIZE)
  add_compile_options(-fsanitize=thread)
  add_link_options(-fsanitize=thread)
endif()

# A compiler cache, when the machine has one, makes rebuilds of several build
# trees cheap; nothing depends on it.
find_program(ORVANTA_CCACHE ccache)
if(ORVANTA_CCACHE AND NOT CMAKE_CXX_COMPILER_LAUNCHER)
  set(CMAKE_CXX_COMPILER_LAUNCHER ${ORVANTA_CCACHE})
endif()

function(orvanta_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion)
  # GCC 12 reports std::string assignments as overlapping copies at -O3
  # (a known false positive of its -Wrestrict), which would fail optimised builds.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()
