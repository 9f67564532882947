# Compiler settings every target of ours shares: warnings are errors, and the
# sanitizer build instruments everything it links.
if(ORVANTA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

function(orvanta_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion
                                           -Wno-sign-conversion)
  # GCC 12 reports std::string assignments as overlapping copies at -O3
  # (a known false positive of its -Wrestrict), which would fail optimised builds.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()
