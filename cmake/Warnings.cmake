# Warnings for our own targets: wfp_warnings(<target>)
function(wfp_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wshadow -Wnon-virtual-dtor
    -Wcast-align -Wformat=2 -Wno-format-nonliteral)
  if(WFP_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
