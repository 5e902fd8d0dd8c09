# Warnings are errors' early warning: on everywhere, clean everywhere.
function(brelo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
endfunction()

if(BRELO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(BRELO_FUZZ)
  # The fuzz build instruments the core with the sanitizers; every program that
  # links the core (the authoring tool too) needs their runtime.
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # Windows programs are linked statically so wine (and a pupil's PC) needs no
  # runtime DLL beside them.
  add_link_options(-static -static-libgcc -static-libstdc++)
endif()
